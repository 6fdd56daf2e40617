#include "platform/shell/DragDrop.h"

#include <cstring>
#include <map>

#include "platform/os/Input.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"

namespace {

std::map<HWND, std::shared_ptr<IDropTarget>>& Targets() {
  static std::map<HWND, std::shared_ptr<IDropTarget>> targets;
  return targets;
}

// Forgets the targets of windows that were destroyed without revoking them.
void ForgetDeadWindows() {
  auto& targets = Targets();
  for (auto it = targets.begin(); it != targets.end();) it = IsWindow(it->first) ? std::next(it) : targets.erase(it);
}

bool gDragging = false;

DWORD KeyStateNow() {
  DWORD keys = 0;
  if (GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
  if (GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
  if (GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  if (GetKeyState(VK_MENU) < 0) keys |= MK_ALT;
  return keys;
}

// The drop target under a screen point: of the window there or its nearest parent with one.
HWND TargetWindowAt(TPoint Point) {
  for (HWND wnd = WindowFromPoint(Point); wnd; wnd = GetParent(wnd))
    if (Targets().count(wnd)) return wnd;
  return nullptr;
}

// One drag: the source, the data, the target under the cursor and the effect it answered.
class DragLoop {
 public:
  DragLoop(std::shared_ptr<IDataObject> Data, std::shared_ptr<IDropSource> Source, DWORD OkEffects)
      : FData(std::move(Data)), FSource(std::move(Source)), FOk(OkEffects) {}

  HRESULT Run(DWORD* Effect) {
    HWND capture = AllocateHWnd([](TMessage& Message) { Message.Result = 0; });
    SetCapture(capture);
    TPoint start;
    GetCursorPos(&start);
    DWORD keys = KeyStateNow();
    Track(start, keys);
    HRESULT result = S_OK;
    bool escape = false;
    MSG msg{};
    for (;;) {
      result = FSource->QueryContinueDrag(escape, keys);
      if (result != S_OK) break;
      if (!GetMessage(&msg, nullptr, 0, 0)) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        result = DRAGDROP_S_CANCEL;
        break;
      }
      if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) {
        keys = KeyStateNow();
        DWORD pos = GetMessagePos();
        TPoint at(static_cast<int16_t>(pos & 0xFFFF), static_cast<int16_t>(pos >> 16));
        if (msg.message == WM_MOUSEMOVE) Track(at, keys);
        FLast = at;
      } else if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP || msg.message == WM_SYSKEYDOWN ||
                 msg.message == WM_SYSKEYUP) {
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) escape = true;
        DWORD now = KeyStateNow();
        if (now != keys) {
          keys = now;
          Track(FLast, keys);
        }
      } else if (msg.message == WM_CAPTURECHANGED && reinterpret_cast<HWND>(msg.lParam) != capture) {
        result = DRAGDROP_S_CANCEL;
        break;
      } else {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    }
    DWORD effect = DROPEFFECT_NONE;
    if (result == DRAGDROP_S_DROP && FTarget) {
      effect = FEffect == DROPEFFECT_NONE ? DROPEFFECT_NONE : FOk;
      std::shared_ptr<IDropTarget> target = FTarget;
      if (effect == DROPEFFECT_NONE) {
        target->DragLeave();
      } else if (FAILED(target->Drop(FData.get(), keys, POINTL{FLast.X, FLast.Y}, &effect))) {
        effect = DROPEFFECT_NONE;
      }
    } else if (FTarget) {
      FTarget->DragLeave();
      if (result != DRAGDROP_S_DROP) result = DRAGDROP_S_CANCEL;
    }
    if (result != DRAGDROP_S_DROP && result != DRAGDROP_S_CANCEL && SUCCEEDED(result)) result = DRAGDROP_S_CANCEL;
    if (GetCapture() == capture) ReleaseCapture();
    DeallocateHWnd(capture);
    if (Effect) *Effect = result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
    return result;
  }

 private:
  // The cursor moved (or the keys changed): enter, move over or leave targets.
  void Track(TPoint At, DWORD Keys) {
    FLast = At;
    HWND wnd = TargetWindowAt(At);
    std::shared_ptr<IDropTarget> target = wnd ? Targets()[wnd] : nullptr;
    POINTL point{At.X, At.Y};
    DWORD effect = FOk;
    if (target != FTarget) {
      if (FTarget) FTarget->DragLeave();
      FTarget = target;
      if (FTarget && FAILED(FTarget->DragEnter(FData.get(), Keys, point, &effect))) effect = DROPEFFECT_NONE;
    } else if (FTarget && FAILED(FTarget->DragOver(Keys, point, &effect))) {
      effect = DROPEFFECT_NONE;
    }
    FEffect = FTarget ? (effect & (FOk | DROPEFFECT_SCROLL)) : DROPEFFECT_NONE;
    FSource->GiveFeedback(FEffect);
  }

  std::shared_ptr<IDataObject> FData;
  std::shared_ptr<IDropSource> FSource;
  DWORD FOk;
  std::shared_ptr<IDropTarget> FTarget;
  DWORD FEffect = DROPEFFECT_NONE;
  TPoint FLast;
};

template <class T>
T ReadAt(const BYTE* P, size_t At) {
  T value;
  std::memcpy(&value, P + At, sizeof value);
  return value;
}

// Locks a block for reading; empty for a handle that is none.
class LockedBlock {
 public:
  explicit LockedBlock(HGLOBAL Block) : FBlock(Block), FData(static_cast<const BYTE*>(GlobalLock(Block))) {
    if (FData) FSize = GlobalSize(Block);
  }
  ~LockedBlock() {
    if (FData) GlobalUnlock(FBlock);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  const BYTE* Data() const { return FData; }
  size_t Size() const { return FSize; }

 private:
  HGLOBAL FBlock;
  const BYTE* FData;
  size_t FSize = 0;
};

}  // namespace

void ReleaseStgMedium(STGMEDIUM* Medium) {
  if (!Medium) return;
  if (Medium->tymed == TYMED_HGLOBAL && Medium->hGlobal && !Medium->pUnkForRelease) GlobalFree(Medium->hGlobal);
  *Medium = STGMEDIUM{};
}

HRESULT RegisterDragDrop(HWND Window, std::shared_ptr<IDropTarget> Target) {
  if (!IsWindow(Window)) return DRAGDROP_E_INVALIDHWND;
  if (!Target) return E_INVALIDARG;
  ForgetDeadWindows();
  auto [it, added] = Targets().emplace(Window, std::move(Target));
  return added ? S_OK : DRAGDROP_E_ALREADYREGISTERED;
}

HRESULT RevokeDragDrop(HWND Window) {
  ForgetDeadWindows();
  return Targets().erase(Window) ? S_OK : DRAGDROP_E_NOTREGISTERED;
}

HRESULT DoDragDrop(std::shared_ptr<IDataObject> Data, std::shared_ptr<IDropSource> Source, DWORD OkEffects,
                   DWORD* Effect) {
  if (Effect) *Effect = DROPEFFECT_NONE;
  if (!Data || !Source) return E_INVALIDARG;
  if (gDragging) return E_UNEXPECTED;
  ForgetDeadWindows();
  gDragging = true;
  struct Done {
    ~Done() { gDragging = false; }
  } done;
  return DragLoop(std::move(Data), std::move(Source), OkEffects).Run(Effect);
}

namespace shell {

UINT ShellIdListFormat() {
  static const UINT format = RegisterClipboardFormat(kShellIdListFormatName);
  return format;
}

UINT PreferredDropEffectFormat() {
  static const UINT format = RegisterClipboardFormat("Preferred DropEffect");
  return format;
}

HGLOBAL MakeIdListArray(LPCITEMIDLIST Parent, const std::vector<LPCITEMIDLIST>& Items) {
  static const BYTE kEmpty[2] = {0, 0};
  LPCITEMIDLIST parent = Parent ? Parent : reinterpret_cast<LPCITEMIDLIST>(kEmpty);
  size_t header = 4 + 4 * (Items.size() + 1);
  size_t total = header + ILGetSize(parent);
  for (LPCITEMIDLIST item : Items) total += item ? ILGetSize(item) : 2;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
  if (!block) return nullptr;
  auto* out = static_cast<BYTE*>(GlobalLock(block));
  UINT count = static_cast<UINT>(Items.size());
  std::memcpy(out, &count, 4);
  size_t at = header;
  auto put = [&](size_t Slot, LPCITEMIDLIST List) {
    UINT offset = static_cast<UINT>(at);
    std::memcpy(out + 4 + 4 * Slot, &offset, 4);
    UINT size = List ? ILGetSize(List) : 2;
    if (List) std::memcpy(out + at, List, size);
    at += size;
  };
  put(0, parent);
  for (size_t i = 0; i < Items.size(); ++i) put(i + 1, Items[i]);
  GlobalUnlock(block);
  return block;
}

bool ReadIdListArray(HGLOBAL Block, TIdListPtr& Parent, std::vector<TIdListPtr>& Items) {
  Parent.reset();
  Items.clear();
  LockedBlock lock(Block);
  const BYTE* p = lock.Data();
  size_t size = lock.Size();
  if (!p || size < 8) return false;
  UINT count = ReadAt<UINT>(p, 0);
  if (count > (size - 8) / 4) return false;
  std::vector<TIdListPtr> lists;
  for (UINT i = 0; i <= count; ++i) {
    UINT offset = ReadAt<UINT>(p, 4 + 4 * i);
    if (offset >= size) return false;
    // The list runs to its terminator, which must lie inside the block.
    size_t end = offset;
    while (end + 2 <= size && ReadAt<WORD>(p, end) != 0) {
      WORD cb = ReadAt<WORD>(p, end);
      if (cb < 3) return false;
      end += cb;
    }
    if (end + 2 > size) return false;
    auto* copy = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(end + 2 - offset));
    if (!copy) return false;
    std::memcpy(copy, p + offset, end + 2 - offset);
    lists.emplace_back(copy);
  }
  Parent = std::move(lists[0]);
  for (UINT i = 1; i <= count; ++i) Items.push_back(std::move(lists[i]));
  return true;
}

HGLOBAL MakeFileDropList(const std::vector<std::string>& Paths) {
  size_t total = sizeof(DROPFILES) + 1;
  for (const std::string& path : Paths) total += path.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, total);
  if (!block) return nullptr;
  auto* out = static_cast<BYTE*>(GlobalLock(block));
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  std::memcpy(out, &header, sizeof header);
  size_t at = sizeof(DROPFILES);
  for (const std::string& path : Paths) {
    std::memcpy(out + at, path.data(), path.size());
    at += path.size() + 1;
  }
  GlobalUnlock(block);
  return block;
}

std::vector<std::string> ReadFileDropList(HGLOBAL Block) {
  LockedBlock lock(Block);
  const BYTE* p = lock.Data();
  size_t size = lock.Size();
  if (!p || size < sizeof(DROPFILES)) return {};
  DROPFILES header;
  std::memcpy(&header, p, sizeof header);
  if (header.fWide || header.pFiles < sizeof(DROPFILES) || header.pFiles >= size) return {};
  std::vector<std::string> paths;
  size_t at = header.pFiles;
  while (at < size && p[at] != 0) {
    const void* zero = std::memchr(p + at, 0, size - at);
    if (!zero) return {};
    size_t end = static_cast<const BYTE*>(zero) - p;
    paths.emplace_back(reinterpret_cast<const char*>(p + at), end - at);
    at = end + 1;
  }
  return paths;
}

std::shared_ptr<IDropTarget> RegisteredDropTarget(HWND Window) {
  ForgetDeadWindows();
  auto it = Targets().find(Window);
  return it == Targets().end() ? nullptr : it->second;
}

bool DragInProgress() { return gDragging; }

}  // namespace shell
