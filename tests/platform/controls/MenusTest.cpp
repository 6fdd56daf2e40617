#include <gtest/gtest.h>

#include <memory>

#include "platform/controls/Menus.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImgList.h"
#include "platform/os/Input.h"
#include "platform/os/Menu.h"
#include "tests/platform/controls/MenuFixture.h"
#include "tests/platform/controls/MenuForm.h"

namespace menutest {

static const classes::TPublished<TMenuTestForm, TComponent> FormInfo([](auto& p) {
  p.Field("PopupMenu1", &TMenuTestForm::PopupMenu1);
  p.Field("N1", &TMenuTestForm::N1);
  p.Field("N2", &TMenuTestForm::N2);
  p.Field("N3", &TMenuTestForm::N3);
  p.Field("N4", &TMenuTestForm::N4);
  p.Field("N5", &TMenuTestForm::N5);
  p.Field("N6", &TMenuTestForm::N6);
  p.Field("N7", &TMenuTestForm::N7);
  p.Field("N8", &TMenuTestForm::N8);
  p.Field("N9", &TMenuTestForm::N9);
  p.Method("ItemClick", &TMenuTestForm::ItemClick);
  p.Method("PopupMenu1Popup", &TMenuTestForm::PopupMenu1Popup);
});

TMenuTestForm* LoadMenuForm() {
  auto form = std::make_unique<TMenuTestForm>(nullptr);
  ReadComponentText(form.get(), kMenuDefinition, "MenuTestForm.txt");
  return form.release();
}

namespace {

// ---- shortcuts ----

struct TShortCutCase {
  TShortCut Value;
  const char* Text;
};

TEST(ShortCutTest, HotkeyMarksAreStripped) {
  EXPECT_EQ(StripHotkey("&File"), "File");
  EXPECT_EQ(StripHotkey("Save && E&xit"), "Save & Exit");
  EXPECT_EQ(StripHotkey("Trailing &&"), "Trailing &");
  EXPECT_EQ(StripHotkey("Lone &"), "Lone ");
  EXPECT_EQ(StripHotkey(""), "");
}

TEST(ShortCutTest, TextOfShortCutsAndBack) {
  const TShortCutCase cases[] = {
      {ShortCut('S', {ssCtrl}), "Ctrl+S"},
      {ShortCut(VK_DELETE, {ssShift}), "Shift+Del"},
      {VK_F5, "F5"},
      {VK_F12 | scCtrl, "Ctrl+F12"},
      {ShortCut(VK_RETURN, {ssShift, ssCtrl, ssAlt}), "Shift+Ctrl+Alt+Enter"},
      {'X' | scAlt, "Alt+X"},
      {'0' | scCtrl, "Ctrl+0"},
      {VK_INSERT | scCtrl, "Ctrl+Ins"},
      {VK_BACK | scAlt, "Alt+BkSp"},
      {VK_ESCAPE, "Esc"},
      {VK_SPACE | scCtrl, "Ctrl+Space"},
      {VK_PRIOR, "PgUp"},
      {VK_NEXT, "PgDn"},
      {VK_LEFT | scShift, "Shift+Left"},
      {VK_NUMPAD0 + 5, "Num 5"},
      {VK_ADD | scCtrl, "Ctrl+Num +"},
      {VK_OEM_MINUS | scCtrl, "Ctrl+-"},
      {VK_OEM_4, "["},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ShortCutToText(c.Value), c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
}

TEST(ShortCutTest, TextIsReadLeniently) {
  const TShortCutCase cases[] = {
      {'S' | scCtrl, "ctrl+s"},
      {'S' | scCtrl, "^S"},
      {'X' | scAlt | scShift, "Alt+Shift+X"},
      {VK_F1 | scCtrl, "  Ctrl+F1 "},
      {VK_DELETE, "del"},
      {0, ""},
      {0, "Ctrl+"},
      {0, "Ctrl+Nothing"},
      {0, "Hyper+S"},
      {0, "SS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(TextToShortCut(c.Text), c.Value);
  }
}

TEST(ShortCutTest, KeysAndModifiersApart) {
  EXPECT_EQ(ShortCutToText(0), "");
  EXPECT_EQ(ShortCutToText(0x07 | scCtrl), "") << "a key without a name gives no text";
  EXPECT_EQ(ShortCut(0x141, {ssCtrl}), 0) << "not a key code";
  WORD key = 0;
  TShiftState shift;
  ShortCutToKey(ShortCut('Q', {ssCtrl, ssAlt}), key, shift);
  EXPECT_EQ(key, 'Q');
  EXPECT_EQ(shift, (TShiftState{ssCtrl, ssAlt}));
}

// ---- a menu read from a definition ----

class MenuModelTest : public MenuTest {
 protected:
  std::unique_ptr<TMenuTestForm> Form{LoadMenuForm()};
};

TEST_F(MenuModelTest, TheDefinitionNestsItemsAndBindsTheirHandlers) {
  TPopupMenu* menu = Form->PopupMenu1;
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(menu->DesignInfo(), (16 << 16) | 8) << "Left and Top of a component without a window";
  TMenuItem* items = menu->Items();
  ASSERT_EQ(items->Count(), 7);
  const TMenuItem* expected[] = {Form->N1, Form->N4, Form->N2, Form->N3, Form->N5, Form->N8, Form->N9};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(items->Items(i), expected[i]) << i;
  EXPECT_EQ(Form->N1->Caption(), "新增");
  EXPECT_TRUE(Form->N4->IsLine());
  EXPECT_EQ(Form->N2->ShortCut(), 'M' | scCtrl);
  EXPECT_FALSE(Form->N3->Enabled());
  ASSERT_EQ(Form->N5->Count(), 2);
  EXPECT_EQ(Form->N5->Items(1), Form->N7);
  EXPECT_EQ(Form->N7->Parent(), Form->N5);
  EXPECT_EQ(Form->N7->GetParentMenu(), menu);
  EXPECT_EQ(Form->N1->GetParentComponent(), menu);
  EXPECT_EQ(Form->N6->GetParentComponent(), Form->N5);
  EXPECT_TRUE(Form->N6->Checked());
  EXPECT_EQ(Form->N6->GroupIndex(), 1);
  EXPECT_EQ(Form->N1->Owner(), Form.get()) << "the form owns every item";

  Form->N1->Click();
  Form->N3->Click();  // disabled: nothing
  menu->OnPopup(menu);
  EXPECT_EQ(Form->Log, (std::vector<std::string>{"click N1", "popup"}));
  EXPECT_EQ(Form->N5->Find("修改(M)"), nullptr);
  EXPECT_EQ(items->Find("修改(M)"), Form->N2) << "captions are compared without their access-key marks";
}

TEST_F(MenuModelTest, WrittenBackTheDefinitionReadsTheSame) {
  const std::string text = WriteComponentText(Form.get());
  EXPECT_NE(text.find("Left = 8"), std::string::npos);
  EXPECT_NE(text.find("Top = 16"), std::string::npos);
  auto again = std::make_unique<TMenuTestForm>(nullptr);
  ReadComponentText(again.get(), text, "again");
  EXPECT_EQ(WriteComponentText(again.get()), text);
  ASSERT_NE(again->N7, nullptr);
  EXPECT_EQ(again->N7->Parent(), again->N5);
  EXPECT_EQ(again->PopupMenu1->Items()->Count(), 7);
}

TEST_F(MenuModelTest, TheMenuHandleShowsTheItemsAsTheyAre) {
  HMENU menu = Form->PopupMenu1->Handle();
  ASSERT_EQ(GetMenuItemCount(menu), 7);
  MENUITEMINFO info;
  info.fMask = MIIM_STRING | MIIM_FTYPE | MIIM_ID;
  ASSERT_TRUE(GetMenuItemInfo(menu, 2, TRUE, &info));
  EXPECT_EQ(info.dwTypeData, "修改(&M)\tCtrl+M");
  EXPECT_EQ(info.wID, Form->N2->Command());
  EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(menu, 5, MF_BYPOSITION) & MF_CHECKED);
  HMENU sub = GetSubMenu(menu, 4);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(Form->N5->Handle(), sub);
  EXPECT_TRUE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED);

  // The program toggles items at run time; the menu follows.
  Form->N8->SetChecked(false);
  Form->N2->SetEnabled(false);
  Form->N1->SetVisible(false);
  menu = Form->PopupMenu1->Handle();
  ASSERT_EQ(GetMenuItemCount(menu), 6) << "hidden items are left out";
  EXPECT_FALSE(GetMenuState(menu, 4, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED);
}

TEST_F(MenuModelTest, RadioItemsOfAGroupExcludeEachOther) {
  auto* other = new TMenuItem(Form.get());  // another group beside them
  other->SetRadioItem(true);
  other->SetGroupIndex(2);
  other->SetChecked(true);
  Form->N5->Add(other);

  Form->N7->SetChecked(true);
  EXPECT_TRUE(Form->N7->Checked());
  EXPECT_FALSE(Form->N6->Checked());
  EXPECT_TRUE(other->Checked()) << "other groups keep their check";

  // AutoCheck: clicking a radio item checks it (a checked one stays checked).
  Form->N6->Click();
  EXPECT_TRUE(Form->N6->Checked());
  EXPECT_FALSE(Form->N7->Checked());
  Form->N6->Click();
  EXPECT_TRUE(Form->N6->Checked());
  // Joining the group while checked unchecks the others.
  other->SetGroupIndex(1);
  EXPECT_FALSE(Form->N6->Checked());
  // A plain AutoCheck item toggles.
  Form->N8->SetAutoCheck(true);
  Form->N8->Click();
  EXPECT_FALSE(Form->N8->Checked());
  Form->N8->Click();
  EXPECT_TRUE(Form->N8->Checked());
}

TEST_F(MenuModelTest, ItemsAreAddedMovedTakenOutAndFreed) {
  TMenuItem* items = Form->PopupMenu1->Items();
  EXPECT_THROW(items->Add(Form->N1), EMenuError) << "already in a menu";
  EXPECT_THROW(Form->N5->Insert(0, items), EMenuError);
  auto* item = new TMenuItem(Form.get());
  EXPECT_THROW(items->Insert(9, item), EMenuError);
  EXPECT_THROW(item->Add(item), EMenuError) << "an item cannot hold itself";
  items->Insert(0, item);
  EXPECT_EQ(item->MenuIndex(), 0);
  item->SetMenuIndex(99);
  EXPECT_EQ(items->IndexOf(item), items->Count() - 1);

  items->Remove(Form->N4);
  EXPECT_EQ(Form->N4->Parent(), nullptr) << "taken out, not freed";
  EXPECT_EQ(items->IndexOf(Form->N4), -1);
  Form->N5->Add(Form->N4);

  std::vector<TComponent*> gone;
  struct TWatch : TComponent {
    std::vector<TComponent*>& Gone;
    TWatch(std::vector<TComponent*>& g) : TComponent(nullptr), Gone(g) {}
    void Notification(TComponent* c, TOperation op) override {
      if (op == opRemove) Gone.push_back(c);
    }
  } watch(gone);
  Form->N6->FreeNotification(&watch);
  Form->N4->FreeNotification(&watch);
  delete Form->N5;  // frees its sub-items
  EXPECT_EQ(gone.size(), 2u);
  EXPECT_EQ(items->Count(), 6);
  items->Clear();
  EXPECT_EQ(items->Count(), 0);
  EXPECT_EQ(Form->ComponentCount(), 1) << "only the menu is left";
}

TEST_F(MenuModelTest, CommandsShortCutsAndChangeNotices) {
  TPopupMenu* menu = Form->PopupMenu1;
  EXPECT_NE(Form->N1->Command(), Form->N2->Command());
  EXPECT_EQ(menu->FindItem(Form->N7->Command(), fkCommand), Form->N7);
  EXPECT_EQ(menu->FindItem('M' | scCtrl, fkShortCut), Form->N2);
  EXPECT_EQ(menu->FindItem(reinterpret_cast<UINT_PTR>(Form->N5->Handle()), fkHandle), Form->N5);
  EXPECT_TRUE(menu->DispatchCommand(Form->N9->Command()));
  EXPECT_FALSE(menu->DispatchCommand(0xFFFF));
  EXPECT_EQ(Form->Log, std::vector<std::string>{"click N9"});

  std::vector<std::string> changes;
  menu->OnChange = [&](TObject* sender, TMenuItem* source, bool) {
    EXPECT_EQ(sender, menu);
    changes.push_back(source ? source->Name() : "");
  };
  Form->N7->SetCaption("随机");
  Form->N3->SetEnabled(true);
  Form->N3->SetEnabled(true);  // no change, no notice
  EXPECT_EQ(changes, (std::vector<std::string>{"N7", "N3"}));

  // A freed item's command identifier is free again.
  const UINT command = Form->N9->Command();
  delete Form->N9;
  TMenuItem fresh(nullptr);
  EXPECT_EQ(fresh.Command(), command);
}

TEST_F(MenuModelTest, AShortCutKeyClicksItsItem) {
  TPopupMenu* menu = Form->PopupMenu1;
  auto key = [](WPARAM k) {
    TMessage m;
    m.Msg = WM_KEYDOWN;
    m.WParam = k;
    return m;
  };
  EXPECT_FALSE(menu->IsShortCut(key('M'))) << "M alone is no shortcut here";
  Input.KeyDown(VK_CONTROL);
  App.ProcessMessages();
  EXPECT_TRUE(menu->IsShortCut(key('M')));
  EXPECT_EQ(Form->Log, std::vector<std::string>{"click N2"});

  // In a submenu the parent is clicked first (it may update the item); a disabled item does
  // not take the key.
  Form->N5->OnClick = [&](TObject*) {
    Form->Log.push_back("open N5");
    Form->N7->SetEnabled(false);
  };
  Form->N7->SetShortCut('R' | scCtrl);
  Form->Log.clear();
  EXPECT_FALSE(menu->IsShortCut(key('R')));
  EXPECT_EQ(Form->Log, std::vector<std::string>{"open N5"});
  Input.KeyUp(VK_CONTROL);
  App.ProcessMessages();
}

TEST_F(MenuModelTest, ImagesAreShownBesideTheCaptions) {
  TImageList images(nullptr, 16, 16);
  TBitmap picture(16, 16);
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect(TRect(0, 0, 16, 16));
  images.Add(&picture, nullptr);
  Form->PopupMenu1->SetImages(&images);
  Form->N1->SetImageIndex(0);
  MENUITEMINFO info;
  info.fMask = MIIM_BITMAP;
  ASSERT_TRUE(GetMenuItemInfo(Form->PopupMenu1->Handle(), 0, TRUE, &info));
  EXPECT_NE(info.hbmpItem, nullptr);
  ASSERT_TRUE(GetMenuItemInfo(Form->PopupMenu1->Handle(), 2, TRUE, &info));
  EXPECT_EQ(info.hbmpItem, nullptr);

  // Shown in the check-mark column of its line.
  gdi::TSurface screen;
  At(50, [&] { screen = App.Presenter().ScreenSnapshot(); });
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  Form->PopupMenu1->Popup(100, 100);
  const os::TPopupLayout layout = os::MeasurePopupMenu(Form->PopupMenu1->Handle());
  const TRect row = layout.Items[0];
  EXPECT_EQ(gdi::ColorOfPixel(screen.Get(100 + row.Left + layout.CheckWidth / 2, 100 + (row.Top + row.Bottom) / 2)),
            static_cast<COLORREF>(clRed));
  EXPECT_GE(row.Height(), 20) << "the line is as high as the picture needs";
}

}  // namespace
}  // namespace menutest
