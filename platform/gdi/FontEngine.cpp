#include "platform/gdi/FontEngine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <tuple>

#include "platform/rtl/Strings.h"
#include "platform/rtl/System.h"

namespace gdi {
namespace {

constexpr int kDefaultHeight = -11;
constexpr int kMaxEm = 2048;
// Synthesised italic leans strokes one pixel right for every five up.
constexpr int kSynthSlopeRise = 5;
constexpr int kSynthSlopeRun = 1;

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib)) throw EOutOfResources("Cannot start the font renderer");
    // Full TrueType hinting snaps stems to whole pixels in both directions: crisp grey text
    // at dialog sizes, and the same pixels on every machine with this FreeType.
    FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(lib, "truetype", "interpreter-version", &interpreter);
    return lib;
  }();
  return library;
}

// Faces stay open for the life of the process; each realised font makes its own size.
FT_Face OpenFace(const TFaceFile& File) {
  static std::map<std::pair<std::string, int>, FT_Face> faces;
  const auto key = std::make_pair(File.Path, File.Index);
  if (auto it = faces.find(key); it != faces.end()) return it->second;
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), File.Path.c_str(), File.Index, &face))
    throw EOutOfResources("Cannot open the font file \"" + File.Path + "\"");
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  return faces[key] = face;
}

int Round(double V) { return static_cast<int>(std::lround(V)); }

bool IsControl(char32_t C) { return C < 0x20 || C == 0x7F; }

}  // namespace

void TCoverage::Add(int X, int Y, int W, int H, const uint8_t* Src) {
  for (int y = 0; y < H; ++y) {
    const int dy = Y + y - Box.Top;
    if (dy < 0 || dy >= Box.Height()) continue;
    uint8_t* row = Alpha.data() + static_cast<size_t>(dy) * Box.Width();
    for (int x = 0; x < W; ++x) {
      const int dx = X + x - Box.Left;
      if (dx < 0 || dx >= Box.Width()) continue;
      row[dx] = static_cast<uint8_t>(std::min(255, row[dx] + Src[static_cast<size_t>(y) * W + x]));
    }
  }
}

std::u32string CodePoints(std::string_view Utf8) {
  std::u32string out;
  out.reserve(Utf8.size());
  size_t pos = 0;
  while (pos < Utf8.size()) out.push_back(rtl::NextCodePoint(Utf8, pos));
  return out;
}

// One face at the font's size, with the styles it has to synthesise.
struct TRealFont::TSlot {
  TFaceFile File;
  FT_Face Face = nullptr;
  FT_Size Size = nullptr;
  TSlot(const TFaceFile& F, int XPixels, int EmPixels) : File(F), Face(OpenFace(F)) {
    if (FT_New_Size(Face, &Size)) throw EOutOfResources("Cannot size the font \"" + F.Family + "\"");
    FT_Activate_Size(Size);
    if (FT_Set_Pixel_Sizes(Face, static_cast<FT_UInt>(XPixels), static_cast<FT_UInt>(EmPixels)) &&
        FT_HAS_FIXED_SIZES(Face) && Face->num_fixed_sizes > 0)
      FT_Select_Size(Face, 0);
  }
  ~TSlot() { FT_Done_Size(Size); }
  void Activate() const { FT_Activate_Size(Size); }
  // The same face drawn narrower (XPixels wide per em), for half-width characters: hinted at
  // that width, its stems stay whole.
  TSlot& Narrowed(int XPixels) {
    auto& narrow = FNarrowed[XPixels];
    if (!narrow) narrow = std::make_unique<TSlot>(File, XPixels, static_cast<int>(Size->metrics.y_ppem));
    return *narrow;
  }

 private:
  std::map<int, std::unique_ptr<TSlot>> FNarrowed;
};

std::shared_ptr<TRealFont> TRealFont::Realize(const TFontRequest& Request) {
  using TKey = std::tuple<std::string, int, int, int, int, bool, bool, bool, uint8_t>;
  static std::map<TKey, std::shared_ptr<TRealFont>> cache;
  const TKey key{Request.Family, Request.Height,   Request.Width,     Request.Escapement, Request.Weight,
                 Request.Italic, Request.Underline, Request.StrikeOut, Request.CharSet};
  if (auto it = cache.find(key); it != cache.end()) return it->second;
  // Rotated text along an arc makes a font per character; fonts nobody holds are let go.
  if (cache.size() >= 256)
    std::erase_if(cache, [](const auto& Entry) { return Entry.second.use_count() == 1; });
  std::shared_ptr<TRealFont> font(new TRealFont(Request));
  cache[key] = font;
  return font;
}

TRealFont::~TRealFont() = default;

TRealFont::TRealFont(const TFontRequest& Request) : FRequest(Request) {
  const int weight = Request.Weight <= 0 ? 400 : std::clamp(Request.Weight, 1, 1000);
  FRequest.Weight = weight;
  const TFaceFile file = MatchFace(Request.Family, weight, Request.Italic);
  const FT_Face face = OpenFace(file);

  const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const TT_HoriHeader* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const TT_Postscript* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  const double upem = face->units_per_EM ? face->units_per_EM : 2048;
  double winAscent = os2 ? os2->usWinAscent : face->ascender;
  double winDescent = os2 ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) winAscent = upem * 0.9, winDescent = upem * 0.2;

  TFontMetrics& m = FMetrics;
  int height = Request.Height == 0 ? kDefaultHeight : std::clamp(Request.Height, -kMaxEm, kMaxEm);
  if (height < 0) {
    // Rounded up, so hinted glyphs that reach the face's extremes stay inside the cell.
    m.EmHeight = -height;
    m.Ascent = static_cast<int>(std::ceil(winAscent * m.EmHeight / upem - 0.01));
    m.Descent = static_cast<int>(std::ceil(winDescent * m.EmHeight / upem - 0.01));
  } else {
    // A cell height: the em is what makes ascent and descent fill the cell exactly.
    m.EmHeight = std::max(1, Round(height * upem / (winAscent + winDescent)));
    m.Ascent = Round(winAscent * height / (winAscent + winDescent));
    m.Descent = height - m.Ascent;
  }
  m.Height = m.Ascent + m.Descent;
  m.InternalLeading = std::max(0, m.Height - m.EmHeight);
  const double scale = m.EmHeight / upem;
  if (hhea) {
    const double gap = hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    m.ExternalLeading = std::max(0, Round(gap * scale));
  }
  const double naturalAverage = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth * scale : m.EmHeight / 2.0;
  int xPixels = m.EmHeight;
  if (Request.Width > 0) xPixels = std::clamp(Round(m.EmHeight * Request.Width / naturalAverage), 1, kMaxEm);
  const double xScale = xPixels / upem;
  m.Weight = weight;
  m.Italic = Request.Italic;
  m.Underline = Request.Underline;
  m.StrikeOut = Request.StrikeOut;
  m.FixedPitch = FT_IS_FIXED_WIDTH(face) || (post && post->isFixedPitch);
  m.FaceFamily = file.Family;
  m.Kind = m.FixedPitch ? 'm' : FamilyKind(file.Family);
  m.CharSet = Request.CharSet != 1 ? Request.CharSet : IsChineseFamily(Request.Family) ? 134 : 0;
  m.UnitsPerEm = static_cast<int>(upem);
  m.MaxCharWidth = std::max(1, Round(face->max_advance_width * xScale));

  m.UnderlineSize = std::max(1, Round((post && post->underlineThickness ? post->underlineThickness : upem / 14) * scale));
  const double ulPos = post && post->underlinePosition ? -post->underlinePosition : upem / 10;
  m.UnderlineOffset = std::max(1, Round(ulPos * scale - m.UnderlineSize / 2.0));
  if (m.UnderlineOffset + m.UnderlineSize > m.Descent) m.UnderlineOffset = std::max(1, m.Descent - m.UnderlineSize);
  m.StrikeOutSize = std::max(1, Round((os2 && os2->yStrikeoutSize ? os2->yStrikeoutSize : upem / 14) * scale));
  const double soPos = os2 && os2->yStrikeoutPosition ? os2->yStrikeoutPosition : upem * 0.26;
  m.StrikeOutOffset = std::max(m.StrikeOutSize, Round(soPos * scale + m.StrikeOutSize / 2.0));

  if (file.SynthesizeItalic) {
    m.SlopeRise = kSynthSlopeRise;
    m.SlopeRun = kSynthSlopeRun;
  } else if (Request.Italic && hhea && hhea->caret_Slope_Rise > 0 && hhea->caret_Slope_Run > 0) {
    m.SlopeRise = hhea->caret_Slope_Rise;
    m.SlopeRun = hhea->caret_Slope_Run;
  }

  const double angle = (Request.Escapement % 3600) * std::numbers::pi / 1800.0;
  FRotated = Request.Escapement % 3600 != 0;
  FCos = std::cos(angle);
  FSin = std::sin(angle);
  // Multiples of 90 degrees stay exact, so rotated pen positions land on whole pixels.
  if (Request.Escapement % 900 == 0) FCos = std::round(FCos), FSin = std::round(FSin);

  FSlots.push_back(std::make_unique<TSlot>(file, xPixels, m.EmHeight));
  if (IsHalfWidthChineseFamily(Request.Family) && !FRotated) {
    // Letters and digits take half the width of a Chinese character, as in the face named.
    FHalfAdvance = std::max(1, Round(xPixels / 2.0)) * 64L;
    m.AveCharWidth = static_cast<int>(FHalfAdvance / 64);
  } else if (os2 && os2->xAvgCharWidth > 0 && Request.Width <= 0)
    m.AveCharWidth = std::max(1, Round(naturalAverage));
  else if (Request.Width > 0)
    m.AveCharWidth = Request.Width;
  else
    m.AveCharWidth = std::max(1, Advance(U'x'));
}

TRealFont::TSlot* TRealFont::SlotFor(char32_t Char, unsigned& GlyphIndex) {
  if (auto it = FCharFaces.find(Char); it != FCharFaces.end()) {
    GlyphIndex = it->second.second;
    return it->second.first;
  }
  auto remember = [&](TSlot* Slot, unsigned Index) {
    FCharFaces[Char] = {Slot, Index};
    GlyphIndex = Index;
    return Slot;
  };
  for (auto& slot : FSlots)
    if (unsigned gi = FT_Get_Char_Index(slot->Face, Char)) return remember(slot.get(), gi);
  auto tryFile = [&](const TFaceFile& File) -> TSlot* {
    if (File.Path.empty()) return nullptr;
    for (auto& slot : FSlots)
      if (slot->File.Path == File.Path && slot->File.Index == File.Index) return nullptr;
    const FT_Face face = OpenFace(File);
    const unsigned gi = FT_Get_Char_Index(face, Char);
    auto& main = *FSlots.front();
    FSlots.push_back(std::make_unique<TSlot>(File, main.Size->metrics.x_ppem, main.Size->metrics.y_ppem));
    return gi ? remember(FSlots.back().get(), gi) : nullptr;
  };
  for (const TFaceFile& file : FallbackFaces(FRequest.Weight, FRequest.Italic))
    if (TSlot* s = tryFile(file)) return s;
  if (TSlot* s = tryFile(MatchFaceForChar(Char, FRequest.Weight, FRequest.Italic))) return s;
  // No installed face has it: the main face's missing-glyph box.
  return remember(FSlots.front().get(), 0);
}

bool TRealFont::HasGlyph(char32_t Char) {
  unsigned gi = 0;
  SlotFor(Char, gi);
  return gi != 0;
}

int TRealFont::Advance(char32_t Char) { return Glyph(Char).Advance; }

const TGlyph& TRealFont::Glyph(char32_t Char) {
  if (auto it = FGlyphs.find(Char); it != FGlyphs.end()) return it->second;
  if (FGlyphs.size() >= 8192) FGlyphs.clear();
  TGlyph& g = FGlyphs[Char];
  if (!IsControl(Char)) RenderGlyph(Char, g);
  return g;
}

void TRealFont::RenderGlyph(char32_t Char, TGlyph& Out) {
  unsigned gi = 0;
  TSlot* slot = SlotFor(Char, gi);
  slot->Activate();
  FT_Face face = slot->Face;
  if (FT_Load_Glyph(face, gi, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL)) return;
  FT_GlyphSlot gs = face->glyph;
  FT_Pos advance = gs->advance.x;
  // A character narrower than a Chinese one takes half the width: drawn from the face made as
  // much narrower (or wider) as that needs.
  const FT_Pos full = static_cast<FT_Pos>(slot->Size->metrics.x_ppem) * 64;
  if (FHalfAdvance > 0 && advance > 0 && advance < full * 3 / 4 && advance != FHalfAdvance) {
    const int xPixels = std::max(1, static_cast<int>((full * FHalfAdvance / advance + 32) / 64));
    TSlot& narrow = slot->Narrowed(xPixels);
    narrow.Activate();
    if (FT_Load_Glyph(narrow.Face, gi, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL)) return;
    gs = narrow.Face->glyph;
    advance = FHalfAdvance;
  }
  if (gs->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Outline* outline = &gs->outline;
    if (slot->File.SynthesizeBold) {
      const FT_Pos strength = std::max<FT_Pos>(64, slot->Size->metrics.y_ppem * 64 / 24);
      FT_Outline_EmboldenXY(outline, strength, 0);
      advance += strength;
    }
    if (slot->File.SynthesizeItalic) {
      FT_Matrix shear{0x10000, 0x10000 * kSynthSlopeRun / kSynthSlopeRise, 0, 0x10000};
      FT_Outline_Transform(outline, &shear);
    }
    if (FRotated) {
      FT_Matrix rotate{static_cast<FT_Fixed>(std::lround(FCos * 0x10000)),
                       static_cast<FT_Fixed>(std::lround(-FSin * 0x10000)),
                       static_cast<FT_Fixed>(std::lround(FSin * 0x10000)),
                       static_cast<FT_Fixed>(std::lround(FCos * 0x10000))};
      FT_Outline_Transform(outline, &rotate);
    }
  }
  Out.Advance = static_cast<int>((advance + 32) >> 6);
  if (FT_Render_Glyph(gs, FT_RENDER_MODE_NORMAL)) return;
  const FT_Bitmap& bm = gs->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return;
  Out.Left = gs->bitmap_left;
  Out.Top = -gs->bitmap_top;
  Out.Width = static_cast<int>(bm.width);
  Out.Height = static_cast<int>(bm.rows);
  Out.Coverage.resize(static_cast<size_t>(Out.Width) * Out.Height);
  for (int y = 0; y < Out.Height; ++y) {
    const uint8_t* src = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
    std::copy(src, src + Out.Width, Out.Coverage.begin() + static_cast<ptrdiff_t>(y) * Out.Width);
  }
}

namespace {

// A filled quadrilateral (device space) as grey coverage, through FreeType's rasteriser so
// lines under rotated text are antialiased like its glyphs.
struct TQuad {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  std::vector<uint8_t> Coverage;
};

TQuad RasteriseQuad(const double (&X)[4], const double (&Y)[4]) {
  TQuad q;
  const double minX = std::floor(*std::min_element(X, X + 4)), maxX = std::ceil(*std::max_element(X, X + 4));
  const double minY = std::floor(*std::min_element(Y, Y + 4)), maxY = std::ceil(*std::max_element(Y, Y + 4));
  q.Left = static_cast<int>(minX);
  q.Top = static_cast<int>(minY);
  q.Width = static_cast<int>(maxX - minX);
  q.Height = static_cast<int>(maxY - minY);
  if (q.Width <= 0 || q.Height <= 0) return q;
  q.Coverage.assign(static_cast<size_t>(q.Width) * q.Height, 0);
  FT_Vector points[4];
  char tags[4] = {FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON, FT_CURVE_TAG_ON};
  short contour = 3;
  for (int i = 0; i < 4; ++i) {
    points[i].x = std::lround((X[i] - minX) * 64);
    points[i].y = std::lround((maxY - Y[i]) * 64);
  }
  FT_Outline outline{};
  outline.n_points = 4;
  outline.n_contours = 1;
  outline.points = points;
  outline.tags = tags;
  outline.contours = &contour;
  outline.flags = FT_OUTLINE_NONE;
  FT_Bitmap bitmap{};
  bitmap.rows = static_cast<unsigned>(q.Height);
  bitmap.width = static_cast<unsigned>(q.Width);
  bitmap.pitch = q.Width;  // a positive pitch puts the top row first, as ours
  bitmap.buffer = q.Coverage.data();
  bitmap.num_grays = 256;
  bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
  FT_Outline_Get_Bitmap(Library(), &outline, &bitmap);
  return q;
}

}  // namespace

void TRealFont::AddLine(TCoverage& Cov, int From, int To, int Offset, int Size) {
  // The rectangle [From, To) x [Offset, Offset + Size) in baseline space (v down), rotated.
  const double u[4] = {double(From), double(To), double(To), double(From)};
  const double v[4] = {double(Offset), double(Offset), double(Offset + Size), double(Offset + Size)};
  double x[4], y[4];
  for (int i = 0; i < 4; ++i) {
    x[i] = u[i] * FCos + v[i] * FSin;
    y[i] = -u[i] * FSin + v[i] * FCos;
  }
  const TQuad q = RasteriseQuad(x, y);
  if (!q.Coverage.empty()) Cov.Add(q.Left, q.Top, q.Width, q.Height, q.Coverage.data());
}

TCoverage TRealFont::Band(int From, int To, int Offset, int Size) {
  TCoverage cov;
  int minX = 0, minY = 0, maxX = 0, maxY = 0;
  bool first = true;
  for (double u : {double(From), double(To)})
    for (double v : {double(Offset), double(Offset + Size)}) {
      const int x = static_cast<int>(std::floor(u * FCos + v * FSin));
      const int y = static_cast<int>(std::floor(-u * FSin + v * FCos));
      minX = first ? x : std::min(minX, x), maxX = first ? x : std::max(maxX, x);
      minY = first ? y : std::min(minY, y), maxY = first ? y : std::max(maxY, y);
      first = false;
    }
  cov.Box = Rect(minX - 1, minY - 1, maxX + 2, maxY + 2);
  cov.Alpha.assign(static_cast<size_t>(cov.Box.Width()) * cov.Box.Height(), 0);
  if (To > From && Size > 0) AddLine(cov, From, To, Offset, Size);
  return cov;
}

TCoverage TRealFont::Render(const std::u32string& Text, const std::vector<int>& PenX, int LineWidth) {
  TCoverage cov;
  struct TPlaced {
    const TGlyph* Glyph;
    int X, Y;
  };
  std::vector<TPlaced> placed;
  placed.reserve(Text.size());
  TRect box;
  auto grow = [&](const TRect& R) {
    if (R.IsEmpty()) return;
    UnionRect(&box, &box, &R);
  };
  for (size_t i = 0; i < Text.size(); ++i) {
    const TGlyph& g = Glyph(Text[i]);
    const int pen = i < PenX.size() ? PenX[i] : 0;
    const int x = Round(pen * FCos), y = Round(-pen * FSin);
    placed.push_back({&g, x, y});
    grow(Bounds(x + g.Left, y + g.Top, g.Width, g.Height));
  }
  const TFontMetrics& m = FMetrics;
  std::vector<std::pair<int, int>> lines;  // offset, size
  if (m.Underline) lines.push_back({m.UnderlineOffset, m.UnderlineSize});
  if (m.StrikeOut) lines.push_back({-m.StrikeOutOffset, m.StrikeOutSize});
  if (LineWidth > 0) {
    for (auto [offset, size] : lines) {
      for (double u : {0.0, double(LineWidth)})
        for (double v : {double(offset), double(offset + size)}) {
          const int x = static_cast<int>(std::floor(u * FCos + v * FSin));
          const int y = static_cast<int>(std::floor(-u * FSin + v * FCos));
          grow(Rect(x - 1, y - 1, x + 2, y + 2));
        }
    }
  }
  cov.Box = box;
  cov.Alpha.assign(static_cast<size_t>(std::max(0, box.Width())) * std::max(0, box.Height()), 0);
  if (box.IsEmpty()) return cov;
  for (const TPlaced& p : placed)
    if (p.Glyph->Width > 0)
      cov.Add(p.X + p.Glyph->Left, p.Y + p.Glyph->Top, p.Glyph->Width, p.Glyph->Height, p.Glyph->Coverage.data());
  if (LineWidth > 0)
    for (auto [offset, size] : lines) AddLine(cov, 0, LineWidth, offset, size);
  return cov;
}

}  // namespace gdi
