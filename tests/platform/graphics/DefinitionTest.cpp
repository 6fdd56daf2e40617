// The graphics classes as window definitions hold them: fonts, brushes and pens by their
// published properties, pictures and bitmaps as Data blocks, image lists as Bitmap blocks.
#include <gtest/gtest.h>

#include "GraphicsTest.h"
#include "platform/classes/Filer.h"

using namespace graphicstest;

namespace {

class TSwatch : public TComponent {
 public:
  explicit TSwatch(TComponent* AOwner) : TComponent(AOwner) {}
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TPicture* Picture() const { return FPicture.get(); }
  void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
  TBitmap* Glyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
  TColor Color() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }

 private:
  std::unique_ptr<TFont> FFont = std::make_unique<TFont>();
  std::unique_ptr<TBrush> FBrush = std::make_unique<TBrush>();
  std::unique_ptr<TPen> FPen = std::make_unique<TPen>();
  std::unique_ptr<TPicture> FPicture = std::make_unique<TPicture>();
  std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
  TColor FColor = clBtnFace;
  TCursor FCursor = crDefault;
};

const classes::TPublished<TSwatch, TComponent> SwatchInfo([](auto& p) {
  p.Int("Color", &TSwatch::Color, &TSwatch::SetColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("Cursor", &TSwatch::Cursor, &TSwatch::SetCursor).Default(crDefault).Idents(CursorIdents());
  p.Object("Font", &TSwatch::Font, &TSwatch::SetFont);
  p.Object("Brush", &TSwatch::Brush, &TSwatch::SetBrush);
  p.Object("Pen", &TSwatch::Pen, &TSwatch::SetPen);
  p.Object("Picture", &TSwatch::Picture, &TSwatch::SetPicture);
  p.Object("Glyph", &TSwatch::Glyph, &TSwatch::SetGlyph);
});

std::string Hex(const std::vector<uint8_t>& Bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  for (uint8_t b : Bytes) (out += digits[b >> 4]) += digits[b & 15];
  return out;
}

// Picture data: the class name after its length, then the bitmap file after its length.
std::vector<uint8_t> PictureData(TBitmap& Bitmap) {
  TMemoryStream file;
  Bitmap.SaveToStream(&file);
  std::vector<uint8_t> out{7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
  const auto size = static_cast<uint32_t>(file.Size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
  const auto* p = static_cast<const uint8_t*>(file.Memory());
  out.insert(out.end(), p, p + file.Size());
  return out;
}

}  // namespace

TEST(Definitions, AFontBrushPenAndColoursReadByName) {
  TSwatch swatch(nullptr);
  ReadComponentText(&swatch,
                    "object Swatch1: TSwatch\n"
                    "  Color = clInfoBk\n"
                    "  Cursor = crHandPoint\n"
                    "  Font.Charset = GB2312_CHARSET\n"
                    "  Font.Color = clRed\n"
                    "  Font.Height = -12\n"
                    "  Font.Name = '宋体'\n"
                    "  Font.Style = [fsBold, fsUnderline]\n"
                    "  Brush.Color = clBtnFace\n"
                    "  Brush.Style = bsDiagCross\n"
                    "  Pen.Style = psDot\n"
                    "  Pen.Width = 2\n"
                    "end\n");
  EXPECT_EQ(swatch.Color(), clInfoBk);
  EXPECT_EQ(swatch.Cursor(), crHandPoint);
  TFont* f = swatch.Font();
  EXPECT_EQ(f->Charset(), GB2312_CHARSET);
  EXPECT_EQ(f->Color(), clRed);
  EXPECT_EQ(f->Height(), -12);
  EXPECT_EQ(f->Size(), 9);
  EXPECT_EQ(f->Name(), "宋体");
  EXPECT_EQ(f->Style(), (TFontStyles{fsBold, fsUnderline}));
  EXPECT_EQ(swatch.Brush()->Color(), clBtnFace);
  EXPECT_EQ(swatch.Brush()->Style(), bsDiagCross);
  EXPECT_EQ(swatch.Pen()->Style(), psDot);
  EXPECT_EQ(swatch.Pen()->Width(), 2);

  TSwatch bad(nullptr);
  EXPECT_THROW(ReadComponentText(&bad, "object S: TSwatch\n  Font.Color = clNoSuchColour\nend\n"), Exception);
  EXPECT_THROW(ReadComponentText(&bad, "object S: TSwatch\n  Font.Style = [fsShiny]\nend\n"), Exception);
}

TEST(Definitions, PicturesBitmapsAndImageListsReadFromDataBlocks) {
  auto bitmap = FromRows({"rb", "g."});
  const std::string data = Hex(PictureData(*bitmap));
  const std::vector<uint8_t> pictureData = PictureData(*bitmap);
  const std::string glyph = Hex(std::vector<uint8_t>(pictureData.begin() + 8, pictureData.end()));
  auto list = std::make_unique<TImageList>(nullptr);
  list->SetSize(2, 2);
  list->AddMasked(bitmap.get(), clWhite);
  TMemoryStream listData;
  graphics::WriteImageList(list->Handle(), &listData);
  const auto* l = static_cast<const uint8_t*>(listData.Memory());
  const std::string bitmapBlock = Hex({l, l + listData.Size()});

  TSwatch swatch(nullptr);
  ReadComponentText(&swatch, "object Swatch1: TSwatch\n"
                             "  Picture.Data = {" + data + "}\n"
                             "  Glyph.Data = {" + glyph + "}\n"
                             "  object ImageList1: TImageList\n"
                             "    Height = 2\n"
                             "    Width = 2\n"
                             "    Bitmap = {" + bitmapBlock + "}\n"
                             "  end\n"
                             "end\n");
  ASSERT_NE(swatch.Picture()->Graphic(), nullptr);
  EXPECT_EQ(swatch.Picture()->Graphic()->ClassName(), "TBitmap");
  EXPECT_EQ(Picture(*swatch.Picture()->Bitmap()), Rows({"rb", "g."}));
  EXPECT_EQ(Picture(*swatch.Glyph()), Rows({"rb", "g."}));
  auto* images = dynamic_cast<TImageList*>(swatch.FindComponent("ImageList1"));
  ASSERT_NE(images, nullptr);
  ASSERT_EQ(images->Count(), 1);
  auto target = Filled(2, 2, Blue);
  images->Draw(target->Canvas(), 0, 0, 0);
  EXPECT_EQ(Picture(*target), Rows({"rb", "gb"}));

  TSwatch damaged(nullptr);
  EXPECT_THROW(ReadComponentText(&damaged, "object S: TSwatch\n  Picture.Data = {05544E6F6E65}\nend\n"), Exception);
}

TEST(Definitions, WrittenDefinitionsReadBackTheSame) {
  TSwatch swatch(nullptr);
  swatch.SetName("Swatch1");
  swatch.Font()->SetStyle({fsItalic});
  swatch.Font()->SetColor(clHighlight);
  swatch.Font()->SetCharset(GB2312_CHARSET);
  swatch.Pen()->SetColor(clNavy);
  swatch.Picture()->Assign(FromRows({"gr"}).get());
  auto* images = new TImageList(&swatch);
  images->SetName("Images");
  images->SetSize(1, 1);
  images->AddMasked(FromRows({"rbg"}).get(), clNone);

  const std::string text = WriteComponentText(&swatch);
  for (const char* part : {"Font.Charset = GB2312_CHARSET", "Font.Color = clHighlight", "Font.Height = -11",
                           "Font.Style = [fsItalic]", "Pen.Color = clNavy", "Picture.Data = {", "Bitmap = {"})
    EXPECT_NE(text.find(part), std::string::npos) << part << " in\n" << text;
  EXPECT_EQ(text.find("Brush."), std::string::npos) << "defaults are not written";
  EXPECT_EQ(text.find("Glyph.Data"), std::string::npos) << "an empty bitmap writes no data";

  TSwatch read(nullptr);
  ReadComponentText(&read, text);
  EXPECT_EQ(read.Font()->Style(), (TFontStyles{fsItalic}));
  EXPECT_EQ(read.Font()->Color(), clHighlight);
  EXPECT_EQ(read.Pen()->Color(), clNavy);
  EXPECT_EQ(Picture(*read.Picture()->Bitmap()), Rows({"gr"}));
  auto* again = dynamic_cast<TImageList*>(read.FindComponent("Images"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Count(), 3);
  EXPECT_EQ(WriteComponentText(&read), text);
}
