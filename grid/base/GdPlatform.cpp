#include "grid/base/GdPlatform.h"

#include "platform/classes/TypeInfo.h"
#include "platform/controls/StdCtrls.h"
#include "platform/data/DataLink.h"
#include "platform/os/Cursors.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/Strings.h"

namespace {

// The first Count bytes of Text (all of it for a negative Count).
std::string Part(const std::string& Text, int Count) {
  return Count < 0 || static_cast<size_t>(Count) >= Text.size() ? Text : Text.substr(0, static_cast<size_t>(Count));
}

}  // namespace

int DrawTextOfString(HDC DC, const std::string& Text, int Count, TRect* Rect, UINT Format) {
  return DrawText(DC, Part(Text, Count), Rect, Format);
}

int DrawTextExOfString(HDC DC, const std::string& Text, int Count, TRect* Rect, UINT Format,
                       const DRAWTEXTPARAMS* Params) {
  std::string text = Part(Text, Count);
  if (!Params) return DrawTextEx(DC, &text, Rect, Format, nullptr);
  DRAWTEXTPARAMS copy = *Params;
  return DrawTextEx(DC, &text, Rect, Format, &copy);
}

BOOL ExtTextOutOfString(HDC DC, int X, int Y, UINT Options, const TRect* Clip, const std::string& Text, int Count) {
  return ExtTextOut(DC, X, Y, Options, Clip, Part(Text, Count), nullptr);
}

UINT QueryOutlineTextMetrics(HDC DC, UINT Size, OUTLINETEXTMETRIC* Metrics) {
  return GetOutlineTextMetrics(DC, Size, Metrics);
}

LRESULT SendMessagePtr(HWND Wnd, UINT Msg, WPARAM WParam, const void* LParam) {
  return SendMessage(Wnd, Msg, WParam, reinterpret_cast<LPARAM>(LParam));
}

LRESULT SendMessageText(HWND Wnd, UINT Msg, WPARAM WParam, const std::string& Text) {
  return SendMessage(Wnd, Msg, WParam, reinterpret_cast<LPARAM>(Text.c_str()));
}

BOOL QuerySystemParameter(UINT Action, UINT Param, void* Value, UINT WinIni) {
  return SystemParametersInfo(Action, Param, Value, WinIni);
}

BOOL InvalidateWindowRect(HWND Wnd, const TRect* Rect, BOOL Erase) { return InvalidateRect(Wnd, Rect, Erase); }

BOOL ValidateWindowRect(HWND Wnd, const TRect* Rect) { return ValidateRect(Wnd, Rect); }

int ScrollWindowArea(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip, HRGN Update, UINT Flags) {
  return ScrollWindowEx(Wnd, DX, DY, Scroll, Clip, Update, nullptr, Flags);
}

LPARAM SmallPointToLParam(TPoint Point) { return MAKELPARAM(Point.X, Point.Y); }

void RectLogicalToDevice(HDC DC, TRect& Rect) {
  TPoint corners[2] = {{Rect.Left, Rect.Top}, {Rect.Right, Rect.Bottom}};
  LPtoDP(DC, corners, 2);
  Rect = TRect{corners[0].X, corners[0].Y, corners[1].X, corners[1].Y};
}

HRGN MakePolygonRegion(const TPoint* Points, int Count, int FillMode) { return CreatePolygonRgn(Points, Count, FillMode); }

LRESULT QueryEditSelection(HWND Wnd, int* Start, int* End) {
  return SendMessage(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(Start), reinterpret_cast<LPARAM>(End));
}

std::string UpperCaseText(const std::string& Text) { return AnsiUpperCase(Text); }

std::string LowerCaseText(const std::string& Text) { return AnsiLowerCase(Text); }

int CompareStrCase(const std::string& S1, const std::string& S2) { return AnsiCompareStr(S1, S2); }

int CompareTextNoCase(const std::string& S1, const std::string& S2) { return AnsiCompareText(S1, S2); }

void LoadBitmapFromResource(TBitmap* Bitmap, HINSTANCE Instance, const std::string& Name) {
  Bitmap->LoadFromResourceName(Instance, Name);
}

HCURSOR LoadCursorFromResource(HINSTANCE Instance, const std::string& Name) {
  HCURSOR cursor = LoadCursor(Instance, Name.c_str());
  if (!cursor) throw EOutOfResources("Cannot load cursor resource");
  return cursor;
}

HBITMAP LoadSystemBitmap(HINSTANCE Instance, const char* Name) { return LoadBitmap(Instance, Name); }

void ResizeVarArray(Variant& Array, int HighBound) { VarArrayRedim(Array, HighBound); }

TRect ZeroRect() { return TRect{0, 0, 0, 0}; }

int CompareDataSetBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2) {
  return DataSet->CompareBookmarks(Bookmark1, Bookmark2);
}

TDataSet* DataSetFromSourceProp(TDataSet* DataSet, const std::string& PropName) {
  if (!DataSet) return nullptr;
  try {
    const classes::TClassInfo* info = classes::ClassInfoOf(DataSet);
    const classes::TPropInfo* prop = info ? info->FindProperty(PropName) : nullptr;
    if (!prop || !prop->GetObj ||
        (prop->Kind != classes::TPropKind::Object && prop->Kind != classes::TPropKind::Component))
      return nullptr;
    auto* source = dynamic_cast<TDataSource*>(prop->GetObj(DataSet));
    return source ? source->DataSet() : nullptr;
  } catch (...) {
    // A property that fails to read points nowhere.
    return nullptr;
  }
}

void TMemoryStreamGd::SetHalfGrowthStep(int Value) {
  if (Value < 1) throw EStreamError("The growth step of a memory stream must be positive");
  FHalfGrowthStep = Value;
}

void* TMemoryStreamGd::Realloc(int64_t& NewCapacity) {
  // Rounded by division: clearing the low bits is right only for a power-of-two step.
  const int64_t step = 2 * static_cast<int64_t>(FHalfGrowthStep);
  if (NewCapacity > 0 && NewCapacity != Size()) NewCapacity = (NewCapacity + step - 1) / step * step;
  return ReallocBlock(NewCapacity);
}
