#include <gtest/gtest.h>

#include "GraphicsTest.h"
#include "platform/classes/Resources.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/CheckBoxSize.h"
#include "platform/graphics/MemoryDC.h"

using namespace graphicstest;

namespace graphicstest {
const classes::TResourceTable& TestResources();
}

namespace {

const bool Registered = (classes::RegisterResources(graphicstest::TestResources()), true);

std::vector<uint8_t> Saved(TGraphic& Graphic) {
  TMemoryStream s;
  Graphic.SaveToStream(&s);
  const auto* p = static_cast<const uint8_t*>(s.Memory());
  return {p, p + s.Size()};
}

void Load(TGraphic& Graphic, const std::vector<uint8_t>& Bytes) {
  TMemoryStream s;
  s.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  s.SetPosition(0);
  Graphic.LoadFromStream(&s);
}

}  // namespace

TEST(Bitmap, TransparentColorIsTheBottomLeftPixelUnlessFixed) {
  auto b = FromRows({"rbb", "bbb", "gbb"});
  EXPECT_EQ(b->TransparentMode(), tmAuto);
  EXPECT_EQ(b->TransparentColor(), Lime);
  b->SetTransparentColor(Blue);
  EXPECT_EQ(b->TransparentMode(), tmFixed);
  EXPECT_EQ(b->TransparentColor(), Blue);
  b->SetTransparentMode(tmAuto);
  EXPECT_EQ(b->TransparentColor(), Lime);
  EXPECT_EQ(TBitmap().TransparentColor(), clDefault) << "an empty bitmap has no pixel to take";

  // Drawn transparently, the pixels of the transparent colour are left out.
  b->SetTransparentColor(Blue);
  b->SetTransparent(true);
  auto target = Filled(3, 3);
  target->Canvas()->Draw(0, 0, b.get());
  EXPECT_EQ(Picture(*target), Rows({"r..", "...", "g.."}));

  auto mono = FromRows({"#.", ".#"});
  mono->SetMonochrome(true);
  EXPECT_EQ(mono->TransparentColor(), clWhite);
}

TEST(Bitmap, MaskMarksTheTransparentColour) {
  auto b = FromRows({"rb", "br"});
  b->SetTransparentColor(Red);
  TBitmap mask;
  mask.SetHandle(static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(b->MaskHandle()), IMAGE_BITMAP, 0, 0, 0)));
  EXPECT_TRUE(mask.Monochrome());
  EXPECT_EQ(Picture(mask), Rows({".#", "#."}));
  b->Mask(Blue);
  EXPECT_TRUE(b->Monochrome());
  EXPECT_EQ(b->PixelFormat(), pf1bit);
  EXPECT_EQ(Picture(*b), Rows({"#.", ".#"}));
}

TEST(Bitmap, AssignCopiesIndependently) {
  auto source = FromRows({"rb", "gr"});
  source->SetTransparent(true);
  source->SetTransparentColor(Blue);
  TBitmap copy;
  copy.Assign(source.get());
  EXPECT_EQ(Picture(copy), Picture(*source));
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), Blue);
  copy.Canvas()->SetPixels(0, 0, clBlack);
  EXPECT_EQ(source->Canvas()->Pixels(0, 0), Red) << "the source keeps its pixels";
  EXPECT_TRUE(copy.Equals(&copy));
  EXPECT_FALSE(copy.Equals(source.get()));
  copy.Assign(nullptr);
  EXPECT_TRUE(copy.Empty());
  EXPECT_FALSE(copy.HandleAllocated());

  TBitmap fromIcon;
  TIcon icon;
  icon.LoadFromResourceName(nullptr, "Square");
  fromIcon.Assign(&icon);
  EXPECT_EQ(fromIcon.Width(), 16);
  EXPECT_EQ(fromIcon.Canvas()->Pixels(8, 8), clBlack);
  EXPECT_EQ(fromIcon.Canvas()->Pixels(0, 0), clWhite) << "around the icon, the white it is drawn on";
}

TEST(Bitmap, DormantAndFreeImageKeepThePicture) {
  auto b = FromRows({"rbg", "g.r"});
  const std::string picture = Picture(*b);
  b->Dormant();
  EXPECT_FALSE(b->HandleAllocated());
  EXPECT_EQ(b->Width(), 3);
  EXPECT_FALSE(b->Empty());
  b->FreeImage();  // the kept file is the only copy now: it stays
  EXPECT_EQ(Picture(*b), picture);
  EXPECT_TRUE(b->HandleAllocated());
  b->FreeImage();
  EXPECT_EQ(Picture(*b), picture);
  b->Dormant();
  b->Dormant();
  TBitmap copy;
  copy.Assign(b.get());
  EXPECT_EQ(Picture(copy), picture) << "a dormant bitmap copies";
}

TEST(Bitmap, SavingWritesTheLoadedFileUntilThePixelsChange) {
  TBitmap b;
  b.LoadFromResourceName(nullptr, "Stripes");
  EXPECT_EQ(Picture(b), Rows({"rrrr", "gggg", ".bbb"}));
  EXPECT_EQ(b.PixelFormat(), pf24bit);
  const TResourceData file = FindResourceData("Stripes", RT_BITMAP);
  ASSERT_TRUE(file);
  EXPECT_EQ(Saved(b), std::vector<uint8_t>(file.Data, file.Data + file.Size));

  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.Canvas()->SetPixels(0, 0, Blue);
  EXPECT_EQ(changes, 1) << "drawing on the canvas changes the bitmap";
  EXPECT_TRUE(b.Modified());
  TBitmap again;
  Load(again, Saved(b));
  EXPECT_EQ(Picture(again), Rows({"brrr", "gggg", ".bbb"})) << "the new pixels are written, not the old file";

  b.Handle();  // a program may draw into the handle: the file no longer holds either
  b.Dormant();
  EXPECT_EQ(Picture(b), Rows({"brrr", "gggg", ".bbb"}));
  EXPECT_THROW(b.LoadFromResourceName(nullptr, "NoSuchBitmap"), EResNotFound);
}

TEST(Bitmap, BadDataIsRefusedAndLeavesTheBitmap) {
  auto b = FromRows({"rb"});
  const std::vector<uint8_t> garbage{'B', 'M', 1, 2, 3};
  EXPECT_THROW(Load(*b, garbage), EInvalidGraphic);
  EXPECT_THROW(Load(*b, {'n', 'o', 'p', 'e', 0, 0, 0, 0}), EInvalidGraphic);
  EXPECT_EQ(Picture(*b), Rows({"rb"}));
  TBitmap empty;
  EXPECT_TRUE(Saved(empty).empty());
  Load(*b, {});
  EXPECT_TRUE(b->Empty());
}

TEST(Bitmap, ResizingKeepsTheSharedPartAndMonochromeKeepsOnlyWhite) {
  auto b = FromRows({"rb", "g."});
  b->SetSize(3, 1);
  EXPECT_EQ(Picture(*b), Rows({"rb#"}));
  b->SetHeight(2);
  EXPECT_EQ(Picture(*b), Rows({"rb#", "###"}));
  b->SetWidth(0);
  EXPECT_TRUE(b->Empty());

  auto m = FromRows({"rb", "g."});
  m->SetPixelFormat(pf1bit);
  EXPECT_TRUE(m->Monochrome());
  EXPECT_EQ(Picture(*m), Rows({"##", "#."}));
  const std::vector<uint8_t> file = Saved(*m);
  const gdi::TImage image = gdi::DecodeBmp(file.data(), file.size());
  EXPECT_EQ(image.BitDepth, 1);
  m->SetMonochrome(false);
  EXPECT_EQ(Picture(*m), Rows({"##", "#."}));
  m->Canvas()->SetPixels(0, 0, Red);
  EXPECT_EQ(m->Canvas()->Pixels(0, 0), Red) << "colour again";
}

TEST(Bitmap, ThePatternBitmapAlternatesItsColoursAndIsShared) {
  TBitmap* pattern = AllocPatternBitmap(clBlack, clWhite);
  ASSERT_EQ(pattern->Width(), 8);
  ASSERT_EQ(pattern->Height(), 8);
  const std::string checker = Rows({".#.#.#.#", "#.#.#.#.", ".#.#.#.#", "#.#.#.#.", ".#.#.#.#", "#.#.#.#.",
                                    ".#.#.#.#", "#.#.#.#."});
  EXPECT_EQ(Picture(*pattern), checker);
  EXPECT_EQ(AllocPatternBitmap(clBlack, clWhite), pattern);
  TBitmap* other = AllocPatternBitmap(clRed, clBlue);
  EXPECT_NE(other, pattern);
  EXPECT_EQ(Picture(*other).substr(0, 9), "brbrbrbr\n");

  // Its brush inverts every other pixel; inverting twice gives the picture back.
  auto target = Filled(8, 2, clBlue);
  HBRUSH brush = CreatePatternBrush(pattern->Handle());
  HDC dc = target->Canvas()->Handle();
  HGDIOBJ old = SelectObject(dc, brush);
  PatBlt(dc, 0, 0, 8, 2, PATINVERT);
  EXPECT_EQ(Picture(*target, {{clBlue, 'b'}, {clYellow, 'y'}}), Rows({"ybybybyb", "bybybyby"}));
  PatBlt(dc, 0, 0, 8, 2, PATINVERT);
  SelectObject(dc, old);
  DeleteObject(brush);
  EXPECT_EQ(Picture(*target, {{clBlue, 'b'}}), Rows({"bbbbbbbb", "bbbbbbbb"}));
}

TEST(Bitmap, LoadBitmapGivesTheSystemCheckBoxesAndTheProgramsBitmaps) {
  HBITMAP boxes = LoadBitmap(nullptr, reinterpret_cast<const char*>(static_cast<uintptr_t>(OBM_CHECKBOXES)));
  ASSERT_NE(boxes, nullptr);
  EXPECT_EQ(graphics::BitmapSize(boxes), TSize(52, 39)) << "4 x 3 images of 13 x 13";
  EXPECT_EQ(FrameCheckBoxSize, 13);
  const std::vector<uint32_t> px = graphics::ReadPixels(boxes);
  const auto at = [&](int X, int Y) { return px[static_cast<size_t>(Y) * 52 + X] & 0xFFFFFF; };
  // The middle of each check box: white unchecked, the check mark when checked; pushed ones
  // are grey; the mark of the three-state row is grey.
  EXPECT_EQ(at(6, 6), 0xFFFFFFu);
  EXPECT_EQ(at(13 + 6, 6), 0x000000u);
  EXPECT_NE(at(26 + 2, 10), 0xFFFFFFu);
  EXPECT_NE(at(13 + 6, 26 + 6), 0x000000u);
  EXPECT_NE(at(13 + 6, 26 + 6), 0xFFFFFFu);
  DeleteObject(boxes);

  HBITMAP stripes = LoadBitmap(nullptr, "Stripes");
  ASSERT_NE(stripes, nullptr);
  EXPECT_EQ(graphics::BitmapSize(stripes), TSize(4, 3));
  DeleteObject(stripes);
  EXPECT_EQ(LoadBitmap(nullptr, "NoSuchBitmap"), nullptr);
  EXPECT_EQ(LoadBitmap(reinterpret_cast<HINSTANCE>(1), reinterpret_cast<const char*>(uintptr_t{OBM_CHECKBOXES})), nullptr);
}
