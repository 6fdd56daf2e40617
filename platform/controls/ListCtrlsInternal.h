#pragma once
// What the list box and the combo box share inside platform/controls (not for other folders):
// the handling of the window-class messages both answer alike.
#include <functional>
#include <string>

#include "platform/controls/ListCtrls.h"

namespace controls {

WPARAM ControlId(HWND Wnd);
int WheelScrollLines();
// The row height a font gives a list: its character height.
int FontRowHeight(TFont* Font);
// The type-ahead buffer: characters typed within the pause build a prefix; the same character
// typed again moves on to the next item beginning with it.
int TypeAhead(const TStrings& Items, std::string& Buffer, LONG& Last, char32_t Key, int Current);
// WM_PAINT of a list or combo: into the DC in wParam, else between BeginPaint and EndPaint.
void PaintMessage(HWND Wnd, TMessage& M, const std::function<void(HDC)>& Paint);
// LB_GETTEXT / CB_GETLBTEXT: the text into the caller's buffer, with its length.
LRESULT CopyItemText(const TStrings& Items, int Index, LPARAM Buffer);
// CN_DRAWITEM of a list or combo: the canvas gets the control's font and brush (the selection
// colours for a selected item), Draw draws the item (nothing is left to draw for no item but
// the background) and the focus rectangle follows.
void DrawItemMessage(TCanvas& Canvas, TWinControl* Control, TMessage& M,
                     const std::function<void(int, TRect, TOwnerDrawState)>& Draw);
// The default look of an owner-drawn item: its text on the canvas's brush.
void DrawItemText(TCanvas& Canvas, const TStrings& Items, int Index, const TRect& Rect);
// CN_MEASUREITEM: Height starts as the fixed height; Measure changes it for variable rows.
void MeasureItemMessage(TMessage& M, int Height, bool Variable, const std::function<void(int, int&)>& Measure);
// CN_DELETEITEM for an item that carries an object.
void SendDeleteItem(TWinControl* Target, HWND Wnd, int Index, UINT CtlType, TObject* Object);

}  // namespace controls
