#pragma once
// The presenter of a program without a display: the windows' surfaces stay in memory, and it
// keeps what a screen would show (which windows are shown where, the cursor, the capture, the
// beeps) for whoever asks. Snapshots give any window's pixels as they are after the painting
// that is due, as a surface or a PNG; the screen snapshot composes the shown top-level windows
// over the desktop colour.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/os/Presenter.h"

namespace backends {

class THeadlessPresenter : public os::TPresenter {
 public:
  // Installs itself as the presenter (the constructing thread receives the input) and takes
  // itself out again when destroyed.
  THeadlessPresenter();
  ~THeadlessPresenter() override;
  THeadlessPresenter(const THeadlessPresenter&) = delete;
  THeadlessPresenter& operator=(const THeadlessPresenter&) = delete;

  void WindowCreated(HWND Wnd) override;
  void WindowDestroyed(HWND Wnd) override;
  void WindowShown(HWND Wnd, bool Activate) override;
  void WindowHidden(HWND Wnd) override;
  void WindowMoved(HWND Wnd, const TRect& WindowRect) override;
  void Present(HWND Wnd, gdi::TSurface& Surface) override;
  void CaptureChanged(HWND Capture) override;
  void CursorChanged(HCURSOR Cursor) override;
  void Beep(UINT Type) override;

  // A window's pixels (frame included) once the painting due in its top-level window is done;
  // a child's are cut from its top-level window's surface. Empty for a window that is gone.
  gdi::TSurface Snapshot(HWND Wnd);
  std::vector<uint8_t> SnapshotPng(HWND Wnd);
  // Writes the snapshot as a PNG file (EInOutError when it cannot be written).
  void SaveSnapshot(HWND Wnd, const std::string& Path);
  // The screen as a user would see it: the shown top-level windows (their regions honoured)
  // over the desktop colour, the lowest first.
  gdi::TSurface ScreenSnapshot();

  // What the screen shows.
  bool IsShown(HWND Wnd) const;
  // Where the presenter was last told the window is (screen coordinates).
  TRect PlaceOf(HWND Wnd) const;
  // How often new pixels of the window were shown.
  int PresentCount(HWND Wnd) const;
  HWND Capture() const { return FCapture; }
  HCURSOR Cursor() const { return FCursor; }
  const std::vector<UINT>& Beeps() const { return FBeeps; }

 private:
  struct TShown {
    bool Visible = false;
    bool Activated = false;
    TRect Place;
    int Presents = 0;
  };
  std::map<HWND, TShown> FWindows;
  HWND FCapture = nullptr;
  HCURSOR FCursor = nullptr;
  std::vector<UINT> FBeeps;
};

}  // namespace backends
