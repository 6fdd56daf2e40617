#include <gtest/gtest.h>

#include <jpeglib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "GraphicsTest.h"
#include "platform/classes/Resources.h"
#include "platform/gdi/Png.h"

using namespace graphicstest;

namespace {

std::vector<uint8_t> Bytes(TGraphic& Graphic) {
  TMemoryStream s;
  Graphic.SaveToStream(&s);
  const auto* p = static_cast<const uint8_t*>(s.Memory());
  return {p, p + s.Size()};
}

void Load(TPicture& Picture, const std::vector<uint8_t>& Data) {
  TMemoryStream s;
  if (!Data.empty()) s.WriteBuffer(Data.data(), static_cast<int64_t>(Data.size()));
  s.SetPosition(0);
  Picture.LoadFromStream(&s);
}

// An 8 x 8 JPEG picture of one colour.
std::vector<uint8_t> Jpeg(uint8_t R, uint8_t G, uint8_t B) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = 8;
  info.image_height = 8;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row;
  for (int x = 0; x < 8; ++x) row.insert(row.end(), {R, G, B});
  while (info.next_scanline < info.image_height) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

std::vector<uint8_t> IconFile() {
  const TResourceData r = FindResourceData("Square", RT_ICON);
  return {r.Data, r.Data + r.Size};
}

}  // namespace

TEST(Picture, EachFormatLoadsByItsContent) {
  auto source = FromRows({"rb", "g."});
  gdi::TSurface surface(2, 1);
  surface.Set(0, 0, 0xFFFF0000u);
  surface.Set(1, 0, 0xFF0000FFu);
  struct TCase {
    const char* Name;
    std::vector<uint8_t> Data;
    const char* ClassName;
    int Width;
  };
  const TCase cases[] = {
      {"bitmap", Bytes(*source), "TBitmap", 2},
      {"PNG", gdi::EncodePng(surface), "TBitmap", 2},
      {"icon", IconFile(), "TIcon", 16},
      {"JPEG", Jpeg(0, 0, 255), "TJPEGImage", 8},
  };
  for (const TCase& c : cases) {
    TPicture p;
    Load(p, c.Data);
    ASSERT_NE(p.Graphic(), nullptr) << c.Name;
    EXPECT_EQ(p.Graphic()->ClassName(), c.ClassName) << c.Name;
    EXPECT_EQ(p.Width(), c.Width) << c.Name;
  }

  TPicture png;
  Load(png, gdi::EncodePng(surface));
  EXPECT_EQ(Picture(*png.Bitmap()), Rows({"rb"}));
  TPicture jpeg;
  Load(jpeg, Jpeg(0, 0, 255));
  EXPECT_EQ(Bytes(*jpeg.Graphic()), Jpeg(0, 0, 255)) << "a JPEG image saves the data it was loaded from";
  auto target = Filled(8, 8);
  target->Canvas()->Draw(0, 0, jpeg.Graphic());
  const COLORREF c = static_cast<COLORREF>(target->Canvas()->Pixels(4, 4));
  EXPECT_LT(GetRValue(c), 16);
  EXPECT_GT(GetBValue(c), 240);
  EXPECT_THROW(jpeg.Graphic()->SetWidth(4), EInvalidGraphicOperation);
}

TEST(Picture, UnknownOrDamagedDataLeavesThePicture) {
  TPicture p;
  Load(p, IconFile());
  for (const std::vector<uint8_t>& bad : {std::vector<uint8_t>{'G', 'I', 'F', '8'}, std::vector<uint8_t>{},
                                          std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J'}}) {
    EXPECT_THROW(Load(p, bad), EInvalidGraphic);
    ASSERT_NE(p.Graphic(), nullptr);
    EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");
  }
}

TEST(Picture, FilesAreReadByContentWhateverTheirName) {
  const auto dir = std::filesystem::temp_directory_path() / ("picture-test-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string misnamed = (dir / "really-an-icon.bmp").string();
  {
    std::ofstream f(misnamed, std::ios::binary);
    const std::vector<uint8_t> icon = IconFile();
    f.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
  }
  TPicture p;
  p.LoadFromFile(misnamed);
  EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");
  const std::string copy = (dir / "copy.ico").string();
  p.SaveToFile(copy);
  TIcon again;
  again.LoadFromFile(copy);
  EXPECT_EQ(again.Width(), 16);
  EXPECT_THROW(p.LoadFromFile((dir / "missing.bmp").string()), EFOpenError);
  std::filesystem::remove_all(dir);
}

TEST(Picture, TypedAccessAssignmentAndChangeEvents) {
  TPicture p;
  int changes = 0;
  p.OnChange = [&](TObject* Sender) { changes += Sender == &p; };
  TBitmap* b = p.Bitmap();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(changes, 1);
  b->SetSize(2, 2);
  b->Canvas()->SetPixels(0, 0, Red);
  EXPECT_EQ(changes, 3) << "the graphic's changes reach the picture";

  auto source = FromRows({"gb"});
  p.Assign(source.get());
  EXPECT_NE(p.Graphic(), source.get()) << "a copy is kept";
  EXPECT_EQ(Picture(*p.Bitmap()), Rows({"gb"}));
  TPicture other;
  other.Assign(&p);
  EXPECT_EQ(Picture(*other.Bitmap()), Rows({"gb"}));
  TBitmap out;
  out.Assign(&other);
  EXPECT_EQ(Picture(out), Rows({"gb"}));

  TIcon* icon = p.Icon();  // the bitmap gives way to an empty icon
  EXPECT_TRUE(icon->Empty());
  EXPECT_EQ(p.Graphic()->ClassName(), "TIcon");
  p.Assign(nullptr);
  EXPECT_EQ(p.Graphic(), nullptr);
  EXPECT_EQ(p.Width(), 0);
}

TEST(Picture, IconsKeepTheirFileAndDrawThroughTheMask) {
  TIcon icon;
  icon.LoadFromResourceName(nullptr, "Square");
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_TRUE(icon.Transparent());
  EXPECT_EQ(Bytes(icon), IconFile());
  EXPECT_THROW(icon.SetWidth(32), EInvalidGraphicOperation);

  auto target = Filled(16, 16, Red);
  target->Canvas()->Draw(0, 0, &icon);
  EXPECT_EQ(target->Canvas()->Pixels(0, 0), Red) << "the masked part shows the background";
  EXPECT_EQ(target->Canvas()->Pixels(8, 8), clBlack);

  // An icon made from a handle saves a file of its one picture.
  TIcon copy;
  copy.SetHandle(CopyIcon(icon.Handle()));
  TIcon reread;
  TMemoryStream s;
  copy.SaveToStream(&s);
  s.SetPosition(0);
  reread.LoadFromStream(&s);
  auto again = Filled(16, 16, Red);
  again->Canvas()->Draw(0, 0, &reread);
  EXPECT_EQ(Picture(*again), Picture(*target));
  EXPECT_THROW(icon.LoadFromResourceName(nullptr, "Stripes"), EResNotFound) << "a bitmap is no icon";
}
