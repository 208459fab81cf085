// Save/Load keeps a recordset whole and refuses every file it did not write.
#include "platform/data/recordset_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/data/static_recordset.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

// A fabricated recordset with every field type, Nulls, cp1252 text and awkward numbers.
void Fill(StaticRecordset& rs) {
  for (const FieldInfo& f : {TextField("c000", 12), Int16Field("c001"), Int32Field("c002"), DoubleField("c003"),
                             NumericField("c004"), LongTextField("c005", 512), FieldInfo{"c006", FieldType::Any, 0}})
    ASSERT_TRUE(rs.AppendField(f).ok());
  ASSERT_TRUE(rs.OpenFabricated().ok());
  const std::vector<std::vector<Value>> rows = {
      {"0000012", -32768, 2147483647, 0.1, 1234567890123.125, "perch\xE9 \x80", Value(int64_t{1} << 60)},
      {Value(), Value(), Value(), Value(), Value(), Value(), Value()},
      {"", 0, -1, -1e300, 0.0, std::string("a\0b", 3), "x"},
  };
  for (const auto& row : rows) {
    ASSERT_TRUE(rs.AddNew().ok());
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(rs.Set(i, row[i]).ok());
    ASSERT_TRUE(rs.Update().ok());
  }
}

TEST(RecordsetFile, SaveAndLoadKeepFieldsValuesNullsAndVisibleOrder) {
  test::TempDir dir;
  StaticRecordset saved;
  Fill(saved);
  ASSERT_TRUE(saved.SetSort("c002 DESC").ok());  // the visible order is what is kept
  ASSERT_TRUE(saved.Save(dir.file("KYX_E_000001_1.DAT")).ok());

  StaticRecordset loaded;
  ASSERT_TRUE(loaded.Load(dir.file("KYX_E_000001_1.DAT")).ok());
  EXPECT_EQ(loaded.Fields(), saved.Fields());
  ASSERT_EQ(loaded.RecordCount(), 3);
  ASSERT_TRUE(saved.MoveFirst().ok());
  for (; !loaded.AfterLast(); loaded.MoveNext(), saved.MoveNext())
    for (int i = 0; i < 7; ++i) EXPECT_EQ(loaded.Field(i), saved.Field(i)) << "field " << i;
  ASSERT_TRUE(loaded.MoveFirst().ok());
  EXPECT_EQ(loaded.Field("c002"), Value(2147483647));
  ASSERT_TRUE(loaded.MoveNext().ok());
  EXPECT_EQ(loaded.Field("c002"), Value(-1));
  ASSERT_TRUE(loaded.MoveNext().ok());
  EXPECT_TRUE(loaded.Field("c002").is_null());
  EXPECT_TRUE(loaded.Field("c000").is_null());
  EXPECT_FALSE(dir.read("KYX_E_000001_1.DAT.~tmp").size());
}

TEST(RecordsetFile, ForeignDamagedAndMissingFilesAreRefusedClearly) {
  test::TempDir dir;
  StaticRecordset rs;
  Fill(rs);
  ASSERT_TRUE(rs.Save(dir.file("good.dat")).ok());
  std::string good = dir.read("good.dat");
  std::string unknown_end = good;
  unknown_end.back() = '\x44';  // the end token replaced by one that means nothing

  struct Case {
    const char* name;
    std::string bytes;
    const char* says;
  } cases[] = {
      {"xml", "<?xml version=\"1.0\"?>\r\n<xml xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\">", "XML"},
      {"xml_bom", "\xEF\xBB\xBF  <xml>", "XML"},
      {"binary", std::string("\x01\x00\x00\x00TG\x02\x00", 8) + std::string(200, '\x07'), "binary file"},
      {"empty", "", "empty"},
      {"truncated", good.substr(0, good.size() - 9), "damaged or truncated"},
      {"unknown_end", unknown_end, "unknown token 68"},
      {"magic_only", good.substr(0, 8), "truncated"},
  };
  for (const Case& c : cases) {
    dir.write(c.name, c.bytes);
    StaticRecordset loaded;
    Status s = loaded.Load(dir.file(c.name));
    EXPECT_EQ(s.number(), kNotRecordsetFile) << c.name << ": " << s.ToString();
    EXPECT_NE(s.description().find(c.says), std::string::npos) << c.name << ": " << s.ToString();
    EXPECT_FALSE(loaded.IsOpen());
    EXPECT_EQ(dir.read(c.name), c.bytes) << "a refused file is left as it was";
  }
  StaticRecordset missing;
  EXPECT_EQ(missing.Load(dir.file("nope.dat")).number(), kFileNotFound);
}

// Early history folders may hold files of the older own format: assembled here from its layout.
TEST(RecordsetFile, FilesOfTheOlderFormatStillLoad) {
  std::string b("KYXRSET\x1A\x01\x00\x00\x00\x02\x00\x00\x00", 16);
  b += std::string("\x04\x00" "c000" "\x01" "\x0C\x00\x00\x00", 11);
  b += std::string("\x04\x00" "c001" "\x04" "\x00\x00\x00\x00", 11);
  b += std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8);           // two rows
  b += std::string("\x03\x02\x00\x00\x00" "\xE9x" "\x02", 8) + std::string(6, '\0') + "\xF8\x3F";  // "\xE9x", 1.5
  b += std::string("\x00\x01\x07\x00\x00\x00\x00\x00\x00\x00", 10);  // Null, 7
  b += "END!";
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char ch : b) {
    crc ^= ch;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  crc ^= 0xFFFFFFFFu;
  for (int k = 0; k < 4; ++k) b.push_back(static_cast<char>(crc >> (8 * k)));
  test::TempDir dir;
  dir.write("old.dat", b);
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  Status s = ReadRecordsetFile(dir.file("old.dat"), &fields, &rows);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(fields, (std::vector<FieldInfo>{TextField("c000", 12), DoubleField("c001")}));
  EXPECT_EQ(rows, (std::vector<std::vector<Value>>{{"\xE9x", 1.5}, {Value(), 7}}));
}

TEST(RecordsetFile, AFailedSaveKeepsTheOldFile) {
  test::TempDir dir;
  StaticRecordset rs;
  Fill(rs);
  ASSERT_TRUE(rs.Save(dir.file("keep.dat")).ok());
  std::string before = dir.read("keep.dat");
  // A file cannot be written where a folder of the temporary file's name stands.
  ASSERT_EQ(::mkdir(dir.file("keep.dat.~tmp").c_str(), 0755), 0);
  ASSERT_TRUE(rs.SetFilter("c001 = 0").ok());
  EXPECT_EQ(rs.Save(dir.file("keep.dat")).number(), kFileError);
  EXPECT_EQ(dir.read("keep.dat"), before);
}

}  // namespace
}  // namespace kyx::data
