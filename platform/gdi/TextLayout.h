#pragma once
// Laying out formatted text, as the formatted-text drawing call does it: lines broken at
// line ends and, with word breaking, at blanks and between Chinese characters; tabs
// expanded; "&" access-key prefixes; end, path and word ellipses; horizontal and vertical
// alignment and margins. Measuring and drawing both come from here, so a measured rectangle
// holds exactly what is drawn.
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/FontEngine.h"
#include "platform/rtl/Types.h"

namespace gdi {

struct TTextFormat {
  enum THAlign { haLeft, haCenter, haRight };
  enum TVAlign { vaTop, vaCenter, vaBottom };
  THAlign HAlign = haLeft;
  TVAlign VAlign = vaTop;  // only for single-line text
  bool SingleLine = false;
  bool WordBreak = false;
  bool ExpandTabs = false;
  int TabLength = 8;  // in average character widths
  bool NoPrefix = false;
  bool HidePrefix = false;  // prefixes are removed but nothing is underlined
  bool PrefixOnly = false;  // only the access-key underlines are drawn
  bool EndEllipsis = false;
  bool PathEllipsis = false;
  bool WordEllipsis = false;
  bool ExternalLeading = false;
  bool EditControl = false;  // long words break between characters; no partly visible last line
  int LeftMargin = 0;
  int RightMargin = 0;
  int CharExtra = 0;  // extra pixels after every character
  // Only measuring: text running past the rectangle's bottom is not cut to it.
  bool CalcRect = false;
};

struct TTextLine {
  std::u32string Text;     // what is drawn: no prefixes, ellipsis applied, tabs kept
  std::vector<int> PenX;   // pen position of each character from the line's start
  int Width = 0;
  TPoint Origin;           // top-left corner of the line's cell
  // Access-key underline from the line's start, [From, To); From < 0 for none.
  int UnderlineFrom = -1;
  int UnderlineTo = -1;
};

struct TTextLayout {
  std::vector<TTextLine> Lines;
  int LineHeight = 0;
  // The rectangle the text needs (what DT_CALCRECT answers): Left and Top of the given
  // rectangle, the widest line plus the margins, every line's height.
  TRect Bounds;
  // What the formatted-text call answers: the height of the text, or, when single-line text
  // is drawn centred or at the bottom, the offset from the rectangle's top to its bottom.
  int Result = 0;
  // The text as drawn (with its ellipsis), for callers that ask for the string to change.
  std::string Modified;
  // Characters laid out before the first line that lies below the rectangle.
  int CharsDrawn = 0;
};

// Lays out Text in Rect with Font.
TTextLayout LayoutText(TRealFont& Font, std::string_view Text, const TRect& Rect, const TTextFormat& Format);

// Pen positions of Text from its start, with CharExtra after every character; answers the
// whole width. Tabs have no width here (as with the plain text output calls).
int MeasureRun(TRealFont& Font, const std::u32string& Text, int CharExtra, std::vector<int>* PenX = nullptr);

}  // namespace gdi
