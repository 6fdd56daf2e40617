#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/classes/Resources.h"
#include "platform/gdi/CheckBoxSize.h"
#include "platform/gdi/Bmp.h"
#include "platform/gdi/Surface.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/graphics/PictureFiles.h"

namespace {

bool IsBitmapFile(const std::vector<uint8_t>& Bytes) {
  return Bytes.size() >= 2 && Bytes[0] == 'B' && Bytes[1] == 'M';
}

// A bitmap without its file header starts with the size of its header.
bool IsBareBitmap(const std::vector<uint8_t>& Bytes) {
  if (Bytes.size() < 4 || Bytes[1] || Bytes[2] || Bytes[3]) return false;
  for (int size : {12, 40, 52, 56, 108, 124})
    if (Bytes[0] == size) return true;
  return false;
}

// A monochrome mask of Bitmap: white where it has Color, black elsewhere.
HBITMAP MaskOf(HBITMAP Bitmap, COLORREF Color) {
  const uint32_t key = gdi::PixelOf(Color);
  const TSize size = graphics::BitmapSize(Bitmap);
  const std::vector<uint32_t> pixels = graphics::ReadPixels(Bitmap);
  std::vector<uint8_t> bits(pixels.size());
  std::transform(pixels.begin(), pixels.end(), bits.begin(),
                 [key](uint32_t p) { return ((p ^ key) & 0xFFFFFF) == 0 ? 1 : 0; });
  return graphics::CreateMaskBitmap(size.cx, size.cy, bits);
}

TPixelFormat FormatOfDepth(int Bits) {
  switch (Bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfCustom;
  }
}

// A picture of two colours, black and white, is kept as a monochrome bitmap.
bool IsBlackAndWhite(const gdi::TImage& Image) {
  if (Image.BitDepth != 1) return false;
  for (uint32_t c : Image.Palette)
    if ((c & 0xFFFFFF) != 0 && (c & 0xFFFFFF) != 0xFFFFFF) return false;
  return true;
}

// A copy of Source in a new bitmap of Width x Height (monochrome or colour), the shared part
// copied and the rest black.
HBITMAP CopyBitmap(HBITMAP Source, int Width, int Height, bool Mono) {
  graphics::TMemoryDC target(Width, Height, Mono);
  if (Mono) PatBlt(target.DC(), 0, 0, Width, Height, BLACKNESS);
  if (Source) {
    graphics::TSelectedBitmap source(Source);
    // Colour to monochrome: white stays white (the source's background colour), all else black.
    SetBkColor(source.DC(), RGB(255, 255, 255));
    SetTextColor(target.DC(), RGB(0, 0, 0));
    SetBkColor(target.DC(), RGB(255, 255, 255));
    const TSize size = graphics::BitmapSize(Source);
    BitBlt(target.DC(), 0, 0, std::min(Width, size.cx), std::min(Height, size.cy), source.DC(), 0, 0, SRCCOPY);
  }
  return target.Release();
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TTransparentMode) {
  static const classes::TEnumInfo info{"TTransparentMode", {"tmAuto", "tmFixed"}};
  return info;
}

// ---- TBitmapCanvas ----

void TBitmapCanvas::CreateHandle() {
  FBitmap->HandleNeeded();
  HDC dc = CreateCompatibleDC(nullptr);
  if (FBitmap->FHandle) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
  SetHandle(dc);
}

void TBitmapCanvas::FreeContext() {
  if (!HandleAllocated()) return;
  HDC dc = HandleValue();
  SetHandle(nullptr);
  if (FOldBitmap) SelectObject(dc, FOldBitmap);
  FOldBitmap = nullptr;
  DeleteDC(dc);
}

void TBitmapCanvas::Changing() {
  FBitmap->Changing();
  TCanvas::Changing();
}

void TBitmapCanvas::Changed() {
  TCanvas::Changed();
  FBitmap->Changed();
}

// ---- TBitmap ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeMask();
  if (FHandle) DeleteObject(FHandle);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeMask() {
  if (FMaskHandle) DeleteObject(FMaskHandle);
  FMaskHandle = nullptr;
}

void TBitmap::Changing() {
  FImage.clear();
  FreeMask();
}

void TBitmap::Replace(HBITMAP Handle, int AWidth, int AHeight, bool Mono, std::vector<uint8_t> FileData) {
  FreeContext();
  FreeMask();
  if (FHandle && FHandle != Handle) DeleteObject(FHandle);
  FHandle = Handle;
  FWidth = std::max(0, AWidth);
  FHeight = std::max(0, AHeight);
  FMonochrome = Mono;
  FImage = std::move(FileData);
}

void TBitmap::HandleNeeded() {
  if (FHandle || FImage.empty()) return;
  std::vector<uint8_t> data = std::move(FImage);
  LoadFromBytes(data);
}

HBITMAP TBitmap::Handle() {
  HandleNeeded();
  Changing();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  const TSize size = graphics::BitmapSize(Value);
  const bool mono = graphics::IsMonochrome(Value);
  Replace(size.cx > 0 && size.cy > 0 ? Value : nullptr, size.cx, size.cy, mono, {});
  if (!FHandle && Value) DeleteObject(Value);
  if (mono) FPixelFormat = pf1bit;
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  HandleNeeded();
  FreeContext();
  HBITMAP h = FHandle;
  FHandle = nullptr;
  Replace(nullptr, 0, 0, false, {});
  return h;
}

HBITMAP TBitmap::MaskHandle() {
  if (!FMaskHandle && !Empty()) {
    HandleNeeded();
    FMaskHandle = MaskOf(FHandle, ColorToRGB(TransparentColor()));
  }
  return FMaskHandle;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(0, AWidth);
  AHeight = std::max(0, AHeight);
  if (AWidth == FWidth && AHeight == FHeight) return;
  HandleNeeded();
  HBITMAP h = AWidth > 0 && AHeight > 0 ? CopyBitmap(FHandle, AWidth, AHeight, FMonochrome) : nullptr;
  FreeContext();
  Replace(h, AWidth, AHeight, FMonochrome, {});
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  FPixelFormat = Value;
  if ((Value == pf1bit) != FMonochrome)
    SetMonochrome(Value == pf1bit);
  else
    Changed();
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == FMonochrome) return;
  HandleNeeded();
  HBITMAP h = Empty() ? nullptr : CopyBitmap(FHandle, FWidth, FHeight, Value);
  FreeContext();
  Replace(h, FWidth, FHeight, Value, {});
  if (Value) FPixelFormat = pf1bit;
  else if (FPixelFormat == pf1bit) FPixelFormat = pfDevice;
  Changed();
}

TColor TBitmap::TransparentColor() {
  if (FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor));
  if (Empty()) return clDefault;
  if (FMonochrome) return clWhite;
  return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FreeMask();
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  SetTransparentColor(Value == tmAuto ? clDefault : TransparentColor());
}

void TBitmap::Mask(TColor ATransparentColor) {
  if (Empty()) return;
  HandleNeeded();
  Replace(MaskOf(FHandle, ColorToRGB(ATransparentColor)), FWidth, FHeight, true, {});
  FPixelFormat = pf1bit;
  Changed();
}

std::vector<uint8_t> TBitmap::FileData() {
  if (!FImage.empty() || Empty()) return FImage;
  const int bits = FMonochrome ? 1 : FPixelFormat == pf32bit ? 32 : 24;
  return graphics::EncodeBmp(graphics::ReadPixels(FHandle), FWidth, FHeight, bits);
}

void TBitmap::Dormant() {
  if (!FHandle) return;
  std::vector<uint8_t> data = FileData();
  FreeContext();
  FreeMask();
  DeleteObject(FHandle);
  FHandle = nullptr;
  FImage = std::move(data);
}

void TBitmap::FreeImage() {
  if (FHandle) FImage.clear();
}

void TBitmap::LoadFromImage(const gdi::TImage& Image) {
  gdi::CheckImageSize(Image.Width, Image.Height, "Bitmap");
  const bool mono = IsBlackAndWhite(Image);
  HBITMAP h = nullptr;
  if (Image.Width > 0 && Image.Height > 0) {
    if (mono) {
      std::vector<uint8_t> bits(Image.Pixels.size());
      std::transform(Image.Pixels.begin(), Image.Pixels.end(), bits.begin(),
                     [](uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF ? 1 : 0; });
      h = graphics::CreateMaskBitmap(Image.Width, Image.Height, bits);
    } else {
      uint32_t* bits = nullptr;
      h = graphics::CreateColorBitmap(Image.Width, Image.Height, &bits);
      std::memcpy(bits, Image.Pixels.data(), Image.Pixels.size() * sizeof(uint32_t));
    }
  }
  Replace(h, Image.Width, Image.Height, mono, {});
  FPixelFormat = FormatOfDepth(Image.BitDepth);
}

void TBitmap::LoadFromBytes(const std::vector<uint8_t>& Bytes) {
  if (Bytes.empty()) {
    Replace(nullptr, 0, 0, false, {});
    return;
  }
  // Bitmap resources may hold the bitmap without its file header.
  const gdi::TImage image =
      IsBareBitmap(Bytes) ? gdi::DecodeDib(Bytes.data(), Bytes.size()) : gdi::DecodeImage(Bytes);
  LoadFromImage(image);
  if (IsBitmapFile(Bytes)) FImage = Bytes;
}

void TBitmap::LoadFromStream(TStream* Stream) {
  LoadFromBytes(graphics::ReadRest(Stream));
  Changed();
}

void TBitmap::SaveToStream(TStream* Stream) {
  const std::vector<uint8_t> data = FileData();
  if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE, const std::string& ResName) {
  TResourceStream stream(ResName, RT_BITMAP);
  LoadFromStream(&stream);
}

void TBitmap::ReadData(TStream* Stream) {
  LoadFromBytes(graphics::ReadSizedBlock(Stream));
  Changed();
}

void TBitmap::WriteData(TStream* Stream) { graphics::WriteSizedBlock(Stream, FileData()); }

void TBitmap::Assign(TPersistent* Source) {
  if (Source == this) return;
  if (Source == nullptr) {
    Replace(nullptr, 0, 0, false, {});
    FPixelFormat = pfDevice;
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<TBitmap*>(Source)) {
    HBITMAP copy =
        bitmap->FHandle ? reinterpret_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(bitmap->FHandle), IMAGE_BITMAP, 0, 0, 0)) : nullptr;
    Replace(copy, bitmap->FWidth, bitmap->FHeight, bitmap->FMonochrome, bitmap->FImage);
    FPixelFormat = bitmap->FPixelFormat;
    FTransparentColor = bitmap->FTransparentColor;
    FTransparentMode = bitmap->FTransparentMode;
    TGraphic::SetTransparent(bitmap->Transparent());
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    Replace(nullptr, 0, 0, false, {});
    FPixelFormat = pfDevice;
    SetSize(graphic->Width(), graphic->Height());
    if (!Empty()) {
      Canvas()->Brush()->SetColor(clWhite);
      Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
      Canvas()->Draw(0, 0, graphic);
    }
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

bool TBitmap::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TBitmap*>(Graphic);
  if (!other) return false;
  if (other == this) return true;
  if (other->FWidth != FWidth || other->FHeight != FHeight || other->FMonochrome != FMonochrome) return false;
  if (Empty()) return true;
  HandleNeeded();
  other->HandleNeeded();
  return graphics::ReadPixels(FHandle) == graphics::ReadPixels(other->FHandle);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HandleNeeded();
  HDC dest = ACanvas->ReadyHandle();
  HDC src = Canvas()->ReadyHandle();
  if (Transparent()) {
    TransparentBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
                   ColorToRGB(TransparentColor()));
    return;
  }
  const int oldMode = SetStretchBltMode(dest, FMonochrome ? BLACKONWHITE : COLORONCOLOR);
  StretchBlt(dest, Rect.Left, Rect.Top, Rect.Width(), Rect.Height(), src, 0, 0, FWidth, FHeight,
             ACanvas->CopyMode());
  SetStretchBltMode(dest, oldMode);
}

TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor) {
  static std::mutex lock;
  static std::map<std::pair<TColor, TColor>, std::unique_ptr<TBitmap>> patterns;
  std::lock_guard<std::mutex> guard(lock);
  std::unique_ptr<TBitmap>& slot = patterns[{BkColor, FgColor}];
  if (!slot) {
    auto bitmap = std::make_unique<TBitmap>(8, 8);
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(BkColor);
    canvas->FillRect({0, 0, 8, 8});
    for (int y = 0; y < 8; ++y)
      for (int x = y % 2; x < 8; x += 2) canvas->SetPixels(x, y, FgColor);
    slot = std::move(bitmap);
  }
  return slot.get();
}

namespace {

HBITMAP SystemCheckBoxes() {
  constexpr int kSide = FrameCheckBoxSize;
  graphics::TMemoryDC dc(4 * kSide, 3 * kSide);
  const UINT kinds[] = {DFCS_BUTTONCHECK, DFCS_BUTTONRADIO, DFCS_BUTTONCHECK | DFCS_BUTTON3STATE};
  const UINT states[] = {0, DFCS_CHECKED, DFCS_PUSHED, DFCS_PUSHED | DFCS_CHECKED};
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) {
      TRect r{col * kSide, row * kSide, (col + 1) * kSide, (row + 1) * kSide};
      DrawFrameControl(dc.DC(), &r, DFC_BUTTON, kinds[row] | states[col]);
    }
  return dc.Release();
}

}  // namespace

HBITMAP LoadBitmap(HINSTANCE Instance, const char* Name) {
  if (!Name) return nullptr;
  // A number given as a name (MAKEINTRESOURCE) fits in the low 16 bits of the pointer.
  if ((reinterpret_cast<uintptr_t>(Name) >> 16) == 0) {
    const int id = static_cast<int>(reinterpret_cast<uintptr_t>(Name));
    if (!Instance && id == OBM_CHECKBOXES) return SystemCheckBoxes();
    return nullptr;
  }
  if (!FindResourceData(Name, RT_BITMAP)) return nullptr;
  try {
    TBitmap bitmap;
    bitmap.LoadFromResourceName(Instance, Name);
    return bitmap.ReleaseHandle();
  } catch (const Exception&) {
    return nullptr;
  }
}
