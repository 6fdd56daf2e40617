#pragma once
// The classic look of menus: measuring and painting a pop-up menu (a raised frame in the menu
// colour, items with a check-mark column, the caption with its access key underlined, the
// shortcut text right-aligned, a submenu arrow, etched separators; the selected item in the
// highlight colours, disabled items embossed in grey) and a menu bar (items side by side, the
// open one drawn pushed). Fonts are the menu font of the non-client metrics (bold for the
// default item).
#include <vector>

#include "platform/rtl/Types.h"

namespace os {

// Where the items of a pop-up menu lie in its window (client coordinates) and how large the
// window is.
struct TPopupLayout {
  TSize Size;
  std::vector<TRect> Items;
  int CheckWidth = 0;  // the check-mark (or bitmap) column at the left of each item
  int ArrowWidth = 0;  // the submenu-arrow column at the right
};
TPopupLayout MeasurePopupMenu(HMENU Menu);
// Paints the whole menu, its selected item (TMenuRecord::Selected) highlighted.
void PaintPopupMenu(HDC DC, HMENU Menu, const TPopupLayout& Layout);

// The items of a menu bar drawn in Bar (window coordinates of its window).
std::vector<TRect> MeasureMenuBar(HMENU Menu, const TRect& Bar);
// Paints the bar; the item at position Pushed (-1: none) is drawn pushed.
void PaintMenuBar(HDC DC, HMENU Menu, const TRect& Bar, int Pushed);

}  // namespace os
