#include "platform/graphics/Graphic.h"

#include <cstring>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Jpeg.h"

namespace graphics {

std::vector<uint8_t> ReadRest(TStream* Stream) {
  const int64_t size = Stream->Size() - Stream->Position();
  std::vector<uint8_t> bytes(static_cast<size_t>(std::max<int64_t>(0, size)));
  if (!bytes.empty()) Stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

std::vector<uint8_t> ReadSizedBlock(TStream* Stream) {
  uint8_t length[4];
  Stream->ReadBuffer(length, 4);
  const uint32_t size = length[0] | (length[1] << 8) | (length[2] << 16) | (static_cast<uint32_t>(length[3]) << 24);
  if (size > Stream->Size() - Stream->Position()) throw EInvalidGraphic("Picture data truncated");
  std::vector<uint8_t> bytes(size);
  if (size) Stream->ReadBuffer(bytes.data(), size);
  return bytes;
}

void WriteSizedBlock(TStream* Stream, const std::vector<uint8_t>& Data) {
  const uint32_t size = static_cast<uint32_t>(Data.size());
  const uint8_t length[4] = {static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                             static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)};
  Stream->WriteBuffer(length, 4);
  if (size) Stream->WriteBuffer(Data.data(), size);
}

std::unique_ptr<TGraphic> GraphicForContent(const uint8_t* Data, size_t Size) {
  auto starts = [&](std::initializer_list<uint8_t> Prefix) {
    return Size >= Prefix.size() && std::memcmp(Data, Prefix.begin(), Prefix.size()) == 0;
  };
  if (starts({'B', 'M'}) || starts({0x89, 'P', 'N', 'G'})) return std::make_unique<TBitmap>();
  if (starts({0, 0, 1, 0}) || starts({0, 0, 2, 0})) return std::make_unique<TIcon>();
  if (starts({0xFF, 0xD8})) return std::make_unique<TJPEGImage>();
  return nullptr;
}

std::unique_ptr<TGraphic> GraphicForClassName(const std::string& Name) {
  if (classes::SameIdent(Name, "TBitmap")) return std::make_unique<TBitmap>();
  if (classes::SameIdent(Name, "TIcon")) return std::make_unique<TIcon>();
  if (classes::SameIdent(Name, "TJPEGImage")) return std::make_unique<TJPEGImage>();
  return nullptr;
}

}  // namespace graphics

// ---- TGraphic ----

void TGraphic::SetSize(int AWidth, int AHeight) {
  SetWidth(AWidth);
  SetHeight(AHeight);
}

void TGraphic::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  Changed();
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed();
  else
    FModified = false;
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TGraphic::SaveToFile(const std::string& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveToStream(&stream);
}

bool TGraphic::Equals(TGraphic* Graphic) {
  if (!Graphic || typeid(*Graphic) != typeid(*this)) return false;
  if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
  TMemoryStream mine, theirs;
  WriteData(&mine);
  Graphic->WriteData(&theirs);
  return mine.Size() == theirs.Size() &&
         std::memcmp(mine.Memory(), theirs.Memory(), static_cast<size_t>(mine.Size())) == 0;
}

void TGraphic::DefineProperties(TFiler* Filer) {
  auto* ancestor = dynamic_cast<TGraphic*>(Filer->Ancestor());
  const bool hasData = ancestor ? !Equals(ancestor) : !Empty();
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, hasData);
}

// ---- TPicture ----

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange) OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> Graphic) {
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  if (!Value) {
    Take(nullptr);
    return;
  }
  // A copy of the class of Value, or of the nearest class a picture can hold.
  std::unique_ptr<TGraphic> copy;
  if (dynamic_cast<TJPEGImage*>(Value))
    copy = std::make_unique<TJPEGImage>();
  else if (dynamic_cast<TIcon*>(Value))
    copy = std::make_unique<TIcon>();
  else if (dynamic_cast<TBitmap*>(Value))
    copy = std::make_unique<TBitmap>();
  else
    throw EInvalidGraphic("Unsupported picture class " + Value->ClassName());
  copy->Assign(Value);
  Take(std::move(copy));
}

void TPicture::SetBitmap(TBitmap* Value) { SetGraphic(Value); }
void TPicture::SetIcon(TIcon* Value) { SetGraphic(Value); }

template <class G>
G* TPicture::GraphicAs() {
  if (auto* g = dynamic_cast<G*>(FGraphic.get())) return g;
  auto fresh = std::make_unique<G>();
  G* g = fresh.get();
  Take(std::move(fresh));
  return g;
}

TBitmap* TPicture::Bitmap() { return GraphicAs<TBitmap>(); }
TIcon* TPicture::Icon() { return GraphicAs<TIcon>(); }

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromStream(TStream* Stream) {
  TMemoryStream data;
  const std::vector<uint8_t> bytes = graphics::ReadRest(Stream);
  std::unique_ptr<TGraphic> graphic = graphics::GraphicForContent(bytes.data(), bytes.size());
  if (!graphic) throw EInvalidGraphic("Unknown picture format");
  if (!bytes.empty()) data.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  data.SetPosition(0);
  graphic->LoadFromStream(&data);
  Take(std::move(graphic));
}

void TPicture::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&stream);
}

void TPicture::SaveToStream(TStream* Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr)
    SetGraphic(nullptr);
  else if (auto* picture = dynamic_cast<TPicture*>(Source))
    SetGraphic(picture->Graphic());
  else if (auto* graphic = dynamic_cast<TGraphic*>(Source))
    SetGraphic(graphic);
  else
    TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (auto* graphic = dynamic_cast<TGraphic*>(Dest); graphic && FGraphic) {
    graphic->Assign(FGraphic.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TPicture::ReadData(TStream* Stream) {
  uint8_t length = 0;
  Stream->ReadBuffer(&length, 1);
  std::string name(length, '\0');
  if (length) Stream->ReadBuffer(name.data(), length);
  if (name.empty()) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> graphic = graphics::GraphicForClassName(name);
  if (!graphic) throw EInvalidGraphic("Unsupported picture class " + name);
  graphic->ReadData(Stream);
  Take(std::move(graphic));
}

void TPicture::WriteData(TStream* Stream) {
  const std::string name = FGraphic ? FGraphic->ClassName() : std::string();
  const uint8_t length = static_cast<uint8_t>(name.size());
  Stream->WriteBuffer(&length, 1);
  if (length) Stream->WriteBuffer(name.data(), length);
  if (FGraphic) FGraphic->WriteData(Stream);
}

void TPicture::DefineProperties(TFiler* Filer) {
  bool hasData = FGraphic && !FGraphic->Empty();
  if (auto* ancestor = dynamic_cast<TPicture*>(Filer->Ancestor())) {
    TGraphic* theirs = ancestor->Graphic();
    hasData = FGraphic ? !FGraphic->Equals(theirs) : theirs != nullptr;
  }
  Filer->DefineBinaryProperty(
      "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, hasData);
}

static const classes::TPublished<TGraphic, TPersistent> GraphicInfo;
static const classes::TPublished<TPicture, TPersistent> PictureInfo;
