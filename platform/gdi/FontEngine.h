#pragma once
// The font engine behind HFONT: a logical font request is realised once (faces found,
// sizes computed at 96 DPI, metrics read) and its glyphs are rendered by FreeType with fixed
// hinting and grey antialiasing, so the same text always gives the same pixels. Realised
// fonts and their glyphs are cached. GUI thread only, as the rest of the drawing layer.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/gdi/FontMatch.h"
#include "platform/rtl/Types.h"

namespace gdi {

// The parts of a logical font that decide how text looks.
struct TFontRequest {
  std::string Family;
  // < 0: the character (em) height in pixels; > 0: the cell height; 0: the default (-11).
  int Height = 0;
  // The average character width in pixels; 0 keeps the face's proportions.
  int Width = 0;
  // The direction of the baseline, tenths of a degree counter-clockwise from the x axis.
  int Escapement = 0;
  int Weight = 400;  // 0 means 400
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  uint8_t CharSet = 1;  // DEFAULT_CHARSET
  bool operator==(const TFontRequest&) const = default;
};

// Metrics of a realised font in pixels, as text metrics report them.
struct TFontMetrics {
  int Height = 0;  // Ascent + Descent
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;  // Height - em height
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int EmHeight = 0;
  int Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  bool FixedPitch = false;
  char Kind = 's';  // 's' sans serif, 'r' serif, 'm' fixed pitch
  uint8_t CharSet = 0;
  // Below the baseline (positive down): the top row and thickness of the underline; above
  // the baseline (positive up): the top row and thickness of the strike-out line.
  int UnderlineOffset = 1;
  int UnderlineSize = 1;
  int StrikeOutOffset = 3;
  int StrikeOutSize = 1;
  // The slope of italic strokes: Run pixels to the right for Rise pixels up (0, 1 upright).
  int SlopeRise = 1;
  int SlopeRun = 0;
  int UnitsPerEm = 2048;
  std::string FaceFamily;  // the installed family drawn
};

// A rendered glyph: grey coverage (0..255) with its top-left corner at (Left, Top) from the
// pen position on the baseline, in device directions (y down), already rotated by the
// font's escapement.
struct TGlyph {
  int Advance = 0;  // pixels along the baseline
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;
};

// A coverage mask in device directions: Box is relative to the origin the text was laid out
// from (the pen position of its first character on the baseline).
struct TCoverage {
  TRect Box;
  std::vector<uint8_t> Alpha;  // Box.Width() x Box.Height(), rows from the top
  uint8_t At(int X, int Y) const {
    return Box.Contains({X, Y}) ? Alpha[static_cast<size_t>(Y - Box.Top) * Box.Width() + (X - Box.Left)] : 0;
  }
  // Adds Alpha values of a glyph placed with its top-left corner at (X, Y), saturating.
  void Add(int X, int Y, int W, int H, const uint8_t* Src);
};

class TFaceSet;

class TRealFont {
 public:
  // The realised font for a request (shared; the same request answers the same object).
  static std::shared_ptr<TRealFont> Realize(const TFontRequest& Request);
  ~TRealFont();
  TRealFont(const TRealFont&) = delete;
  TRealFont& operator=(const TRealFont&) = delete;

  const TFontRequest& Request() const { return FRequest; }
  const TFontMetrics& Metrics() const { return FMetrics; }
  // The baseline's direction in device space: (Cos, -Sin) is one pixel along it.
  double Cos() const { return FCos; }
  double Sin() const { return FSin; }
  bool IsRotated() const { return FRotated; }

  int Advance(char32_t Char);
  const TGlyph& Glyph(char32_t Char);
  // True when some face of the font has a glyph for Char.
  bool HasGlyph(char32_t Char);

  // The coverage of Text with each character's pen position along the baseline given in
  // PenX (pixels from the origin, one per character) and the line from 0 to LineWidth for
  // underline and strike-out.
  TCoverage Render(const std::u32string& Text, const std::vector<int>& PenX, int LineWidth);
  // The coverage of the band [From, To) along the baseline and [Offset, Offset + Size) across
  // it (down from the baseline), rotated with the font: a text cell's opaque background.
  TCoverage Band(int From, int To, int Offset, int Size);

 private:
  explicit TRealFont(const TFontRequest& Request);
  struct TSlot;
  TSlot* SlotFor(char32_t Char, unsigned& GlyphIndex);
  void RenderGlyph(char32_t Char, TGlyph& Out);
  void AddLine(TCoverage& Cov, int From, int To, int Offset, int Size);

  TFontRequest FRequest;
  TFontMetrics FMetrics;
  double FCos = 1, FSin = 0;
  bool FRotated = false;
  // The face stands for one whose Latin characters are half as wide as its Chinese ones: the
  // advance (in 1/64 pixel) every character narrower than a Chinese one is drawn at; 0 for
  // other faces.
  long FHalfAdvance = 0;
  std::vector<std::unique_ptr<TSlot>> FSlots;  // main face first, then fallbacks
  std::unordered_map<char32_t, std::pair<TSlot*, unsigned>> FCharFaces;
  std::unordered_map<char32_t, TGlyph> FGlyphs;
};

// Text as code points (bytes that are not valid UTF-8 count as one character each).
std::u32string CodePoints(std::string_view Utf8);

}  // namespace gdi
