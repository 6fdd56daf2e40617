#include "platform/classes/Resources.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <utility>

#include "FilerTestComponents.h"

namespace {

std::string FileBytes(const std::string& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(ResourcesTest, FilesAreBuiltInByteForByteAndFoundByPathOrByNameAndType) {
  // Every byte value, quotes, backslashes, "??=" and digits after a zero byte survive embedding.
  TResourceData all = FindResourceFile("bytes/AllBytes.bin");
  ASSERT_TRUE(all);
  EXPECT_EQ(all.View(), FileBytes(OSTROVEL_SOURCE_DIR "/tests/platform/classes/resources/bytes/AllBytes.bin"));
  EXPECT_EQ(all.Data[all.Size], '\0');

  // The program's own resources are there too, under their paths below resources/.
  TResourceData schema = FindResourceFile("schema/VN.sql");
  ASSERT_TRUE(schema);
  EXPECT_EQ(schema.View(), FileBytes(OSTROVEL_SOURCE_DIR "/resources/schema/VN.sql"));
  EXPECT_EQ(FindResourceData("vn", RT_RCDATA).Data, schema.Data);

  // One name, two types: the type comes from the extension.
  EXPECT_STREQ(FindResourceData("TTestForm", RT_RCDATA).Path, "forms/TTestForm.txt");
  EXPECT_STREQ(FindResourceData("TTESTFORM", RT_BITMAP).Path, "images/TTestForm.bmp");
  EXPECT_FALSE(FindResourceData("TTestForm", RT_CURSOR));
  EXPECT_FALSE(FindResourceData("NoSuchResource", RT_RCDATA));
  EXPECT_FALSE(FindResourceFile("forms/TNoForm.txt"));
}

TEST(ResourcesTest, TypesAndNamesOfFiles) {
  const std::pair<const char*, TResourceType> types[] = {
      {"forms/TForm1.txt", RT_RCDATA}, {"glyphs/FCCOMMON_OK.BMP", RT_BITMAP}, {"cursors/SPLIT.cur", RT_CURSOR},
      {"icons/main.ico", RT_ICON},     {"schema/VN.sql", RT_RCDATA},          {"a.bmp/plain", RT_RCDATA}};
  for (const auto& [path, type] : types) EXPECT_EQ(classes::ResourceTypeOf(path), type) << path;
  EXPECT_EQ(classes::ResourceNameOf("forms/TForm1.txt"), "TForm1");
  EXPECT_EQ(classes::ResourceNameOf("a.b.txt"), "a.b");
  EXPECT_EQ(classes::ResourceNameOf("a.bmp/plain"), "plain");
}

TEST(ResourcesTest, NoTwoProgramResourcesShareATypeAndName) {
  // A file dropped into resources/ must not hide another one of the same type and name.
  std::set<std::pair<TResourceType, std::string>> seen;
  const classes::TResourceTable& program = classes::ProgramResources();
  for (size_t i = 0; i < program.Count; ++i) {
    std::string name = classes::ResourceNameOf(program.Entries[i].Path);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(seen.emplace(classes::ResourceTypeOf(program.Entries[i].Path), name).second)
        << program.Entries[i].Path;
  }
  EXPECT_GT(program.Count, 0u);
}

TEST(ResourcesTest, ResourceStreamReadsAndSeeksButNeverWrites) {
  TResourceStream stream("AllBytes", RT_RCDATA);
  EXPECT_EQ(stream.Size(), 275);
  unsigned char head[3];
  stream.ReadBuffer(head, 3);
  EXPECT_EQ(head[2], 2);
  EXPECT_EQ(stream.Seek(-2, soEnd), 273);
  char tail[8];
  EXPECT_EQ(stream.Read(tail, 8), 2);
  EXPECT_EQ(stream.Read(tail, 8), 0);
  EXPECT_EQ(stream.Seek(100, soEnd), 375);  // past the end reads nothing
  EXPECT_EQ(stream.Read(tail, 8), 0);
  EXPECT_THROW(stream.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(stream.WriteBuffer("x", 1), EStreamError);
  EXPECT_THROW(stream.SetSize(0), EStreamError);
  try {
    TResourceStream missing("NoSuchResource", RT_BITMAP);
    ADD_FAILURE();
  } catch (const EResNotFound& e) {
    EXPECT_STREQ(e.what(), "Resource NoSuchResource not found");
  }
}
