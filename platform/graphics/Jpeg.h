#pragma once
// TJPEGImage: a JPEG picture as it was stored (saving writes the same bytes), drawn through
// the bitmap it decodes to. Pictures are only read: a JPEG image is made by loading one.
#include <memory>
#include <vector>

#include "platform/graphics/Bitmap.h"

class TJPEGImage : public TGraphic {
 public:
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override { return FData.empty(); }
  int Width() const override { return FBitmap ? FBitmap->Width() : 0; }
  int Height() const override { return FBitmap ? FBitmap->Height() : 0; }
  // The size is the picture's (EInvalidGraphicOperation).
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;

  // JPEG data; damaged or truncated data raises EInvalidGraphic and leaves the image as it was.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

  // From another JPEG image or nil (empty).
  void Assign(TPersistent* Source) override;

 protected:
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Window definitions: the length of the data (4 bytes), then the data.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;

 private:
  void LoadFromBytes(std::vector<uint8_t> Bytes);
  std::vector<uint8_t> FData;
  std::unique_ptr<TBitmap> FBitmap;  // the decoded picture
};
