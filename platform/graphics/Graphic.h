#pragma once
// TGraphic, the base of the picture classes (bitmap, icon, JPEG image), and TPicture, which
// holds one graphic of any of these classes, told apart by the content of the file or stream
// it is loaded from. Window definitions store a picture as its `Data`: the graphic's class
// name (one length byte, then the name) followed by the graphic's own data.
#include <memory>
#include <string>

#include "platform/classes/Filer.h"
#include "platform/classes/Streams.h"
#include "platform/gdi/Image.h"

class TCanvas;
class TBitmap;
class TIcon;

// An operation a graphic cannot do ("Cannot change the size of an icon").
class EInvalidGraphicOperation : public Exception { public: using Exception::Exception; };

class TGraphic : public TPersistent {
 public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;

  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual void SetSize(int AWidth, int AHeight);
  // Drawn leaving out its transparent parts.
  virtual bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  // Set by every change; cleared by the program.
  bool Modified() const { return FModified; }
  void SetModified(bool Value);

  // Files and streams in the graphic's own format; a picture that cannot be read raises
  // EInvalidGraphic and leaves the graphic as it was.
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  // True when both graphics are of one class and hold the same picture.
  virtual bool Equals(TGraphic* Graphic);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  friend class TPicture;
  friend class TJPEGImage;  // draws through the bitmap it decodes to
  // Draws the graphic stretched into Rect of the canvas.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  // Marks the graphic modified and raises OnChange.
  virtual void Changed();
  // The `Data` block of window definitions: ReadData and WriteData default to the stream format.
  void DefineProperties(TFiler* Filer) override;
  virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
  virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }

 private:
  bool FTransparent = false;
  bool FModified = false;
};

class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The graphic held (nil when empty). SetGraphic keeps a copy of Value.
  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap or an icon; asking for one when the picture holds something
  // else replaces it by an empty one.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* Value);
  TIcon* Icon();
  void SetIcon(TIcon* Value);
  int Width() const;
  int Height() const;

  // Any supported picture, by its content: bitmap files and PNG pictures become a TBitmap,
  // icons and cursors a TIcon, JPEG pictures a TJPEGImage. EInvalidGraphic for anything else
  // (the picture is then unchanged).
  void LoadFromFile(const std::string& FileName);
  void LoadFromStream(TStream* Stream);
  // The graphic in its own format (nothing for an empty picture).
  void SaveToFile(const std::string& FileName);
  void SaveToStream(TStream* Stream);

  // From another picture, a graphic (copied) or nil (empty).
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

 protected:
  void AssignTo(TPersistent* Dest) override;
  void DefineProperties(TFiler* Filer) override;
  virtual void Changed();

 private:
  template <class G>
  G* GraphicAs();
  void Take(std::unique_ptr<TGraphic> Graphic);
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  std::unique_ptr<TGraphic> FGraphic;
};

namespace graphics {

// A new, empty graphic of the class that reads Data (by its first bytes), or null.
std::unique_ptr<TGraphic> GraphicForContent(const uint8_t* Data, size_t Size);
// A new, empty graphic of a class named in picture data ("TBitmap"), or null.
std::unique_ptr<TGraphic> GraphicForClassName(const std::string& Name);
// The rest of Stream from its position.
std::vector<uint8_t> ReadRest(TStream* Stream);
// Reads a block of data that starts with its length (4 bytes), as bitmaps and JPEG images
// store themselves in window definitions.
std::vector<uint8_t> ReadSizedBlock(TStream* Stream);
void WriteSizedBlock(TStream* Stream, const std::vector<uint8_t>& Data);

}  // namespace graphics
