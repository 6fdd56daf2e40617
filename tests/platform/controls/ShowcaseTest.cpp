// One of each standard control on a form, rendered to a picture for a look.
#include <cstdlib>
#include <filesystem>

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StdLabels.h"
#include "platform/controls/Tabs.h"
#include "tests/platform/controls/StaticFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

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

class ShowcaseTest : public StaticControlTest {
 protected:
  template <class T>
  T* Put(TWinControl* Parent, TRect Bounds, const std::string& Caption = {}) {
    T* c = Make<T>(Parent, "C" + std::to_string(++FCount), Bounds);
    c->SetCaption(Caption);
    return c;
  }
  int FCount = 0;
};

TEST_F(ShowcaseTest, StandardControlsShowcase) {
  Form->SetBorderStyle(bsSingle);
  Form->SetCaption("Standard controls");
  Form->SetBounds(40, 40, 560, 420);

  auto* top = Put<TPanel>(Form, Bounds(0, 0, 100, 36), "Panel aligned to the top");
  top->SetAlign(alTop);
  auto* left = Put<TPanel>(Form, Bounds(0, 0, 120, 100), "");
  left->SetAlign(alLeft);
  left->SetBevelOuter(bvLowered);
  auto* splitter = Put<TSplitter>(Form, Bounds(120, 0, 4, 100));
  splitter->SetAlign(alLeft);
  splitter->SetBounds(120, 36, 4, 100);
  splitter->SetBeveled(true);
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

  auto* pages = Put<TPageControl>(client, Bounds(10, 140, 410, 200));
  const char* captions[] = {"General", "Music", "Time slots"};
  for (const char* c : captions) {
    auto* sheet = new TTabSheet(Form);
    sheet->SetName("Sheet" + std::to_string(++FCount));
    sheet->SetCaption(c);
    sheet->SetPageControl(pages);
  }
  auto* inner = Put<TLabel>(pages->Pages(0), Bounds(10, 10, 10, 10), "A label on the first page");
  (void)inner;
  auto* tabs = Put<TTabControl>(client, Bounds(270, 86, 150, 50));
  tabs->Tabs()->Add("One");
  tabs->Tabs()->Add("Two");
  tabs->SetTabIndex(0);

  ShowForm();
  const std::string path = App.PathInExeDir("standard-controls.png");
  test::SavePng(App.Presenter().Snapshot(Form->Handle()), path);
  EXPECT_TRUE(std::filesystem::exists(path));
  if (const char* keep = std::getenv("OSTROVEL_SHOWCASE_PNG")) std::filesystem::copy_file(path, keep, std::filesystem::copy_options::overwrite_existing);
}

}  // namespace
