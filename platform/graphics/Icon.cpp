#include "platform/graphics/Icon.h"

#include <cstring>

#include "platform/classes/Resources.h"
#include "platform/gdi/Icon.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/graphics/PictureFiles.h"

namespace graphics {

HICON CreateIconFromImage(const gdi::TImage& Image, bool IsIcon) {
  if (Image.Width <= 0 || Image.Height <= 0) return nullptr;
  const size_t count = static_cast<size_t>(Image.Width) * Image.Height;
  std::vector<uint8_t> mask(count);
  for (size_t i = 0; i < count; ++i)
    mask[i] = Image.Mask.size() == count ? Image.Mask[i] : (Image.Pixels[i] >> 24) == 0 ? 1 : 0;
  uint32_t* bits = nullptr;
  ICONINFO info;
  info.fIcon = IsIcon ? TRUE : FALSE;
  info.xHotspot = static_cast<DWORD>(Image.HotSpot.X);
  info.yHotspot = static_cast<DWORD>(Image.HotSpot.Y);
  info.hbmColor = CreateColorBitmap(Image.Width, Image.Height, &bits);
  std::memcpy(bits, Image.Pixels.data(), count * sizeof(uint32_t));
  info.hbmMask = CreateMaskBitmap(Image.Width, Image.Height, mask);
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return icon;
}

}  // namespace graphics

namespace {

TSize IconSize(HICON Icon) {
  ICONINFO info;
  if (!Icon || !GetIconInfo(Icon, &info)) return {};
  TSize size = graphics::BitmapSize(info.hbmColor);
  if (!info.hbmColor) {
    size = graphics::BitmapSize(info.hbmMask);
    size.cy /= 2;  // a monochrome icon keeps both halves in its mask
  }
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return size;
}

// An icon file of the one picture of Icon.
std::vector<uint8_t> IconFile(HICON Icon) {
  ICONINFO info;
  if (!GetIconInfo(Icon, &info)) return {};
  const TSize size = IconSize(Icon);
  std::vector<uint32_t> mask = graphics::ReadPixels(info.hbmMask);
  std::vector<uint32_t> colors =
      info.hbmColor ? graphics::ReadPixels(info.hbmColor)
                    : std::vector<uint32_t>(mask.begin() + static_cast<ptrdiff_t>(mask.size() / 2), mask.end());
  mask.resize(colors.size());
  std::vector<uint8_t> bits(mask.size());
  for (size_t i = 0; i < mask.size(); ++i) bits[i] = (mask[i] & 0xFFFFFF) == 0xFFFFFF ? 1 : 0;
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return graphics::EncodeIcon(colors, bits, size.cx, size.cy);
}

}  // namespace

TIcon::TIcon() = default;

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::Replace(HICON Handle, std::vector<uint8_t> FileData) {
  if (FHandle && FHandle != Handle) DestroyIcon(FHandle);
  FHandle = Handle;
  FData = std::move(FileData);
  FSize = IconSize(FHandle);
}

void TIcon::SetHandle(HICON Value) {
  if (Value == FHandle) return;
  Replace(Value, {});
  Changed();
}

HICON TIcon::ReleaseHandle() {
  HICON h = FHandle;
  FHandle = nullptr;
  FData.clear();
  FSize = {};
  return h;
}

int TIcon::Width() const { return FHandle ? FSize.cx : FRequestedWidth; }
int TIcon::Height() const { return FHandle ? FSize.cy : FRequestedHeight; }

void TIcon::SetWidth(int Value) {
  if (FHandle) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  FRequestedWidth = Value;
}

void TIcon::SetHeight(int Value) {
  if (FHandle) throw EInvalidGraphicOperation("Cannot change the size of an icon");
  FRequestedHeight = Value;
}

void TIcon::LoadFromStream(TStream* Stream) {
  std::vector<uint8_t> bytes = graphics::ReadRest(Stream);
  const gdi::TIconDirectory dir = gdi::ReadIconDirectory(bytes.data(), bytes.size());
  const int w = FRequestedWidth > 0 ? FRequestedWidth : 32, h = FRequestedHeight > 0 ? FRequestedHeight : 32;
  const gdi::TImage image = gdi::DecodeIconEntry(bytes.data(), bytes.size(), gdi::ChooseIconEntry(dir, w, h));
  HICON icon = graphics::CreateIconFromImage(image, !dir.IsCursor);
  if (!icon) throw EInvalidGraphic("Icon image is not valid");
  Replace(icon, std::move(bytes));
  Changed();
}

void TIcon::SaveToStream(TStream* Stream) {
  const std::vector<uint8_t> data = !FData.empty() ? FData : FHandle ? IconFile(FHandle) : std::vector<uint8_t>();
  if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

void TIcon::LoadFromResourceName(HINSTANCE, const std::string& ResName) {
  TResourceStream stream(ResName, RT_ICON);
  LoadFromStream(&stream);
}

void TIcon::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Replace(nullptr, {});
    Changed();
    return;
  }
  if (auto* icon = dynamic_cast<TIcon*>(Source)) {
    Replace(icon->FHandle ? CopyIcon(icon->FHandle) : nullptr, icon->FData);
    FRequestedWidth = icon->FRequestedWidth;
    FRequestedHeight = icon->FRequestedHeight;
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FHandle) return;
  DrawIconEx(ACanvas->ReadyHandle(), Rect.Left, Rect.Top, FHandle, Rect.Width(), Rect.Height(), 0, nullptr, DI_NORMAL);
}

static const classes::TPublished<TIcon, TGraphic> IconInfo;
