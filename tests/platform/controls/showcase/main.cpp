// control-showcase [OUTPUT.png]: one of each standard control on a form, drawn on the headless
// application and written as a picture for a look (standard-controls.png unless told). Built
// with the tests, it is no test: nothing checks the picture.
#include <cstdio>
#include <exception>
#include <string>

#include "platform/controls/ButtonCtrls.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Calendar.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Grids.h"
#include "platform/controls/ListCtrls.h"
#include "platform/controls/ListView.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdLabels.h"
#include "platform/controls/Tabs.h"
#include "platform/controls/TreeView.h"
#include "tests/support/HeadlessApp.h"

namespace {

// A 16 × 16 glyph: a green check mark on the transparent (olive) background.
std::unique_ptr<TBitmap> CheckGlyph() {
  auto b = std::make_unique<TBitmap>(16, 16);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(clOlive);
  c->FillRect({0, 0, 16, 16});
  c->Pen()->SetColor(clGreen);
  c->Pen()->SetWidth(2);
  c->MoveTo(3, 8);
  c->LineTo(6, 12);
  c->LineTo(13, 3);
  return b;
}

TRect Bounds(int Left, int Top, int Width, int Height) { return {Left, Top, Left + Width, Top + Height}; }

class TShowcase {
 public:
  TShowcase() : Form(new TForm(Application)) { Form->SetName("Form"); }
  void Draw(test::THeadlessApp& App, const std::string& Path);

 private:
  template <class T>
  T* Put(TWinControl* Parent, TRect Bounds, const std::string& Caption = {}) {
    T* c = new T(Form);
    c->SetName("C" + std::to_string(++FCount));
    c->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    c->SetParent(Parent);
    c->SetCaption(Caption);
    return c;
  }
  TForm* Form;
  int FCount = 0;
};

void TShowcase::Draw(test::THeadlessApp& App, const std::string& Path) {
  Form->SetBorderStyle(bsSingle);
  Form->SetCaption("Standard controls");
  Form->SetBounds(20, 20, 1000, 560);

  auto* top = Put<TPanel>(Form, Bounds(0, 0, 100, 36), "Panel aligned to the top");
  top->SetAlign(alTop);
  auto* left = Put<TPanel>(Form, Bounds(0, 0, 120, 100), "");
  left->SetAlign(alLeft);
  left->SetBevelOuter(bvLowered);
  auto* splitter = Put<TSplitter>(Form, Bounds(120, 0, 4, 100));
  splitter->SetAlign(alLeft);
  splitter->SetBounds(120, 36, 4, 100);
  splitter->SetBeveled(true);
  // The right column: the text and view controls.
  auto* right = Put<TPanel>(Form, Bounds(0, 0, 340, 100), "");
  right->SetAlign(alRight);
  right->SetBevelOuter(bvNone);
  auto* edit = Put<TEdit>(right, Bounds(8, 8, 150, 21));
  edit->SetText("Edit with text");
  auto* hinted = Put<TEdit>(right, Bounds(166, 8, 160, 21));
  hinted->SetText("广播 08:30");
  auto* memo = Put<TMemo>(right, Bounds(8, 36, 318, 60));
  memo->SetText("A memo holds several lines.\r\n第二行：中文文字\r\nThird line");
  auto* tree = Put<TTreeView>(right, Bounds(8, 104, 150, 150));
  TTreeNode* music = tree->Items()->Add(nullptr, "Music");
  tree->Items()->AddChild(music, "Morning");
  tree->Items()->AddChild(music, "Evening");
  TTreeNode* tasks = tree->Items()->Add(nullptr, "Tasks");
  tree->Items()->AddChild(tasks, "Opening");
  music->Expand(false);
  auto* view = Put<TListView>(right, Bounds(166, 104, 160, 150));
  view->SetViewStyle(vsReport);
  const char* columnNames[] = {"Song", "Length"};
  for (const char* name : columnNames) {
    TListColumn* column = view->Columns()->Add();
    column->SetCaption(name);
    column->SetWidth(75);
  }
  for (int i = 1; i <= 4; ++i) {
    TListItem* item = view->Items()->Add();
    item->SetCaption("Song " + std::to_string(i));
    item->SubItems()->Add("03:0" + std::to_string(i));
  }
  auto* calendar = Put<TMonthCalendar>(right, Bounds(8, 262, 230, 160));
  calendar->SetDate(EncodeDate(2026, 1, 5));
  auto* client = Put<TPanel>(Form, Bounds(0, 0, 100, 100), "");
  client->SetAlign(alClient);
  client->SetBevelOuter(bvNone);

  // The left column: flat and raised speed buttons, a group, a scroll bar.
  auto glyph = CheckGlyph();
  auto* flat = Put<TSpeedButton>(left, Bounds(8, 8, 25, 25));
  flat->SetFlat(true);
  flat->SetGlyph(glyph.get());
  auto* plain = Put<TSpeedButton>(left, Bounds(36, 8, 25, 25));
  plain->SetGlyph(glyph.get());
  for (int i = 0; i < 3; ++i) {
    auto* g = Put<TSpeedButton>(left, Bounds(8 + 27 * i, 40, 25, 25), std::string(1, static_cast<char>('A' + i)));
    g->SetGroupIndex(1);
    if (i == 1) g->SetDown(true);
  }
  auto* captioned = Put<TSpeedButton>(left, Bounds(8, 72, 100, 25), "Speed");
  captioned->SetGlyph(glyph.get());
  auto* disabled = Put<TSpeedButton>(left, Bounds(8, 102, 100, 25), "Disabled");
  disabled->SetGlyph(glyph.get());
  disabled->SetEnabled(false);
  auto* vbar = Put<TScrollBar>(left, Bounds(8, 134, 17, 150));
  vbar->SetKind(sbVertical);
  vbar->SetBounds(8, 134, 17, 150);
  vbar->SetPageSize(30);
  vbar->SetPosition(20);

  // The right area: labels, bevels, shapes, an image, a paint box, a scroll bar, tabs.
  auto* label = Put<TLabel>(client, Bounds(10, 8, 10, 10), "&Label with accelerator");
  (void)label;
  auto* grey = Put<TLabel>(client, Bounds(10, 28, 10, 10), "Disabled label");
  grey->SetEnabled(false);
  auto* boxed = Put<TPanel>(client, Bounds(200, 6, 200, 40), "Lowered panel");
  boxed->SetBevelOuter(bvLowered);
  boxed->SetBevelInner(bvRaised);
  boxed->SetBevelWidth(2);
  auto* bevel = Put<TBevel>(client, Bounds(10, 52, 410, 2));
  bevel->SetShape(bsTopLine);
  auto* frame = Put<TBevel>(client, Bounds(10, 62, 120, 70));
  frame->SetShape(bsFrame);
  auto* rect = Put<TShape>(client, Bounds(20, 70, 40, 30));
  rect->Brush()->SetColor(clYellow);
  auto* circle = Put<TShape>(client, Bounds(70, 70, 50, 50));
  circle->SetShape(stCircle);
  circle->Brush()->SetColor(clSkyBlue);
  auto* round = Put<TShape>(client, Bounds(20, 104, 40, 24));
  round->SetShape(stRoundRect);
  auto* image = Put<TImage>(client, Bounds(140, 62, 48, 48));
  image->SetStretch(true);
  image->Picture()->SetGraphic(glyph.get());
  auto* paint = Put<TPaintBox>(client, Bounds(200, 62, 60, 60));
  paint->OnPaint = [paint](TObject*) {
    TCanvas* c = paint->Canvas();
    c->Brush()->SetColor(clWhite);
    c->Rectangle(0, 0, 60, 60);
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 0);
    c->LineTo(60, 60);
    c->MoveTo(60, 0);
    c->LineTo(0, 60);
  };
  auto* hbar = Put<TScrollBar>(client, Bounds(270, 62, 150, 17));
  hbar->SetPageSize(20);
  hbar->SetPosition(40);

  auto* pages = Put<TPageControl>(client, Bounds(10, 140, 510, 340));
  const char* captions[] = {"General", "Music", "Time slots"};
  for (const char* c : captions) {
    auto* sheet = new TTabSheet(Form);
    sheet->SetName("Sheet" + std::to_string(++FCount));
    sheet->SetCaption(c);
    sheet->SetPageControl(pages);
  }
  // The other standard controls, on the first page.
  TWinControl* page = pages->Pages(0);
  Put<TLabel>(page, Bounds(10, 10, 10, 10), "Controls on the first page:");
  Put<TButton>(page, Bounds(10, 30, 75, 25), "&Button");
  auto* ok = Put<TBitBtn>(page, Bounds(90, 30, 75, 25));
  ok->SetKind(bkOK);
  auto* cancel = Put<TBitBtn>(page, Bounds(170, 30, 75, 25));
  cancel->SetKind(bkCancel);
  auto* help = Put<TBitBtn>(page, Bounds(250, 30, 75, 25));
  help->SetKind(bkHelp);
  auto* no = Put<TBitBtn>(page, Bounds(330, 30, 75, 25));
  no->SetKind(bkNo);
  no->SetEnabled(false);
  auto* check = Put<TCheckBox>(page, Bounds(10, 64, 120, 17), "Check box");
  check->SetChecked(true);
  Put<TCheckBox>(page, Bounds(10, 84, 120, 17), "Unchecked");
  auto* group = Put<TGroupBox>(page, Bounds(140, 60, 150, 70), "Group box");
  auto* radio = Put<TRadioButton>(group, Bounds(10, 20, 120, 17), "Radio one");
  radio->SetChecked(true);
  Put<TRadioButton>(group, Bounds(10, 42, 120, 17), "Radio two");
  auto* list = Put<TListBox>(page, Bounds(300, 60, 120, 70));
  for (const char* item : {"Morning", "Noon", "Evening", "Night", "Midnight", "Dawn"}) list->Items()->Add(item);
  list->SetItemIndex(1);
  auto* combo = Put<TComboBox>(page, Bounds(10, 108, 120, 21));
  combo->Items()->Add("Combo item");
  combo->SetItemIndex(0);
  auto* grid = Put<TStringGrid>(page, Bounds(10, 140, 480, 160));
  grid->SetColCount(4);
  grid->SetRowCount(8);
  const char* heads[] = {"", "Time", "Task", "File"};
  for (int c = 0; c < 4; ++c) grid->SetCells(c, 0, heads[c]);
  for (int r = 1; r < 8; ++r) {
    grid->SetCells(0, r, std::to_string(r));
    grid->SetCells(1, r, (7 + r < 10 ? "0" : "") + std::to_string(7 + r) + ":00:00");
    grid->SetCells(2, r, "Announcement " + std::to_string(r));
  }
  auto* tabs = Put<TTabControl>(client, Bounds(270, 86, 150, 50));
  tabs->Tabs()->Add("One");
  tabs->Tabs()->Add("Two");
  tabs->SetTabIndex(0);

  Form->Show();
  App.ProcessMessages();
  App.Presenter().SaveSnapshot(Form->Handle(), Path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: control-showcase [OUTPUT.png]\n");
    return 2;
  }
  const std::string path = argc == 2 ? argv[1] : "standard-controls.png";
  try {
    test::THeadlessApp app;
    TShowcase().Draw(app, path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "control-showcase: %s\n", e.what());
    return 1;
  }
  std::printf("%s\n", path.c_str());
  return 0;
}
