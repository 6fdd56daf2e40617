#pragma once
// TBitmap: a picture of pixels with a canvas to draw on it. The pixels live in a GDI bitmap
// (32-bit colour, or monochrome), made on first use from the file data the bitmap was loaded
// from; the bitmap keeps that data until its pixels change, so saving an unchanged picture
// writes the same bytes. Dormant gives the GDI bitmap back and keeps the picture as file data
// only; FreeImage drops the file data and keeps the GDI bitmap: either way the picture stays.
#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

// The depth a bitmap is stored with (read from its file, written to it): pf1bit and pf32bit
// write 1 and 32 bits a pixel, the others 24; pfDevice is a new bitmap's.
enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
// tmAuto takes the bottom-left pixel as the transparent colour, tmFixed the colour set.
enum TTransparentMode { tmAuto, tmFixed };
const classes::TEnumInfo& EnumInfo(TTransparentMode);

class TBitmapCanvas;

class TBitmap : public TGraphic {
 public:
  TBitmap();
  TBitmap(int AWidth, int AHeight);
  ~TBitmap() override;

  // Drawing on the canvas changes the bitmap (OnChange is raised after every drawing call).
  TCanvas* Canvas();
  // The GDI bitmap (null for an empty bitmap). A program may draw into it, so the kept file
  // data is dropped.
  HBITMAP Handle();
  // Takes a GDI bitmap (owned from now on); nil empties the bitmap.
  void SetHandle(HBITMAP Value);
  // Gives the GDI bitmap away (the caller frees it); the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // A monochrome mask of the bitmap, white where it has TransparentColor (owned by the bitmap,
  // valid until it changes).
  HBITMAP MaskHandle();

  bool Empty() const override { return FWidth <= 0 || FHeight <= 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // A new size keeps the pixels the old and new sizes share; new pixels are black.
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight) override;

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // pf1bit makes the bitmap monochrome, any other format colour.
  void SetPixelFormat(TPixelFormat Value);
  bool Monochrome() const { return FMonochrome; }
  // Colour to monochrome: white pixels stay white, every other becomes black.
  void SetMonochrome(bool Value);

  // The colour left out when the bitmap is drawn transparently: with tmAuto the bottom-left
  // pixel (white for a monochrome bitmap), with tmFixed the colour set. clDefault for an
  // empty bitmap in tmAuto.
  TColor TransparentColor();
  // A colour fixes the mode at tmFixed; clDefault returns to tmAuto.
  void SetTransparentColor(TColor Value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);
  // Turns the bitmap into its mask: white where it had TransparentColor, black elsewhere.
  void Mask(TColor ATransparentColor);

  void Dormant();
  void FreeImage();

  // Bitmap files of any depth (and PNG pictures); EInvalidGraphic for anything else.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // A bitmap built into the program (a .bmp file under resources/); EResNotFound when there
  // is none. Instance is accepted for the platform's sake: all resources are the program's.
  void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
  // Any decoded picture (what the other graphics hand over).
  void LoadFromImage(const gdi::TImage& Image);

  // From another bitmap (a copy), nil (empty), or any graphic (drawn onto a bitmap of its size).
  void Assign(TPersistent* Source) override;
  bool Equals(TGraphic* Graphic) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Window definitions: the length of the bitmap file (4 bytes), then the file.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  friend class TBitmapCanvas;
  // Makes the GDI bitmap from the kept file data when there is none.
  void HandleNeeded();
  // The pixels are about to change: the kept file data and the mask no longer hold.
  void Changing();
  // The canvas lets go of its DC (the GDI bitmap is about to be replaced or freed).
  void FreeContext();
  // Replaces the GDI bitmap (the old one is freed) and the kept file data.
  void Replace(HBITMAP Handle, int AWidth, int AHeight, bool Mono, std::vector<uint8_t> FileData);
  void LoadFromBytes(const std::vector<uint8_t>& Bytes);
  std::vector<uint8_t> FileData();
  void FreeMask();

  HBITMAP FHandle = nullptr;
  HBITMAP FMaskHandle = nullptr;
  std::vector<uint8_t> FImage;  // the picture as a bitmap file, while it holds
  int FWidth = 0;
  int FHeight = 0;
  bool FMonochrome = false;
  TPixelFormat FPixelFormat = pfDevice;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

// The canvas of a bitmap: its DC is a memory DC with the bitmap selected, made on first use
// and given back when the bitmap's GDI bitmap is replaced.
class TBitmapCanvas : public TCanvas {
 public:
  explicit TBitmapCanvas(TBitmap* Bitmap) : FBitmap(Bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();

 protected:
  void CreateHandle() override;
  void Changing() override;
  void Changed() override;

 private:
  TBitmap* FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

// The shared 8×8 pattern bitmap of alternating pixels: FgColor where X and Y are both even or
// both odd ((0, 0) among them), BkColor elsewhere. One bitmap per colour pair, kept by the
// layer for the program's life (callers never free it); a pattern brush made from its handle
// draws the dotted look of ghost lines and focus bars.
TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor);

// The system's check-box picture: 4 x 3 images of 13 x 13 pixels. Row 0 check boxes
// (unchecked, checked, pushed unchecked, pushed checked), row 1 radio buttons, row 2 the
// three-state boxes, in the same order.
constexpr int OBM_CHECKBOXES = 32759;
// A system bitmap (Instance nullptr and MAKEINTRESOURCE(OBM_CHECKBOXES)), else the bitmap
// built into the program under Name; nullptr when there is none or its data is damaged. The
// caller frees it (DeleteObject).
HBITMAP LoadBitmap(HINSTANCE Instance, const char* Name);
