#pragma once
// Byte streams: the abstract TStream, memory, file-handle, file and string streams.
#include <cstdint>
#include <string>

#include "platform/rtl/System.h"

class EStreamError : public Exception { public: using Exception::Exception; };
class EReadError : public EStreamError { public: using EStreamError::EStreamError; };
class EWriteError : public EStreamError { public: using EStreamError::EStreamError; };
class EFOpenError : public EStreamError { public: using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { public: using EStreamError::EStreamError; };

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
// The platform's older names for the same origins.
constexpr TSeekOrigin soFromBeginning = soBeginning;
constexpr TSeekOrigin soFromCurrent = soCurrent;
constexpr TSeekOrigin soFromEnd = soEnd;

class TStream : public TObject {
 public:
  // Reads up to Count bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  // Writes up to Count bytes; returns how many were written.
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // Moves the position; returns the new position from the beginning.
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  // Read/Write that raise EReadError "Stream read error" / EWriteError "Stream write error"
  // unless exactly Count bytes move.
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Value) { Seek(Value, soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  // Returns the number of bytes copied.
  int64_t CopyFrom(TStream* Source, int64_t Count);
};

// A stream over a block of memory that grows as it is written.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  ~TMemoryStream() override;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return FSize; }
  void SetSize(int64_t NewSize) override;

  void* Memory() const { return FMemory; }
  int64_t Capacity() const { return FCapacity; }
  // Frees the memory; size and position become 0.
  void Clear();
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream);
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);

 protected:
  // Returns the block for NewCapacity bytes (rounded up as the class wants, written back),
  // keeping the contents. The base rounds up to 8 KiB steps; 0 frees the block.
  // Raises EStreamError "Out of memory while expanding memory stream" and keeps the old block
  // when the memory cannot be had.
  virtual void* Realloc(int64_t& NewCapacity);
  // Resizes the heap block to exactly NewCapacity bytes keeping the contents (0 frees it);
  // raises EStreamError "Out of memory while expanding memory stream", keeping the old block.
  // For Realloc overrides, which choose the capacity and leave the allocation to this.
  void* ReallocBlock(int64_t NewCapacity);
  void SetCapacity(int64_t NewCapacity);

 private:
  void* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
  int64_t FCapacity = 0;
};

// Open modes of TFileStream. fmCreate creates or truncates the file for reading and writing.
constexpr uint16_t fmCreate = 0xFF00;
constexpr uint16_t fmOpenRead = 0x0000;
constexpr uint16_t fmOpenWrite = 0x0001;
constexpr uint16_t fmOpenReadWrite = 0x0002;
// Share modes are accepted and ignored: files are not locked against other users.
constexpr uint16_t fmShareCompat = 0x0000;
constexpr uint16_t fmShareExclusive = 0x0010;
constexpr uint16_t fmShareDenyWrite = 0x0020;
constexpr uint16_t fmShareDenyRead = 0x0030;
constexpr uint16_t fmShareDenyNone = 0x0040;

// A stream over an open file descriptor; it does not own the descriptor.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int AHandle) : FHandle(AHandle) {}
  int Handle() const { return FHandle; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  // Raises EStreamError when the descriptor cannot seek.
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;

 protected:
  int FHandle = -1;
};

// A stream over a file it opens and closes itself.
// Raises EFOpenError "Cannot open file "X". <reason>" or EFCreateError "Cannot create file "X". <reason>".
class TFileStream : public THandleStream {
 public:
  TFileStream(const std::string& AFileName, uint16_t Mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  const std::string& FileName() const { return FFileName; }

 private:
  std::string FFileName;
};

// A stream over a string of bytes.
class TStringStream : public TStream {
 public:
  explicit TStringStream(std::string AString = {}) : FDataString(std::move(AString)) {}
  const std::string& DataString() const { return FDataString; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FDataString.size()); }
  void SetSize(int64_t NewSize) override;
  // Reads up to Count bytes from the position as a string.
  std::string ReadString(int64_t Count);
  // Writes the bytes of AString at the position.
  void WriteString(const std::string& AString);

 private:
  std::string FDataString;
  int64_t FPosition = 0;
};
