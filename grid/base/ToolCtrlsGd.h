#pragma once
// Painting of the small buttons and check boxes that editors and grid cells show: the kinds of
// button face, the check-box painter with its default size and placement in a cell, and the
// shared cache that paints each distinct face once into a bitmap and then only copies it.
// Linux has no visual styles: every face is drawn in the classic look.
#include <memory>
#include <vector>

#include "platform/classes/Alignment.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdLabels.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"

// The buttons an editor can show at its right edge.
enum TEditButtonStyleGd { ebsDropDownGd, ebsEllipsisGd, ebsGlyphGd, ebsUpDownGd, ebsPlusGd, ebsMinusGd };

// The painter of a button face.
enum TEditButtonPainterKind { bpkDropDown = 0, bpkEllipsis = 1, bpkUpDown = 2, bpkCheckBox = 3, bpkPlus = 4, bpkMinus = 5 };

// The painter of each style (the glyph style is never painted through it).
inline constexpr TEditButtonPainterKind EditButtonStyleToPainterKind[] = {bpkDropDown, bpkEllipsis, bpkUpDown,
                                                                          bpkUpDown,   bpkPlus,     bpkMinus};

// Check states of the check-box painter.
constexpr int CheckStateUnchecked = 0;
constexpr int CheckStateChecked = 1;
constexpr int CheckStateGrayed = 2;

// Paints one button face or check box into Rect. Color is the background around it (the flat
// frame). CheckState (0 unchecked, 1 checked, 2 grayed) is the check-box painter's only.
// PressedPart: 0 none, 1 the whole button (or the upper half of an up/down one), 2 the lower
// half. Only the check-box painter draws so far; the other kinds leave Rect as it is.
void PaintEditButtonImage(HDC DC, TRect Rect, TColor Color, int CheckState, bool Enabled, bool Active, bool Flat,
                          int PressedPart, TEditButtonPainterKind PainterKind);

// A check box of the smaller side of Rect, centred in it, in the classic look: pushed when
// Pressed, inactive when not Enabled; Flat draws a one-pixel frame (button face when Active,
// else button shadow) in place of the sunken 3D edge.
void DrawCheckBoxGlyph(HDC DC, const TRect& Rect, int CheckState, bool Enabled, bool Pressed, bool Active, bool Flat);

// The default check-box size: a quarter of the width and a third of the height of the system
// check-box picture, which holds 4 x 3 images; read on first use.
int CheckBoxImageWidth();
int CheckBoxImageHeight();

// A rectangle of the default check-box size (each side at most the cell's) placed in CellRect:
// right, centred or left; centred, at the bottom or at the top.
TRect PlaceCheckBoxRect(const TRect& CellRect, TAlignment Alignment, TTextLayout Layout);

// The height of a button from its width: Width * 3 / 2 rounded (ties to even) when Flat.
int EditButtonHeightFor(int Width, bool Flat);
// Two thirds of the screen font's character height, rounded (ties to even), made odd, and at
// most the width of a vertical scroll bar.
int DefaultFlatButtonWidth();
// DefaultFlatButtonWidth, computed once.
int DefaultFlatButtonWidthValue();

// What tells one painted face from another.
struct TButtonBitmapKeyGd {
  int Width = 0;  // negative sizes are kept as 0
  int Height = 0;
  TEditButtonPainterKind Kind = bpkDropDown;
  bool Flat = false;
  bool Pressed = false;
  bool Active = false;
  bool Enabled = false;
  int Half = 0;        // up/down painter: 0 upper, 1 lower
  int CheckState = 0;  // check-box painter
  bool operator==(const TButtonBitmapKeyGd&) const = default;
};

// One painted face: its key and a bitmap of exactly the key's size.
struct TButtonBitmapInfoBitmapGd {
  TButtonBitmapKeyGd Key;
  std::unique_ptr<TBitmap> Bitmap;
};

// The faces painted so far; never evicts, emptied by Clear.
class TButtonsBitmapCache {
 public:
  // The bitmap of Key's face, painted into (0, 0, Width, Height) on first use.
  TBitmap* GetButtonBitmap(TButtonBitmapKeyGd Key);
  void Clear();
  int Count() const { return static_cast<int>(FEntries.size()); }

 private:
  std::vector<TButtonBitmapInfoBitmapGd> FEntries;
};

// The one cache of the program, and whether painting goes through it.
TButtonsBitmapCache& ButtonBitmapCache();
extern bool UseButtonBitmapCache;
// Frees every cached face (the look changed: colours or theme).
void FlushButtonBitmapCache();

// The tool-tip window of grid cells and editors: it shows a hint in the font of the text it
// reveals. The hint's data is that font (a TFont*, or none for the hint font); the text is
// always drawn in the window-text colour.
class TToolTipsWindow : public THintWindow {
 public:
  using THintWindow::THintWindow;
  // Makes one: the kind a control names in its hint's HintWindowClass.
  static THintWindow* Make(TComponent* Owner) { return new TToolTipsWindow(Owner); }
  TRect CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) override;
};
