#pragma once
// The pictures of the player's windows, drawn in code: the glyphs of the flat buttons on the
// title strips and the player bars, and the picture stretched across a title strip.
#include "controls/input/FcSpnEdt.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Bitmap.h"

namespace app {

enum class TGlyphKind {
  Play,       // a triangle pointing right
  Pause,      // two bars
  Stop,       // a square
  AutoStart,  // a clock: start automatic mode
  AutoStop,   // a clock with a stop square: stop automatic mode
  Hide,       // a bar at the bottom: to the tray
  Close,      // a cross
};

// Side of one glyph cell.
constexpr int kGlyphSize = 16;

// Draws Kind into Glyph as a strip of two cells, normal and disabled (embossed grey), each
// kGlyphSize square. The background is one colour that no drawing uses, and the bottom-left
// pixel holds it, so buttons leave it out.
void DrawGlyph(TBitmap* Glyph, TGlyphKind Kind);
// Gives Button the two-cell glyph of Kind.
void SetButtonGlyph(TFcRapidFireButton* Button, TGlyphKind Kind);
// Puts the title strip's picture into Image: a gradient from white at the left to Colour, which
// fills the last quarter where the strip's buttons sit; a small bitmap that the image (Stretch
// in its definition) spreads across the strip.
void SetTitlePicture(TImage* Image, TColor Colour);

}  // namespace app
