#include "controls/input/FcBtnEdt.h"

namespace fc {

const classes::TEnumInfo& EnumInfo(TButtonKind) {
  static const classes::TEnumInfo info{"TButtonKind", {"bkCustom", "bkLookup", "bkDropDown", "bkCalendar", "bkAccept",
                                                       "bkReject", "bkFolder", "bkFind", "bkSearch"}};
  return info;
}

void PaintEditButton(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, bool Flat, TColor FlatColor,
                     bool Enabled) {
  const TColor face = Flat ? FlatColor : clBtnFace;
  DrawButtonFace(Canvas, R, face, false, Flat);
  if (Glyph && !Glyph->Empty()) {
    const int w = Glyph->Width() / (NumGlyphs < 1 ? 1 : NumGlyphs);
    DrawGlyph(Canvas, Glyph, NumGlyphs, !Enabled && NumGlyphs > 1 ? 1 : 0, R.Left + (R.Width() - w) / 2,
              R.Top + (R.Height() - Glyph->Height()) / 2, face);
    return;
  }
  // An ellipsis of three dots.
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Enabled ? clBtnText : clGrayText);
  const int cx = R.Left + R.Width() / 2;
  const int cy = R.Top + R.Height() / 2;
  for (int dx : {-4, 0, 4}) Canvas->FillRect({cx + dx - 1, cy, cx + dx + 1, cy + 2});
}

}  // namespace fc

static const classes::TPublished<TFcCustomButtonEdit, TFcEdit> FcCustomButtonEditInfo([](auto& p) {
  fc::PublishEditButton(p);
});
static const classes::TPublished<TFcButtonEdit, TFcCustomButtonEdit> FcButtonEditInfo;
