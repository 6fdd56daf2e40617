#pragma once
// TIcon: an icon (or cursor) picture, drawn through its mask so the background shows around
// it. Loading an icon file takes the picture nearest the size asked for (32 × 32 unless
// Width and Height were set on the empty icon); saving writes the file it was loaded from,
// or a file of the one picture an icon made from a handle has.
#include <string>
#include <vector>

#include "platform/graphics/Graphic.h"

class TIcon : public TGraphic {
 public:
  TIcon();
  ~TIcon() override;

  // The icon object (null for an empty icon).
  HICON Handle() const { return FHandle; }
  // Takes an icon object (owned from now on); nil empties the icon.
  void SetHandle(HICON Value);
  // Gives the icon object away (the caller destroys it); the icon is empty afterwards.
  HICON ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }

  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override;
  int Height() const override;
  // On an empty icon: the size the next load picks its picture by. A loaded icon cannot be
  // resized (EInvalidGraphicOperation).
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  // Icons are always drawn through their mask.
  bool Transparent() const override { return true; }

  // Icon and cursor files; EInvalidGraphic for anything else.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // An icon built into the program (a .ico file under resources/); EResNotFound when there
  // is none. Instance is accepted for the platform's sake.
  void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);

  // From another icon (a copy) or nil (empty).
  void Assign(TPersistent* Source) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void Replace(HICON Handle, std::vector<uint8_t> FileData);
  HICON FHandle = nullptr;
  std::vector<uint8_t> FData;  // the file the icon was loaded from
  TSize FSize;
  int FRequestedWidth = 0;
  int FRequestedHeight = 0;
};

namespace graphics {

// An icon object from a decoded icon or cursor picture (its mask, or its alpha where it has
// no mask).
HICON CreateIconFromImage(const gdi::TImage& Image, bool IsIcon);

}  // namespace graphics
