#pragma once
// The grid library's calls of the window manager, GDI and run-time services in one place:
// typed, string-friendly routines that pass their arguments on unchanged and answer the
// platform's result; the bookmark comparison and the master-source lookup that several units
// share; and TMemoryStreamGd, a memory stream whose growth step can be set.
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/classes/Streams.h"
#include "platform/data/DataSet.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/os/Messages.h"
#include "platform/rtl/Variant.h"

// ---- text ----
// Count is a length in bytes of Text, or -1 for the whole text.
int DrawTextOfString(HDC DC, const std::string& Text, int Count, TRect* Rect, UINT Format);
// Draws with a copy of Params (the caller's record is not changed).
int DrawTextExOfString(HDC DC, const std::string& Text, int Count, TRect* Rect, UINT Format,
                       const DRAWTEXTPARAMS* Params);
BOOL ExtTextOutOfString(HDC DC, int X, int Y, UINT Options, const TRect* Clip, const std::string& Text, int Count);
UINT QueryOutlineTextMetrics(HDC DC, UINT Size, OUTLINETEXTMETRIC* Metrics);

// ---- windows and messages ----
LRESULT SendMessagePtr(HWND Wnd, UINT Msg, WPARAM WParam, const void* LParam);
LRESULT SendMessageText(HWND Wnd, UINT Msg, WPARAM WParam, const std::string& Text);
BOOL QuerySystemParameter(UINT Action, UINT Param, void* Value, UINT WinIni);
BOOL InvalidateWindowRect(HWND Wnd, const TRect* Rect, BOOL Erase);
BOOL ValidateWindowRect(HWND Wnd, const TRect* Rect);
int ScrollWindowArea(HWND Wnd, int DX, int DY, const TRect* Scroll, const TRect* Clip, HRGN Update, UINT Flags);
// A message seen through one of the typed views of the same four words (TWMMouse, TWMKey...).
template <class TView>
TView CopyMessageRecord(const TMessage& Message) {
  static_assert(sizeof(TView) == sizeof(TMessage), "a view of a message has the message's size");
  TView view;
  std::memcpy(static_cast<void*>(&view), &Message, sizeof(TMessage));
  return view;
}
// A point as the lParam of a mouse message: x in the low, y in the high 16 bits.
LPARAM SmallPointToLParam(TPoint Point);
// Both corners of Rect from logical to device coordinates.
void RectLogicalToDevice(HDC DC, TRect& Rect);
HRGN MakePolygonRegion(const TPoint* Points, int Count, int FillMode);
// EM_GETSEL into Start and End (either may be null).
LRESULT QueryEditSelection(HWND Wnd, int* Start, int* End);

// ---- strings ----
std::string UpperCaseText(const std::string& Text);
std::string LowerCaseText(const std::string& Text);
// Negative, zero or positive, by the locale's collation.
int CompareStrCase(const std::string& S1, const std::string& S2);
int CompareTextNoCase(const std::string& S1, const std::string& S2);

// ---- resources and variants ----
// Loads the program's bitmap resource Name into Bitmap; raises EResNotFound when there is none.
void LoadBitmapFromResource(TBitmap* Bitmap, HINSTANCE Instance, const std::string& Name);
// The program's cursor resource Name (a .cur file under resources/, see LoadCursor); raises
// EOutOfResources "Cannot load cursor resource" when there is none or it cannot be read.
HCURSOR LoadCursorFromResource(HINSTANCE Instance, const std::string& Name);
// LoadBitmap: a system bitmap (Instance nullptr and an OBM_ number, OBM_CHECKBOXES) or a
// bitmap resource of the program; nullptr when there is none. The caller frees it.
HBITMAP LoadSystemBitmap(HINSTANCE Instance, const char* Name);
// Changes the high bound of a one-dimensional variant array, keeping its elements.
void ResizeVarArray(Variant& Array, int HighBound);
TRect ZeroRect();

// ---- data sets ----
// The data set's own order of two of its bookmarks: negative when Bookmark1's record comes
// first, zero for the same record.
int CompareDataSetBookmarks(TDataSet* DataSet, const TBookmark& Bookmark1, const TBookmark& Bookmark2);
// The data set that DataSet's data-source property PropName (a published TDataSource
// reference, such as "MasterSource") points to; nullptr when there is no such property, it
// holds nothing or something else, or reading it fails. Never raises.
TDataSet* DataSetFromSourceProp(TDataSet* DataSet, const std::string& PropName);

// A memory stream growing in steps of 2 x HalfGrowthStep bytes.
class TMemoryStreamGd : public TMemoryStream {
 public:
  int HalfGrowthStep() const { return FHalfGrowthStep; }
  // Raises EStreamError for a step below 1.
  void SetHalfGrowthStep(int Value);

 protected:
  // Rounds a capacity other than the current size up to the next multiple of the step (any
  // step, not only powers of two); 0 frees the block.
  void* Realloc(int64_t& NewCapacity) override;

 private:
  int FHalfGrowthStep = 4096;
};
