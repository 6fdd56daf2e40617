#include "platform/classes/Streams.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

class TempDir {
 public:
  TempDir() : FPath(std::filesystem::temp_directory_path() / ("streams_" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(FPath);
  }
  ~TempDir() { std::filesystem::remove_all(FPath); }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

 private:
  std::filesystem::path FPath;
};

// The same behaviour is expected of every stream kind.
class StreamKinds : public ::testing::TestWithParam<int> {
 protected:
  std::unique_ptr<TStream> Make() {
    switch (GetParam()) {
      case 0: return std::make_unique<TMemoryStream>();
      case 1: return std::make_unique<TStringStream>();
      default: return std::make_unique<TFileStream>(dir.File("kind.bin"), fmCreate);
    }
  }
  TempDir dir;
};

TEST_P(StreamKinds, WriteSeekReadAndSize) {
  auto s = Make();
  s->WriteBuffer("hello world", 11);
  EXPECT_EQ(s->Position(), 11);
  EXPECT_EQ(s->Size(), 11);
  EXPECT_EQ(s->Seek(-5, soFromEnd), 6);
  char buf[16] = {};
  EXPECT_EQ(s->Read(buf, 16), 5);  // short read at the end
  EXPECT_STREQ(buf, "world");
  EXPECT_EQ(s->Read(buf, 4), 0);
  s->Seek(0, soFromBeginning);
  s->Seek(2, soFromCurrent);
  s->WriteBuffer("LL", 2);
  s->SetPosition(0);
  std::memset(buf, 0, sizeof buf);
  s->ReadBuffer(buf, 11);
  EXPECT_STREQ(buf, "heLLo world");
  try {
    s->ReadBuffer(buf, 1);
    FAIL();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
  s->SetSize(5);
  EXPECT_EQ(s->Size(), 5);
  EXPECT_EQ(s->Position(), 5);  // clamped to the new end
  s->SetSize(8);                // growth reads as zeros
  s->SetPosition(5);
  char z[3] = {1, 1, 1};
  s->ReadBuffer(z, 3);
  EXPECT_EQ(std::string(z, 3), std::string(3, '\0'));
}

TEST_P(StreamKinds, CopyFromZeroCopiesAllFromStart) {
  auto s = Make();
  TStringStream source("0123456789");
  source.SetPosition(7);
  EXPECT_EQ(s->CopyFrom(&source, 0), 10);
  source.SetPosition(2);
  EXPECT_EQ(s->CopyFrom(&source, 3), 3);
  s->SetPosition(0);
  char buf[13];
  s->ReadBuffer(buf, 13);
  EXPECT_EQ(std::string(buf, 13), "0123456789234");
  source.SetPosition(8);
  EXPECT_THROW(s->CopyFrom(&source, 5), EReadError);
}

INSTANTIATE_TEST_SUITE_P(All, StreamKinds, ::testing::Values(0, 1, 2));

TEST(MemoryStream, WritingPastTheEndZeroFillsTheGap) {
  TMemoryStream m;
  m.SetPosition(4);
  m.WriteBuffer("x", 1);
  ASSERT_EQ(m.Size(), 5);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 5), std::string("\0\0\0\0x", 5));
  EXPECT_GE(m.Capacity(), 5);
  m.Clear();
  EXPECT_EQ(m.Size(), 0);
  EXPECT_EQ(m.Memory(), nullptr);
  EXPECT_THROW(m.Seek(-1, soFromBeginning), EStreamError);
}

TEST(MemoryStream, FilesRoundTrip) {
  TempDir dir;
  TMemoryStream m;
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  m.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  m.SaveToFile(dir.File("m.bin"));
  TMemoryStream back;
  back.LoadFromFile(dir.File("m.bin"));
  EXPECT_EQ(back.Position(), 0);
  ASSERT_EQ(back.Size(), static_cast<int64_t>(data.size()));
  EXPECT_EQ(std::memcmp(back.Memory(), data.data(), data.size()), 0);
}

// A subclass choosing its own growth step, as memory streams for large outputs do.
class TStepStream : public TMemoryStream {
 protected:
  void* Realloc(int64_t& NewCapacity) override {
    if (NewCapacity > 0) NewCapacity = (NewCapacity + 1023) & ~int64_t(1023);
    return ReallocBlock(NewCapacity);
  }
};

TEST(MemoryStream, ReallocOverrideControlsCapacity) {
  TStepStream s;
  s.WriteBuffer("abc", 3);
  EXPECT_EQ(s.Capacity(), 1024);
  std::string big(1500, 'x');
  s.WriteBuffer(big.data(), 1500);
  EXPECT_EQ(s.Capacity(), 2048);
  s.SetPosition(0);
  char head[4] = {};
  s.ReadBuffer(head, 3);
  EXPECT_STREQ(head, "abc");  // contents kept across growth
  s.Clear();
  EXPECT_EQ(s.Capacity(), 0);
}

TEST(FileStream, OpenErrorsNameTheFile) {
  TempDir dir;
  std::string missing = dir.File("missing.txt");
  try {
    TFileStream f(missing, fmOpenRead | fmShareDenyNone);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". No such file or directory");
  }
  std::string bad = dir.File("no/such/dir/x.txt");
  try {
    TFileStream f(bad, fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message().rfind("Cannot create file \"" + bad + "\". ", 0), 0u);
  }
}

TEST(FileStream, ModesCreateTruncateAndReadOnly) {
  TempDir dir;
  std::string path = dir.File("f.txt");
  {
    TFileStream f(path, fmCreate | fmShareExclusive);
    f.WriteBuffer("first", 5);
  }
  {
    TFileStream f(path, fmOpenReadWrite);
    f.Seek(0, soFromEnd);
    f.WriteBuffer("+", 1);
  }
  {
    TFileStream f(path, fmOpenRead);
    EXPECT_EQ(f.Size(), 6);
    EXPECT_EQ(f.FileName(), path);
    try {
      f.WriteBuffer("x", 1);
      FAIL();
    } catch (const EWriteError& e) {
      EXPECT_EQ(e.Message(), "Stream write error");
    }
  }
  {
    TFileStream f(path, fmCreate);  // truncates
    EXPECT_EQ(f.Size(), 0);
  }
  EXPECT_THROW(TFileStream(dir.File(""), fmOpenRead), EFOpenError);  // a directory is not a file
}

TEST(StringStream, DataStringAndReadString) {
  TStringStream s("abc");
  EXPECT_EQ(s.Position(), 0);
  EXPECT_EQ(s.ReadString(2), "ab");
  EXPECT_EQ(s.ReadString(10), "c");
  s.WriteString("de");
  EXPECT_EQ(s.DataString(), "abcde");
  s.SetPosition(1);
  s.WriteString("X");
  EXPECT_EQ(s.DataString(), "aXcde");
}

}  // namespace
