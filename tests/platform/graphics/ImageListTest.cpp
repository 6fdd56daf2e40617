#include <gtest/gtest.h>

#include "GraphicsTest.h"

using namespace graphicstest;

namespace {

const TColor Gray = static_cast<TColor>(GetSysColor(COLOR_BTNSHADOW));
const TColor Light = static_cast<TColor>(GetSysColor(COLOR_BTNHIGHLIGHT));
const std::map<TColor, char> Legend{{Red, 'r'}, {Blue, 'b'}, {Lime, 'g'}, {Gray, 's'}, {Light, 'h'}};

// A list of 3 x 3 pictures: 0 a blue cross, 1 a black dot in the corner, added as one strip
// whose white (its bottom-left pixel) is transparent.
std::unique_ptr<TImageList> CrossAndDot() {
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(3, 3);
  auto strip = FromRows({".b.#..", "bbb...", ".b...."});
  EXPECT_EQ(list->AddMasked(strip.get(), clDefault), 0);
  return list;
}

std::string Drawn(const std::function<void(TCanvas*)>& Draw, TColor Background = Red, int W = 4, int H = 4) {
  auto b = Filled(W, H, Background);
  Draw(b->Canvas());
  return Picture(*b, Legend);
}

}  // namespace

TEST(ImageList, MaskedPicturesDrawEnabledDisabledAndWithAnOverlay) {
  auto list = CrossAndDot();
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 0, 0, 0); }), Rows({"rbrr", "bbbr", "rbrr", "rrrr"}));
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 1, 1, 1); }), Rows({"rrrr", "r#rr", "rrrr", "rrrr"}));
  // Disabled: the dark parts in the shadow colour over their highlight one pixel down and right.
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 0, 0, 0, false); }), Rows({"rsrr", "sssr", "rshh", "rrhr"}));
  // Overlay 0 is picture 1, drawn over picture 0.
  EXPECT_TRUE(list->Overlay(1, 0));
  EXPECT_FALSE(list->Overlay(5, 0));
  EXPECT_FALSE(list->Overlay(1, 4));
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->DrawOverlay(c, 0, 0, 0, 0); }), Rows({"#brr", "bbbr", "rbrr", "rrrr"}));
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->DrawOverlay(c, 0, 0, 0, 0, false); }),
            Rows({"ssrr", "sssr", "rshh", "rrhr"}));
}

TEST(ImageList, BackgroundBlendAndMaskLooks) {
  auto list = CrossAndDot();
  list->SetBkColor(Lime);
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 0, 0, 0); }), Rows({"gbgr", "bbbr", "gbgr", "rrrr"}));
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 0, 0, 0, dsTransparent, itImage); }),
            Rows({"rbrr", "bbbr", "rbrr", "rrrr"}))
      << "transparent whatever the background colour";
  EXPECT_EQ(Drawn([&](TCanvas* c) { list->Draw(c, 0, 0, 0, dsNormal, itMask); }), Rows({"h#hr", "###r", "h#hr", "rrrr"}))
      << "the mask: white where transparent";
  list->SetBkColor(clNone);
  list->SetBlendColor(Red);
  auto b = Filled(3, 3);
  list->Draw(b->Canvas(), 0, 0, 0, dsSelected, itImage);
  EXPECT_EQ(b->Canvas()->Pixels(1, 1), static_cast<TColor>(RGB(128, 0, 127))) << "half red, half blue";
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), clWhite);
}

TEST(ImageList, EditingPicturesKeepsIndexesInOrder) {
  auto list = CrossAndDot();
  auto red = Filled(3, 3, Red), lime = Filled(3, 3, Lime);
  list->Insert(0, red.get(), nullptr);
  list->InsertMasked(3, lime.get(), clNone);
  ASSERT_EQ(list->Count(), 4);
  const auto at = [&](int Index) {
    TBitmap b;
    EXPECT_TRUE(list->GetBitmap(Index, &b));
    return Picture(b, Legend);
  };
  EXPECT_EQ(at(0), Rows({"rrr", "rrr", "rrr"}));
  EXPECT_EQ(at(3), Rows({"ggg", "ggg", "ggg"}));
  list->Move(3, 1);
  EXPECT_EQ(at(1), Rows({"ggg", "ggg", "ggg"}));
  list->Replace(1, red.get(), nullptr);
  EXPECT_EQ(at(1), Rows({"rrr", "rrr", "rrr"}));
  list->Delete(0);
  EXPECT_EQ(list->Count(), 3);
  // The transparent parts show the black of the new bitmap GetBitmap draws on.
  EXPECT_EQ(at(1), Rows({"#b#", "bbb", "#b#"}));
  TBitmap none;
  EXPECT_FALSE(list->GetBitmap(3, &none));
  try {
    list->Delete(3);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid image list index");
  }
  auto small = Filled(2, 3);
  try {
    list->Add(small.get(), nullptr);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid image size");
  }
  list->SetWidth(4);
  EXPECT_EQ(list->Count(), 0) << "a new size removes the pictures";
  list->Clear();
  EXPECT_EQ(list->Count(), 0);
}

TEST(ImageList, IconsGoInAndComeOut) {
  TImageList list(nullptr);
  TIcon square;
  square.LoadFromResourceName(nullptr, "Square");
  EXPECT_EQ(list.AddIcon(&square), 0);
  TIcon out;
  list.GetIcon(0, &out);
  ASSERT_FALSE(out.Empty());
  EXPECT_EQ(out.Width(), 16);
  auto b = Filled(16, 16, Red);
  b->Canvas()->Draw(0, 0, &out);
  EXPECT_EQ(b->Canvas()->Pixels(0, 0), Red);
  EXPECT_EQ(b->Canvas()->Pixels(8, 8), clBlack);

  // An index out of range (an empty list asked for picture -1) gives an empty icon.
  list.GetIcon(-1, &out);
  EXPECT_TRUE(out.Empty());

  TImageList half(nullptr, 8, 8);
  half.AddIcon(&square);  // stretched to the list's size
  auto c = Filled(8, 8, Red);
  half.Draw(c->Canvas(), 0, 0, 0);
  EXPECT_EQ(c->Canvas()->Pixels(0, 0), Red);
  EXPECT_EQ(c->Canvas()->Pixels(4, 4), clBlack);
}

TEST(ImageList, ChangeLinksHearOfChangesAndOfTheListsEnd) {
  auto list = CrossAndDot();
  TChangeLink link;
  int heard = 0;
  link.OnChange = [&](TObject* Sender) { heard += Sender == list.get(); };
  list->RegisterChanges(&link);
  list->RegisterChanges(&link);
  EXPECT_EQ(link.Sender(), list.get());
  list->Delete(0);
  list->SetBkColor(Blue);
  EXPECT_EQ(heard, 2);
  list->BeginUpdate();
  list->Clear();
  list->SetBlendColor(Lime);
  EXPECT_EQ(heard, 2);
  list->EndUpdate();
  EXPECT_EQ(heard, 3) << "one change for the whole update";
  {
    TChangeLink brief;
    list->RegisterChanges(&brief);
  }  // leaves the list as it goes
  list->SetBkColor(Red);
  EXPECT_EQ(heard, 4);
  list.reset();
  EXPECT_EQ(link.Sender(), nullptr);
}

TEST(ImageList, StreamAndAssignmentKeepThePictures) {
  auto list = CrossAndDot();
  list->SetBkColor(Lime);
  list->Overlay(1, 2);
  TMemoryStream s;
  graphics::WriteImageList(list->Handle(), &s);
  s.SetPosition(0);
  TImageList read(nullptr);
  read.SetHandle(graphics::ReadImageList(&s));
  EXPECT_EQ(read.Width(), 3);
  EXPECT_EQ(read.Count(), 2);
  EXPECT_EQ(read.BkColor(), Lime);
  const auto draw = [](TImageList& L) {
    return Drawn([&](TCanvas* c) { L.DrawOverlay(c, 0, 0, 0, 2); });
  };
  EXPECT_EQ(draw(read), draw(*list));

  TImageList copy(nullptr);
  copy.Assign(list.get());
  list->Clear();
  EXPECT_EQ(copy.Count(), 2) << "the copy has its own pictures";
  EXPECT_EQ(draw(copy), draw(read));

  TMemoryStream bad;
  bad.WriteBuffer("IL\x01\x01", 4);
  bad.SetPosition(0);
  EXPECT_THROW(graphics::ReadImageList(&bad), EReadError);
}
