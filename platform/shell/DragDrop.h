#pragma once
// Drag and drop inside the program: data objects, drop sources and drop targets in the shape
// of the platform's OLE interfaces, the registration of a window's drop target, and
// DoDragDrop, which runs the drag as a mouse-capture loop over the program's own windows.
// Objects are shared_ptr; nothing counts references. The two shell transfer layouts are here
// too: "Shell IDList Array" (CIDA) and the file-drop list (DROPFILES, CF_HDROP).
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Interfaces.h"
#include "platform/os/Clipboard.h"
#include "platform/os/GlobalMemory.h"
#include "platform/os/Messages.h"
#include "platform/shell/Com.h"
#include "platform/shell/IdLists.h"

using CLIPFORMAT = WORD;

constexpr DWORD DVASPECT_CONTENT = 1;
constexpr DWORD TYMED_NULL = 0;
constexpr DWORD TYMED_HGLOBAL = 1;
constexpr DWORD DATADIR_GET = 1;
constexpr DWORD DATADIR_SET = 2;

struct DVTARGETDEVICE {
  DWORD tdSize;  // bytes of the whole description
};

struct FORMATETC {
  CLIPFORMAT cfFormat = 0;
  DVTARGETDEVICE* ptd = nullptr;
  DWORD dwAspect = DVASPECT_CONTENT;
  LONG lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};

struct STGMEDIUM {
  DWORD tymed = TYMED_NULL;
  HGLOBAL hGlobal = nullptr;
  void* pUnkForRelease = nullptr;  // nullptr: the receiver frees hGlobal
};
// Frees the medium's block (when it has no release object) and empties it.
void ReleaseStgMedium(STGMEDIUM* Medium);

constexpr HRESULT DV_E_FORMATETC = MakeResult(0x80040064u);
constexpr HRESULT DV_E_TYMED = MakeResult(0x80040069u);
constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = MakeResult(0x80040003u);
constexpr HRESULT DRAGDROP_E_NOTREGISTERED = MakeResult(0x80040100u);
constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = MakeResult(0x80040101u);
constexpr HRESULT DRAGDROP_E_INVALIDHWND = MakeResult(0x80040102u);
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;

constexpr DWORD DROPEFFECT_NONE = 0;
constexpr DWORD DROPEFFECT_COPY = 1;
constexpr DWORD DROPEFFECT_MOVE = 2;
constexpr DWORD DROPEFFECT_LINK = 4;
constexpr DWORD DROPEFFECT_SCROLL = 0x80000000u;

// Key states (grfKeyState) are the mouse messages' MK_* bits, with MK_ALT for the Alt key.
constexpr DWORD MK_ALT = 0x0020;

struct POINTL {
  LONG x = 0;
  LONG y = 0;
};

class IEnumFORMATETC : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{00000103-0000-0000-C000-000000000046}");
  virtual HRESULT Next(ULONG Count, FORMATETC* Formats, ULONG* Fetched) = 0;
  virtual HRESULT Skip(ULONG Count) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Copy) = 0;
};

class IDataObject : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{0000010E-0000-0000-C000-000000000046}");
  // A block the caller owns (ReleaseStgMedium) in *Medium.
  virtual HRESULT GetData(FORMATETC* Format, STGMEDIUM* Medium) = 0;
  virtual HRESULT GetDataHere(FORMATETC* Format, STGMEDIUM* Medium) = 0;
  virtual HRESULT QueryGetData(FORMATETC* Format) = 0;
  virtual HRESULT GetCanonicalFormatEtc(FORMATETC* In, FORMATETC* Out) = 0;
  virtual HRESULT SetData(FORMATETC* Format, STGMEDIUM* Medium, BOOL Release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Formats) = 0;
  virtual HRESULT DAdvise(FORMATETC* Format, DWORD Flags, void* Sink, DWORD* Connection) = 0;
  virtual HRESULT DUnadvise(DWORD Connection) = 0;
  virtual HRESULT EnumDAdvise(void** Advisers) = 0;
};

class IDropSource : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{00000121-0000-0000-C000-000000000046}");
  // S_OK to go on, DRAGDROP_S_DROP to drop, DRAGDROP_S_CANCEL to give up.
  virtual HRESULT QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) = 0;
  virtual HRESULT GiveFeedback(DWORD Effect) = 0;
};

class IDropTarget : public virtual IInterface {
 public:
  static constexpr TGUID IID = TGUID::Parse("{00000122-0000-0000-C000-000000000046}");
  // Point is in screen coordinates; *Effect holds the effects the source allows and gets the
  // one the target would carry out.
  virtual HRESULT DragEnter(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) = 0;
  virtual HRESULT DragOver(DWORD KeyState, POINTL Point, DWORD* Effect) = 0;
  virtual HRESULT DragLeave() = 0;
  virtual HRESULT Drop(IDataObject* Data, DWORD KeyState, POINTL Point, DWORD* Effect) = 0;
};

// Makes Target the drop target of Window (the registration holds it until revoked or the
// window is destroyed). DRAGDROP_E_INVALIDHWND for a window that does not exist,
// DRAGDROP_E_ALREADYREGISTERED when it has one.
HRESULT RegisterDragDrop(HWND Window, std::shared_ptr<IDropTarget> Target);
// DRAGDROP_E_NOTREGISTERED when the window has none.
HRESULT RevokeDragDrop(HWND Window);

// Runs a drag until the source drops or cancels: the mouse is captured, each mouse move asks
// the source whether to go on (Escape and the buttons' state), finds the window under the
// cursor and the nearest one (itself or a parent) with a drop target, and tells targets of
// entering, moving and leaving; a drop goes to the target under the cursor. *Effect gets the
// effect carried out (DROPEFFECT_NONE on cancel). Answers DRAGDROP_S_DROP, DRAGDROP_S_CANCEL
// or E_INVALIDARG (no data or source). Runs the calling thread's messages meanwhile.
HRESULT DoDragDrop(std::shared_ptr<IDataObject> Data, std::shared_ptr<IDropSource> Source, DWORD OkEffects,
                   DWORD* Effect);

namespace shell {

// The registered format of the id-list array.
UINT ShellIdListFormat();
inline constexpr const char* kShellIdListFormatName = "Shell IDList Array";
// "Preferred DropEffect": a DWORD the cut and copy verbs put on the clipboard.
UINT PreferredDropEffectFormat();

// A "Shell IDList Array" block: item count, count + 1 offsets, the parent's absolute list
// (nullptr: the empty list), then each item's relative list; nullptr when memory runs out.
HGLOBAL MakeIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items);
// The parent and items of such a block (copies, the caller frees them); false for a block
// that is not one (sizes or offsets outside it).
bool ReadIdListArray(HGLOBAL Block, TIdListPtr& Parent, std::vector<TIdListPtr>& Items);
// A file-drop block: the 20-byte header (names at offset 20, point (0, 0), not client-area,
// 8-bit names), each path ended by a zero, one zero more at the end; sized from the names.
HGLOBAL MakeFileDropList(const std::vector<std::string>& Paths);
// The paths of a file-drop block; empty for a block that is not one.
std::vector<std::string> ReadFileDropList(HGLOBAL Block);

// The drop target registered for a window, or nullptr.
std::shared_ptr<IDropTarget> RegisteredDropTarget(HWND Window);
// True while DoDragDrop runs.
bool DragInProgress();

}  // namespace shell

// The file-drop header, as it starts a CF_HDROP block.
struct DROPFILES {
  DWORD pFiles;  // offset of the names
  POINT pt;
  BOOL fNC;
  BOOL fWide;
};
static_assert(sizeof(DROPFILES) == 20);

// The id-list array header: the count, then cidl + 1 offsets (the parent's first).
struct CIDA {
  UINT cidl;
  UINT aoffset[1];
};
