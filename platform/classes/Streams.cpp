#include "platform/classes/Streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

int64_t NewPosition(int64_t Offset, TSeekOrigin Origin, int64_t Current, int64_t Size) {
  int64_t base = Origin == soBeginning ? 0 : Origin == soCurrent ? Current : Size;
  int64_t result = base + Offset;
  if (result < 0) throw EStreamError("Seek before the start of the stream");
  return result;
}

std::string SysErrorMessage(int err) { return std::strerror(err); }

}  // namespace

// ---- TStream ----

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream write error");
}

int64_t TStream::Size() {
  int64_t pos = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Stream size cannot be changed"); }

int64_t TStream::CopyFrom(TStream* Source, int64_t Count) {
  if (Count == 0) {
    Source->SetPosition(0);
    Count = Source->Size();
  }
  if (Count <= 0) return 0;
  constexpr int64_t kChunk = 64 * 1024;
  std::vector<char> buffer(static_cast<size_t>(std::min(Count, kChunk)));
  int64_t left = Count;
  while (left > 0) {
    int64_t n = std::min(left, kChunk);
    Source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return Count;
}

// ---- TMemoryStream ----

TMemoryStream::~TMemoryStream() { std::free(FMemory); }

void* TMemoryStream::Realloc(int64_t& NewCapacity) {
  constexpr int64_t kMemoryDelta = 8192;
  if (NewCapacity > 0 && NewCapacity != FSize)
    NewCapacity = (NewCapacity + kMemoryDelta - 1) & ~(kMemoryDelta - 1);
  return ReallocBlock(NewCapacity);
}

void* TMemoryStream::ReallocBlock(int64_t NewCapacity) {
  if (NewCapacity == FCapacity) return FMemory;
  if (NewCapacity <= 0) {
    std::free(FMemory);
    return nullptr;
  }
  void* block = std::realloc(FMemory, static_cast<size_t>(NewCapacity));
  if (block == nullptr) throw EStreamError("Out of memory while expanding memory stream");
  return block;
}

void TMemoryStream::SetCapacity(int64_t NewCapacity) {
  FMemory = Realloc(NewCapacity);
  FCapacity = NewCapacity;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= FSize) return 0;
  int64_t n = std::min(Count, FSize - FPosition);
  std::memcpy(Buffer, static_cast<char*>(FMemory) + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  int64_t end = FPosition + Count;
  if (end > FSize) {
    if (end > FCapacity) SetCapacity(end);
    // Bytes between the old end and a position set past it read as zeros.
    if (FPosition > FSize)
      std::memset(static_cast<char*>(FMemory) + FSize, 0, static_cast<size_t>(FPosition - FSize));
    FSize = end;
  }
  std::memcpy(static_cast<char*>(FMemory) + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition = end;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = NewPosition(Offset, Origin, FPosition, FSize);
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  int64_t oldSize = FSize;
  SetCapacity(NewSize);
  if (NewSize > oldSize)
    std::memset(static_cast<char*>(FMemory) + oldSize, 0, static_cast<size_t>(NewSize - oldSize));
  FSize = NewSize;
  if (FPosition > NewSize) FPosition = NewSize;
}

void TMemoryStream::Clear() {
  SetCapacity(0);
  FSize = 0;
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  int64_t count = Stream->Size();
  SetSize(count);
  if (count != 0) Stream->ReadBuffer(FMemory, count);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream) {
  if (FSize != 0) Stream->WriteBuffer(FMemory, FSize);
}

void TMemoryStream::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---- THandleStream ----

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    ssize_t n = ::read(FHandle, static_cast<char*>(Buffer) + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    ssize_t n = ::write(FHandle, static_cast<const char*>(Buffer) + done, static_cast<size_t>(Count - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  off_t result = ::lseek(FHandle, static_cast<off_t>(Offset), whence);
  if (result < 0) throw EStreamError("Stream seek error. " + SysErrorMessage(errno));
  return result;
}

void THandleStream::SetSize(int64_t NewSize) {
  int64_t pos = Position();
  if (::ftruncate(FHandle, static_cast<off_t>(NewSize)) != 0)
    throw EStreamError("Stream size error. " + SysErrorMessage(errno));
  if (pos > NewSize) SetPosition(NewSize);
}

// ---- TFileStream ----

namespace {

int OpenFile(const std::string& FileName, uint16_t Mode) {
  int flags = O_CLOEXEC;
  bool create = (Mode & fmCreate) == fmCreate;
  if (create) {
    flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 0x3) {
      case fmOpenWrite: flags |= O_WRONLY; break;
      case fmOpenReadWrite: flags |= O_RDWR; break;
      default: flags |= O_RDONLY; break;
    }
  }
  int fd;
  do {
    fd = ::open(FileName.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    std::string reason = SysErrorMessage(errno);
    if (create) throw EFCreateError("Cannot create file \"" + FileName + "\". " + reason);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + reason);
  }
  struct stat st{};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(EISDIR));
  }
  return fd;
}

}  // namespace

TFileStream::TFileStream(const std::string& AFileName, uint16_t Mode)
    : THandleStream(OpenFile(AFileName, Mode)), FFileName(AFileName) {}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

// ---- TStringStream ----

int64_t TStringStream::Read(void* Buffer, int64_t Count) {
  int64_t size = Size();
  if (Count <= 0 || FPosition >= size) return 0;
  int64_t n = std::min(Count, size - FPosition);
  std::memcpy(Buffer, FDataString.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TStringStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  auto end = static_cast<size_t>(FPosition + Count);
  if (end > FDataString.size()) FDataString.resize(end, '\0');
  std::memcpy(FDataString.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition += Count;
  return Count;
}

int64_t TStringStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  FPosition = NewPosition(Offset, Origin, FPosition, Size());
  return FPosition;
}

void TStringStream::SetSize(int64_t NewSize) {
  if (NewSize < 0) throw EStreamError("Invalid stream size");
  FDataString.resize(static_cast<size_t>(NewSize), '\0');
  if (FPosition > NewSize) FPosition = NewSize;
}

std::string TStringStream::ReadString(int64_t Count) {
  int64_t n = std::max<int64_t>(0, std::min(Count, Size() - FPosition));
  std::string result = FDataString.substr(static_cast<size_t>(std::min(FPosition, Size())), static_cast<size_t>(n));
  FPosition += n;
  return result;
}

void TStringStream::WriteString(const std::string& AString) {
  Write(AString.data(), static_cast<int64_t>(AString.size()));
}
