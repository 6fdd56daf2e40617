#include "platform/graphics/ImageLists.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>

#include "platform/gdi/Bmp.h"
#include "platform/gdi/Surface.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/graphics/PictureFiles.h"

namespace {

constexpr uint32_t kBlackPixel = 0xFF000000u;
constexpr uint32_t kWhitePixel = 0xFFFFFFFFu;
constexpr int kOverlays = 15;
constexpr int kStreamColumns = 4;

// One picture: Width x Height pixels (0xAARRGGBB, rows from the top) and, in a masked list,
// one byte a pixel that is 1 where the background shows through.
struct TPicture {
  std::vector<uint32_t> Pixels;
  std::vector<uint8_t> Mask;
  bool HasAlpha = false;
};

struct TList {
  int Width = 16;
  int Height = 16;
  UINT Flags = ILC_MASK;
  int Grow = 4;
  COLORREF BkColor = CLR_NONE;
  std::vector<TPicture> Pictures;
  std::array<int, kOverlays> Overlays;
  TList() { Overlays.fill(-1); }
  bool Masked() const { return (Flags & ILC_MASK) != 0; }
  bool KeepsAlpha() const { return (Flags & 0xFE) == ILC_COLOR32; }
  bool Valid(int Index) const { return Index >= 0 && Index < static_cast<int>(Pictures.size()); }
};

struct TTable {
  std::unordered_map<HIMAGELIST, std::unique_ptr<TList>> Lists;
  uintptr_t Next = 0x1000;
};

TTable& Table() {
  static TTable table;
  return table;
}

TList* Find(HIMAGELIST List) {
  auto it = Table().Lists.find(List);
  return it == Table().Lists.end() ? nullptr : it->second.get();
}

HIMAGELIST Add(std::unique_ptr<TList> List) {
  TTable& t = Table();
  auto handle = reinterpret_cast<HIMAGELIST>(t.Next);
  t.Next += 4;
  t.Lists.emplace(handle, std::move(List));
  return handle;
}

bool SameColor(uint32_t Pixel, COLORREF Color) { return ((Pixel ^ gdi::PixelOf(Color)) & 0xFFFFFF) == 0; }

uint32_t Mix(uint32_t Under, uint32_t Over, uint32_t Alpha) {
  uint32_t out = kBlackPixel;
  for (int shift = 0; shift < 24; shift += 8) {
    const uint32_t u = (Under >> shift) & 0xFF, o = (Over >> shift) & 0xFF;
    out |= ((o * Alpha + u * (255 - Alpha) + 127) / 255) << shift;
  }
  return out;
}

// Fills in how a picture's alpha is used: per pixel in lists that keep alpha and for pictures
// that have some (some pixels opaque, others not); everything else is made opaque.
void SettleAlpha(const TList& List, TPicture& P) {
  bool opaque = false, clear = false;
  for (uint32_t p : P.Pixels) {
    opaque |= (p >> 24) != 0;
    clear |= (p >> 24) != 0xFF;
  }
  P.HasAlpha = List.KeepsAlpha() && opaque && clear;
  if (!P.HasAlpha)
    for (uint32_t& p : P.Pixels) p |= kBlackPixel;
  if (List.Masked() && P.Mask.empty()) {
    P.Mask.assign(P.Pixels.size(), 0);
    if (P.HasAlpha)
      for (size_t i = 0; i < P.Pixels.size(); ++i) P.Mask[i] = (P.Pixels[i] >> 24) == 0;
  }
  if (!List.Masked()) P.Mask.clear();
}

// Cuts a strip of W x H pixels into pictures of the list's size; MaskBits (may be empty)
// has one byte a pixel.
std::vector<TPicture> Cut(const TList& List, const std::vector<uint32_t>& Pixels, const std::vector<uint8_t>& MaskBits,
                          int W, int H, int Columns, int Count) {
  std::vector<TPicture> out;
  for (int i = 0; i < Count; ++i) {
    const int left = (i % Columns) * List.Width, top = (i / Columns) * List.Height;
    TPicture p;
    p.Pixels.resize(static_cast<size_t>(List.Width) * List.Height);
    if (!MaskBits.empty()) p.Mask.resize(p.Pixels.size());
    for (int y = 0; y < List.Height; ++y)
      for (int x = 0; x < List.Width; ++x) {
        const size_t from = static_cast<size_t>(top + y) * W + (left + x), to = static_cast<size_t>(y) * List.Width + x;
        const bool inside = left + x < W && top + y < H;
        p.Pixels[to] = inside ? Pixels[from] : kBlackPixel;
        if (!MaskBits.empty()) p.Mask[to] = inside ? MaskBits[from] : 1;
      }
    SettleAlpha(List, p);
    out.push_back(std::move(p));
  }
  return out;
}

std::vector<uint8_t> WhiteBits(const std::vector<uint32_t>& Pixels) {
  std::vector<uint8_t> bits(Pixels.size());
  std::transform(Pixels.begin(), Pixels.end(), bits.begin(),
                 [](uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF ? 1 : 0; });
  return bits;
}

// The pictures of a bitmap strip (none when it is smaller than one picture).
std::vector<TPicture> PicturesOf(const TList& List, HBITMAP Image, HBITMAP Mask) {
  const TSize size = graphics::BitmapSize(Image);
  const int count = size.cy >= List.Height ? size.cx / List.Width : 0;
  if (count <= 0) return {};
  std::vector<uint8_t> mask;
  if (List.Masked()) {
    mask.assign(static_cast<size_t>(size.cx) * size.cy, 0);
    const TSize maskSize = graphics::BitmapSize(Mask);
    if (maskSize.cx > 0) {
      const std::vector<uint8_t> bits = WhiteBits(graphics::ReadPixels(Mask));
      for (int y = 0; y < std::min(size.cy, maskSize.cy); ++y)
        for (int x = 0; x < std::min(size.cx, maskSize.cx); ++x)
          mask[static_cast<size_t>(y) * size.cx + x] = bits[static_cast<size_t>(y) * maskSize.cx + x];
    }
  }
  return Cut(List, graphics::ReadPixels(Image), mask, size.cx, size.cy, count, count);
}

// An icon's picture at the list's size (nearest pixel).
bool PictureOfIcon(const TList& List, HICON Icon, TPicture& Out) {
  ICONINFO info;
  if (!GetIconInfo(Icon, &info)) return false;
  std::vector<uint32_t> mask = graphics::ReadPixels(info.hbmMask);
  TSize size = graphics::BitmapSize(info.hbmMask);
  std::vector<uint32_t> colors;
  if (info.hbmColor) {
    colors = graphics::ReadPixels(info.hbmColor);
  } else {  // monochrome: the AND half above the XOR half
    size.cy /= 2;
    colors.assign(mask.begin() + static_cast<ptrdiff_t>(mask.size() / 2), mask.end());
    mask.resize(mask.size() / 2);
  }
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (size.cx <= 0 || size.cy <= 0) return false;
  const size_t n = static_cast<size_t>(List.Width) * List.Height;
  Out.Pixels.resize(n);
  Out.Mask.resize(n);
  for (int y = 0; y < List.Height; ++y)
    for (int x = 0; x < List.Width; ++x) {
      const size_t from = static_cast<size_t>(y * size.cy / List.Height) * size.cx + x * size.cx / List.Width;
      Out.Pixels[static_cast<size_t>(y) * List.Width + x] = colors[from];
      Out.Mask[static_cast<size_t>(y) * List.Width + x] = (mask[from] & 0xFFFFFF) == 0xFFFFFF;
    }
  SettleAlpha(List, Out);
  return true;
}

bool Masked(const TPicture& P, size_t I) { return !P.Mask.empty() && P.Mask[I]; }

// Puts picture P over the pixels of Target (Width x Height of the picture's top-left part).
void Compose(const TList& List, const TPicture& P, graphics::TMemoryDC& Target, COLORREF Background,
             COLORREF Foreground, UINT Style) {
  const bool blend = (Style & (ILD_BLEND25 | ILD_BLEND50)) && Foreground != CLR_NONE;
  const uint32_t fg = gdi::PixelOf(Foreground == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : Foreground);
  const uint32_t weight = (Style & ILD_BLEND50) ? 128 : 64;
  const bool paintBack = Background != CLR_NONE && !(Style & ILD_TRANSPARENT);
  const uint32_t bk = gdi::PixelOf(Background);
  for (int y = 0; y < Target.Height(); ++y) {
    uint32_t* row = Target.Row(y);
    for (int x = 0; x < Target.Width(); ++x) {
      const size_t i = static_cast<size_t>(y) * List.Width + x;
      if (Style & ILD_MASK) {
        row[x] = Masked(P, i) ? kWhitePixel : kBlackPixel;
        continue;
      }
      const bool image = (Style & ILD_IMAGE) != 0;
      const uint32_t under = paintBack ? bk : row[x];
      if (!image && Masked(P, i)) {
        row[x] = under;
        continue;
      }
      uint32_t color = P.Pixels[i] | kBlackPixel;
      if (blend) color = Mix(color, fg, weight);
      const uint32_t alpha = P.HasAlpha && !image ? P.Pixels[i] >> 24 : 255;
      row[x] = alpha == 255 ? color : Mix(under, color, alpha);
    }
  }
}

// The picture drawn over the main one for the overlay in Style (null for none).
const TPicture* OverlayOf(const TList& List, UINT Style) {
  const int overlay = static_cast<int>((Style & ILD_OVERLAYMASK) >> 8);
  if (overlay < 1 || overlay > kOverlays) return nullptr;
  const int index = List.Overlays[static_cast<size_t>(overlay - 1)];
  return List.Valid(index) ? &List.Pictures[static_cast<size_t>(index)] : nullptr;
}

}  // namespace

HIMAGELIST ImageList_Create(int Width, int Height, UINT Flags, int Initial, int Grow) {
  if (Width <= 0 || Height <= 0 || Width > gdi::kMaxImageSide || Height > gdi::kMaxImageSide) return nullptr;
  auto list = std::make_unique<TList>();
  list->Width = Width;
  list->Height = Height;
  list->Flags = Flags;
  list->Grow = std::max(1, Grow);
  list->Pictures.reserve(static_cast<size_t>(std::max(0, std::min(Initial, 1024))));
  return Add(std::move(list));
}

BOOL ImageList_Destroy(HIMAGELIST List) { return Table().Lists.erase(List) ? TRUE : FALSE; }

HIMAGELIST ImageList_Duplicate(HIMAGELIST List) {
  TList* l = Find(List);
  return l ? Add(std::make_unique<TList>(*l)) : nullptr;
}

int ImageList_GetImageCount(HIMAGELIST List) {
  TList* l = Find(List);
  return l ? static_cast<int>(l->Pictures.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST List, int* Width, int* Height) {
  TList* l = Find(List);
  if (!l || !Width || !Height) return FALSE;
  *Width = l->Width;
  *Height = l->Height;
  return TRUE;
}

BOOL ImageList_SetIconSize(HIMAGELIST List, int Width, int Height) {
  TList* l = Find(List);
  if (!l || Width <= 0 || Height <= 0 || Width > gdi::kMaxImageSide || Height > gdi::kMaxImageSide) return FALSE;
  l->Width = Width;
  l->Height = Height;
  l->Pictures.clear();
  l->Overlays.fill(-1);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST List, COLORREF Color) {
  TList* l = Find(List);
  if (!l) return CLR_NONE;
  return std::exchange(l->BkColor, Color == CLR_NONE ? CLR_NONE : Color & 0xFFFFFF);
}

COLORREF ImageList_GetBkColor(HIMAGELIST List) {
  TList* l = Find(List);
  return l ? l->BkColor : CLR_NONE;
}

int ImageList_Add(HIMAGELIST List, HBITMAP Image, HBITMAP Mask) {
  TList* l = Find(List);
  if (!l) return -1;
  std::vector<TPicture> pictures = PicturesOf(*l, Image, Mask);
  if (pictures.empty()) return -1;
  const int first = static_cast<int>(l->Pictures.size());
  for (TPicture& p : pictures) l->Pictures.push_back(std::move(p));
  return first;
}

int ImageList_AddMasked(HIMAGELIST List, HBITMAP Image, COLORREF Mask) {
  TList* l = Find(List);
  if (!l) return -1;
  std::vector<TPicture> pictures = PicturesOf(*l, Image, nullptr);
  if (pictures.empty()) return -1;
  if (l->Masked())
    for (TPicture& p : pictures)
      for (size_t i = 0; i < p.Pixels.size(); ++i)
        if (SameColor(p.Pixels[i], Mask)) {
          p.Mask[i] = 1;
          p.Pixels[i] = kBlackPixel;
        }
  const int first = static_cast<int>(l->Pictures.size());
  for (TPicture& p : pictures) l->Pictures.push_back(std::move(p));
  return first;
}

int ImageList_ReplaceIcon(HIMAGELIST List, int Index, HICON Icon) {
  TList* l = Find(List);
  if (!l || (Index != -1 && !l->Valid(Index))) return -1;
  TPicture p;
  if (!PictureOfIcon(*l, Icon, p)) return -1;
  if (Index == -1) {
    l->Pictures.push_back(std::move(p));
    return static_cast<int>(l->Pictures.size()) - 1;
  }
  l->Pictures[static_cast<size_t>(Index)] = std::move(p);
  return Index;
}

BOOL ImageList_Replace(HIMAGELIST List, int Index, HBITMAP Image, HBITMAP Mask) {
  TList* l = Find(List);
  if (!l || !l->Valid(Index)) return FALSE;
  std::vector<TPicture> pictures = PicturesOf(*l, Image, Mask);
  if (pictures.empty()) return FALSE;
  l->Pictures[static_cast<size_t>(Index)] = std::move(pictures.front());
  return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST List, int Index) {
  TList* l = Find(List);
  if (!l || (Index != -1 && !l->Valid(Index))) return FALSE;
  if (Index == -1) {
    l->Pictures.clear();
    l->Overlays.fill(-1);
    return TRUE;
  }
  l->Pictures.erase(l->Pictures.begin() + Index);
  for (int& o : l->Overlays)
    if (o == Index) o = -1;
    else if (o > Index) --o;
  return TRUE;
}

BOOL ImageList_SetOverlayImage(HIMAGELIST List, int Image, int Overlay) {
  TList* l = Find(List);
  if (!l || Overlay < 1 || Overlay > kOverlays || !l->Valid(Image)) return FALSE;
  l->Overlays[static_cast<size_t>(Overlay - 1)] = Image;
  return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style) {
  return ImageList_DrawEx(List, Index, DC, X, Y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, Style);
}

BOOL ImageList_DrawEx(HIMAGELIST List, int Index, HDC DC, int X, int Y, int Width, int Height, COLORREF Background,
                      COLORREF Foreground, UINT Style) {
  TList* l = Find(List);
  if (!l || !l->Valid(Index) || GetObjectType(DC) == 0) return FALSE;
  const int w = Width > 0 ? std::min(Width, l->Width) : l->Width;
  const int h = Height > 0 ? std::min(Height, l->Height) : l->Height;
  const COLORREF bk = Background == CLR_DEFAULT ? l->BkColor : Background;
  graphics::TMemoryDC work(w, h);
  BitBlt(work.DC(), 0, 0, w, h, DC, X, Y, SRCCOPY);
  Compose(*l, l->Pictures[static_cast<size_t>(Index)], work, bk, Foreground, Style);
  if (const TPicture* overlay = OverlayOf(*l, Style); overlay && !(Style & ILD_MASK))
    Compose(*l, *overlay, work, CLR_NONE, CLR_NONE, ILD_TRANSPARENT);
  BitBlt(DC, X, Y, w, h, work.DC(), 0, 0, SRCCOPY);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST List, int Index, UINT) {
  TList* l = Find(List);
  if (!l || !l->Valid(Index)) return nullptr;
  const TPicture& p = l->Pictures[static_cast<size_t>(Index)];
  std::vector<uint8_t> mask(p.Pixels.size(), 0);
  for (size_t i = 0; i < mask.size(); ++i) mask[i] = Masked(p, i) || (p.HasAlpha && (p.Pixels[i] >> 24) == 0);
  uint32_t* bits = nullptr;
  ICONINFO info;
  info.hbmColor = graphics::CreateColorBitmap(l->Width, l->Height, &bits);
  for (size_t i = 0; i < p.Pixels.size(); ++i) bits[i] = mask[i] && !p.HasAlpha ? kBlackPixel : p.Pixels[i];
  info.hbmMask = graphics::CreateMaskBitmap(l->Width, l->Height, mask);
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return icon;
}

namespace graphics {

BOOL MoveImage(HIMAGELIST List, int From, int To) {
  TList* l = Find(List);
  if (!l || !l->Valid(From) || !l->Valid(To)) return FALSE;
  auto& p = l->Pictures;
  if (From < To)
    std::rotate(p.begin() + From, p.begin() + From + 1, p.begin() + To + 1);
  else
    std::rotate(p.begin() + To, p.begin() + From, p.begin() + From + 1);
  for (int& o : l->Overlays) {
    if (o == From) o = To;
    else if (From < To && o > From && o <= To) --o;
    else if (To < From && o >= To && o < From) ++o;
  }
  return TRUE;
}

BOOL DrawImageDisabled(HIMAGELIST List, int Index, HDC DC, int X, int Y, UINT Style) {
  TList* l = Find(List);
  if (!l || !l->Valid(Index) || GetObjectType(DC) == 0) return FALSE;
  // The ink: the opaque pixels of the picture and its overlay that are not white.
  std::vector<uint8_t> ink(static_cast<size_t>(l->Width) * l->Height, 0);
  auto addInk = [&](const TPicture& p) {
    for (size_t i = 0; i < ink.size(); ++i) {
      const bool opaque = !Masked(p, i) && (!p.HasAlpha || (p.Pixels[i] >> 24) >= 128);
      if (opaque) ink[i] = (p.Pixels[i] & 0xFFFFFF) != 0xFFFFFF;
    }
  };
  addInk(l->Pictures[static_cast<size_t>(Index)]);
  if (const TPicture* overlay = OverlayOf(*l, Style)) addInk(*overlay);
  const int w = l->Width + 1, h = l->Height + 1;
  graphics::TMemoryDC work(w, h);
  BitBlt(work.DC(), 0, 0, w, h, DC, X, Y, SRCCOPY);
  const uint32_t highlight = gdi::PixelOf(GetSysColor(COLOR_BTNHIGHLIGHT));
  const uint32_t shadow = gdi::PixelOf(GetSysColor(COLOR_BTNSHADOW));
  for (int pass = 0; pass < 2; ++pass) {
    const int offset = pass == 0 ? 1 : 0;
    for (int y = 0; y < l->Height; ++y)
      for (int x = 0; x < l->Width; ++x)
        if (ink[static_cast<size_t>(y) * l->Width + x]) work.Row(y + offset)[x + offset] = pass == 0 ? highlight : shadow;
  }
  BitBlt(DC, X, Y, w, h, work.DC(), 0, 0, SRCCOPY);
  return TRUE;
}

namespace {

void Put16(std::vector<uint8_t>& Out, uint32_t V) {
  Out.push_back(static_cast<uint8_t>(V));
  Out.push_back(static_cast<uint8_t>(V >> 8));
}

uint32_t Get16(const uint8_t* P) { return P[0] | (P[1] << 8); }
uint32_t Get32(const uint8_t* P) { return Get16(P) | (Get16(P + 2) << 16); }

[[noreturn]] void BadStream(const std::string& What) { throw EReadError("Invalid image list data: " + What); }

// The bitmap file at Data (its length from its header, else all of Size).
gdi::TImage ReadBitmapFile(const uint8_t* Data, size_t Size, size_t& Used) {
  if (Size < 14 || Data[0] != 'B' || Data[1] != 'M') BadStream("bitmap expected");
  const size_t declared = Get32(Data + 2);
  Used = declared >= 14 && declared <= Size ? declared : Size;
  try {
    return gdi::DecodeBmp(Data, Used);
  } catch (const EInvalidGraphic& e) {
    BadStream(e.Message());
  }
}

}  // namespace

void WriteImageList(HIMAGELIST List, TStream* Stream) {
  TList* l = Find(List);
  if (!l) throw EWriteError("Invalid image list");
  const int count = static_cast<int>(l->Pictures.size());
  const int rows = std::max(1, (count + kStreamColumns - 1) / kStreamColumns);
  std::vector<uint8_t> out;
  Put16(out, 0x4C49);  // "IL"
  Put16(out, 0x0101);
  Put16(out, static_cast<uint32_t>(count));
  Put16(out, static_cast<uint32_t>(rows * kStreamColumns));
  Put16(out, static_cast<uint32_t>(l->Grow));
  Put16(out, static_cast<uint32_t>(l->Width));
  Put16(out, static_cast<uint32_t>(l->Height));
  Put16(out, l->BkColor & 0xFFFF);
  Put16(out, l->BkColor >> 16);
  Put16(out, l->Flags);
  for (int i = 0; i < 4; ++i) Put16(out, static_cast<uint32_t>(static_cast<int16_t>(l->Overlays[static_cast<size_t>(i)])));
  // The pictures, four a row; the mask white where transparent (and in unused cells).
  const int w = l->Width * kStreamColumns, h = l->Height * rows;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, kBlackPixel), mask(pixels.size(), kWhitePixel);
  for (int i = 0; i < count; ++i) {
    const TPicture& p = l->Pictures[static_cast<size_t>(i)];
    const int left = (i % kStreamColumns) * l->Width, top = (i / kStreamColumns) * l->Height;
    for (int y = 0; y < l->Height; ++y)
      for (int x = 0; x < l->Width; ++x) {
        const size_t from = static_cast<size_t>(y) * l->Width + x, to = static_cast<size_t>(top + y) * w + left + x;
        pixels[to] = Masked(p, from) ? kBlackPixel : p.Pixels[from];
        mask[to] = Masked(p, from) ? kWhitePixel : kBlackPixel;
      }
  }
  const std::vector<uint8_t> image = EncodeBmp(pixels, w, h, l->KeepsAlpha() ? 32 : 24);
  out.insert(out.end(), image.begin(), image.end());
  if (l->Masked()) {
    const std::vector<uint8_t> bits = EncodeBmp(mask, w, h, 1);
    out.insert(out.end(), bits.begin(), bits.end());
  }
  Stream->WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

HIMAGELIST ReadImageList(TStream* Stream) {
  uint8_t head[28];
  if (Stream->Read(head, sizeof head) != sizeof head || Get16(head) != 0x4C49) BadStream("header expected");
  const int count = static_cast<int>(Get16(head + 4));
  const int grow = static_cast<int>(Get16(head + 8));
  const int cx = static_cast<int>(Get16(head + 10)), cy = static_cast<int>(Get16(head + 12));
  const COLORREF bk = Get32(head + 14);
  const UINT flags = Get16(head + 18);
  if (cx <= 0 || cy <= 0) BadStream("picture size " + std::to_string(cx) + " x " + std::to_string(cy));
  auto list = std::make_unique<TList>();
  list->Width = cx;
  list->Height = cy;
  list->Flags = flags & (ILC_MASK | 0xFE);
  list->Grow = std::max(1, grow);
  list->BkColor = bk == CLR_NONE ? CLR_NONE : bk & 0xFFFFFF;
  const int64_t rest = Stream->Size() - Stream->Position();
  std::vector<uint8_t> data(static_cast<size_t>(std::max<int64_t>(0, rest)));
  if (!data.empty()) Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  if (count > 0 || !data.empty()) {
    size_t used = 0;
    const gdi::TImage image = ReadBitmapFile(data.data(), data.size(), used);
    const int columns = image.Width / cx;
    if (columns <= 0 || (count + columns - 1) / columns * cy > image.Height) BadStream("too few pictures");
    std::vector<uint8_t> maskBits;
    if (list->Masked() && used < data.size()) {
      size_t maskUsed = 0;
      const gdi::TImage mask = ReadBitmapFile(data.data() + used, data.size() - used, maskUsed);
      if (mask.Width != image.Width || mask.Height != image.Height) BadStream("mask of another size");
      maskBits = WhiteBits(mask.Pixels);
    }
    list->Pictures = Cut(*list, image.Pixels, maskBits, image.Width, image.Height, columns, count);
  }
  for (int i = 0; i < 4; ++i) {
    const int overlay = static_cast<int16_t>(Get16(head + 20 + 2 * i));
    if (list->Valid(overlay)) list->Overlays[static_cast<size_t>(i)] = overlay;
  }
  return Add(std::move(list));
}

}  // namespace graphics
