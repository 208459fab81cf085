// TableGram files: files assembled here byte by byte from the documented token layout are read
// to the right fields and values; our writer's files read back equal and follow the layout as an
// independent decoder sees it; damaged and hostile files are refused with a message.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/data/adtg_reader.h"
#include "platform/data/recordset_file.h"
#include "tests/platform/data/adtg_decoder.h"
#include "tests/support/temp_dir.h"

namespace kyx::data {
namespace {

// Assembles a TableGram from its elements, independently of the writer under test.
struct Tg {
  std::string b;

  template <typename T>
  Tg& le(T v) {
    for (size_t i = 0; i < sizeof(T); ++i) b.push_back(static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF));
    return *this;
  }
  Tg& raw(std::string_view s) {
    b.append(s);
    return *this;
  }
  static std::string Utf16(std::u16string_view s) {
    std::string o;
    for (char16_t c : s) o += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return o;
  }
  Tg& header() { return raw(std::string("\x01\x07TG!\x01\x00\x00\x01", 9)); }
  // An element: token, USHORT size, body.
  Tg& element(uint8_t token, const std::string& body) {
    b.push_back(static_cast<char>(token));
    le<uint16_t>(static_cast<uint16_t>(body.size()));
    return raw(body);
  }
  static std::string Guid() { return std::string("\xB6\x92\xF2\x3F\x04\xB2\xCF\x11\x8D\x23\x00\xAA\x00\x5F\xFE\x58", 16); }
  static std::string Lps(std::u16string_view s) { return Tg().le<uint16_t>(static_cast<uint16_t>(s.size())).b + Utf16(s); }
  // Handler options: GUID, update kind, three strings, async options (USHORT 1: synchronous).
  Tg& handler() { return element(2, Guid() + "\x03" + Lps(u"") + Lps(u"") + Lps(u"Friendly") + std::string("\x01\x00", 2)); }
  Tg& result(uint16_t columns, uint32_t rows) {
    Tg body;
    body.raw(Guid()).raw(std::string(3, '\0')).le<uint16_t>(columns).le<uint16_t>(columns).le<uint16_t>(0);
    body.le<uint16_t>(0).le<uint16_t>(0).le<uint32_t>(rows);
    return element(3, body.b);
  }
  Tg& column(uint16_t ordinal, std::u16string_view name, uint16_t type, uint32_t max_length, uint32_t flags,
             const std::string& trailing = "") {
    Tg body;
    body.raw(std::string("\x01\x00\x00", 3)).le<uint16_t>(ordinal).raw(Lps(name)).le<uint16_t>(type);
    body.le<uint32_t>(max_length).le<uint32_t>(type == 131 ? 17 : 0).le<uint32_t>(type == 131 ? 3 : 0).le<uint32_t>(flags);
    return element(6, body.raw(trailing).raw("\xFF\xFF").b);  // ..., optional properties, IsVisible
  }
  Tg& row(const std::string& null_mask) { return raw("\x07" + null_mask); }
  Tg& wstr(std::u16string_view s) { return le<uint32_t>(static_cast<uint32_t>(2 * s.size())).raw(Utf16(s)); }
  Tg& numeric(bool negative, uint64_t magnitude, uint8_t scale = 3) {
    raw(std::string{17, static_cast<char>(scale), negative ? '\0' : '\1'}).le<uint64_t>(magnitude);
    return le<uint64_t>(0);
  }
  Tg& done() { return raw("\x0F"); }
};

// The kind of result the earlier version saved: a text key, a double, a numeric(17,3), small
// and long integers, a narrow text column, and an element we do not need (a base table).
std::string SavedResult() {
  Tg t;
  t.header().handler().result(6, 3);
  t.element(5, Tg().le<uint16_t>(1).raw(Tg::Lps(u"DATI")).raw(Tg::Lps(u"DATI")).le<uint16_t>(1252).le<uint16_t>(6).le<uint16_t>(0).b);
  t.column(1, u"c000", 130, 12, 0x60, "\x99\x99 optional properties we skip");
  t.column(2, u"c001", 5, 8, 0x70);
  t.column(3, u"c002", 131, 19, 0x70);
  t.column(4, u"c003", 2, 2, 0x70);
  t.column(5, u"c004", 3, 4, 0x70);
  t.column(6, u"k\u00E9y", 129, 255, 0xE0);
  t.row(std::string(1, '\0')).wstr(u"perch\u00E9 \u20AC\u0410\U0001F600!").le<uint64_t>(0x3FB999999999999AULL);
  t.numeric(true, 1234567890123125ULL).le<int16_t>(-32768).le<int32_t>(2147483647).le<uint32_t>(3).raw("\x80x\xE9");
  t.row(std::string(1, '\x3F'));  // every column null
  t.row(std::string(1, '\x2A')).wstr(u"").numeric(false, 5, 0).le<int32_t>(-1);
  return t.done().b;
}

TEST(Adtg, HandAssembledFilesReadToTheirFieldsAndValues) {
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  ASSERT_TRUE(ReadAdtg(SavedResult(), &fields, &rows).ok()) << ReadAdtg(SavedResult(), &fields, &rows).ToString();
  const std::vector<FieldInfo> want_fields = {TextField("c000", 12), DoubleField("c001"), NumericField("c002"),
                                              Int16Field("c003"),    Int32Field("c004"),  LongTextField("k\xE9y", 255)};
  EXPECT_EQ(fields, want_fields);
  const std::vector<std::vector<Value>> want = {
      {"perch\xE9 \x80?" "?!", 0.1, -1234567890123.125, -32768, 2147483647, "\x80x\xE9"},
      {Value(), Value(), Value(), Value(), Value(), Value()},
      {"", Value(), 5.0, Value(), -1, Value()},
  };
  EXPECT_EQ(rows, want);

  Tg empty;
  empty.header().result(1, 0).column(1, u"c000", 130, 12, 0x60).done();
  ASSERT_TRUE(ReadAdtg(empty.b, &fields, &rows).ok());
  EXPECT_EQ(fields, std::vector<FieldInfo>{TextField("c000", 12)});
  EXPECT_TRUE(rows.empty());
}

TEST(Adtg, WrittenFilesReadBackEqualAndFollowTheLayout) {
  test::TempDir dir;
  const std::vector<FieldInfo> fields = {TextField("c000", 12), DoubleField("c001"), NumericField("c002"),
                                         Int16Field("c003"), Int32Field("c004"), LongTextField("k001", 255),
                                         FieldInfo{"x", FieldType::Any, 0}};
  const std::vector<std::vector<Value>> rows = {
      {"perch\xE9 \x80", 0.1, -1234567890123.125, -32768, 2147483647, std::string("a\0b", 3), Value(int64_t{1} << 60)},
      {Value(), Value(), Value(), Value(), Value(), Value(), Value()},
      {"", -1e300, 0.0, 0, -1, "", "t"},
  };
  std::vector<const std::vector<Value>*> ptrs;
  for (const auto& r : rows) ptrs.push_back(&r);
  ASSERT_TRUE(WriteRecordsetFile(dir.file("r.dat"), fields, ptrs).ok());
  std::vector<FieldInfo> got_fields;
  std::vector<std::vector<Value>> got;
  ASSERT_TRUE(ReadRecordsetFile(dir.file("r.dat"), &got_fields, &got).ok());
  EXPECT_EQ(got_fields, fields);
  EXPECT_EQ(got, rows);

  const test::Decoded decoded = test::DecodeAdtg(dir.file("r.dat"));
  EXPECT_TRUE(decoded.ok) << decoded.out;
  EXPECT_EQ(decoded.out,
            "col c000 130 12 0 0 96\n"
            "col c001 5 8 15 0 112\n"
            "col c002 131 19 17 3 112\n"
            "col c003 2 2 5 0 112\n"
            "col c004 3 4 10 0 112\n"
            "col k001 130 255 0 0 224\n"
            "col x 12 16 0 0 96\n"
            "'perch\u00e9 \u20ac'|0.1|-1234567890123125/10^3|-32768|2147483647|'a\\x00b'|i8:1152921504606846976\n"
            "NULL|NULL|NULL|NULL|NULL|NULL|NULL\n"
            "''|-1e+300|0/10^3|0|-1|''|bstr:'t'\n"
            "ops 3 0 0 0\n");
}

// A recordset saved with pending changes (a hand-built file, tests/fixtures/tablegram): the
// changed row reads with its new values, the deleted one is gone, the inserted one is there, and
// the result context and table descriptor are passed over; the independent decoder agrees.
TEST(Adtg, PendingChangesInsertionsAndDeletionsAreApplied) {
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  const Status s = ReadRecordsetFile(KYX_TABLEGRAM_PENDING, &fields, &rows);
  ASSERT_TRUE(s.ok()) << s.ToString();
  EXPECT_EQ(fields, (std::vector<FieldInfo>{TextField("c000", 12), DoubleField("c001"), NumericField("c002")}));
  const std::vector<std::vector<Value>> want = {
      {"9999991", 1.0, 12.5}, {"9999992", 20.5, -3.25}, {"9999994", 4.0, Value()}, {"9999995", Value(), 0.001}};
  EXPECT_EQ(rows, want);
  const test::Decoded decoded = test::DecodeAdtg(KYX_TABLEGRAM_PENDING);
  EXPECT_TRUE(decoded.ok) << decoded.out;
  EXPECT_NE(decoded.out.find("'9999991'|1.0|12500/10^3\n'9999992'|20.5|-3250/10^3\n'9999994'|4.0|NULL\n"
                             "'9999995'|NULL|1/10^3\nops 2 1 1 1\n"),
            std::string::npos)
      << decoded.out;

  // A change or a deletion stands right after the original row it applies to.
  auto one_row = [] {
    Tg t;
    t.header().handler().result(1, 1).column(1, u"c", 3, 4, 0x70);
    return t;
  };
  const std::string nessun_null(1, '\0'), tutti_null(1, '\x01');
  for (const std::string& bad :
       {one_row().raw("\x0C").done().b, one_row().raw("\x0A").raw(nessun_null).le<int32_t>(1).done().b,
        one_row().row(nessun_null).le<int32_t>(1).raw("\x0C\x0C").done().b,
        one_row().raw("\x0D").raw(nessun_null).le<int32_t>(1).raw("\x0C").done().b}) {
    const Status r = ReadAdtg(bad, &fields, &rows);
    EXPECT_NE(r.description().find("does not follow the row"), std::string::npos) << r.ToString();
  }
  EXPECT_TRUE(ReadAdtg(one_row().row(nessun_null).le<int32_t>(1).raw("\x0A").raw(tutti_null).done().b, &fields, &rows).ok());
  EXPECT_EQ(rows, (std::vector<std::vector<Value>>{{Value()}}));
}

TEST(Adtg, DamagedAndHostileFilesAreRefusedWithAMessage) {
  const std::string good = SavedResult();
  std::vector<FieldInfo> fields;
  std::vector<std::vector<Value>> rows;
  // Every truncation is refused (and none crashes or loops).
  for (size_t n = 0; n < good.size(); ++n)
    EXPECT_EQ(ReadAdtg(good.substr(0, n), &fields, &rows).number(), kNotRecordsetFile) << "cut at " << n;

  auto one_column = [](uint16_t type) { return Tg().header().result(1, 1).column(1, u"c", type, 8, 0x60); };
  struct Case {
    const char* name;
    std::string bytes;
    const char* says;
  } cases[] = {
      {"unknown token", Tg().header().result(1, 0).column(1, u"c", 130, 8, 0).raw("\x44").done().b, "unknown token 68"},
      {"bytes after end", good + "x", "after the end"},
      {"text longer than file", one_column(130).row(std::string(1, '\0')).le<uint32_t>(0xFFFFFFF0u).done().b, "truncated or malformed"},
      {"odd text length", one_column(130).row(std::string(1, '\0')).le<uint32_t>(3).raw("abc").done().b, "malformed"},
      {"unsupported type", one_column(7).done().b, "unsupported type 7"},
      {"no columns", Tg().header().result(0, 0).done().b, "declares 0 columns"},
      {"absurd column count", Tg().header().result(60000, 0).done().b, "declares 60000 columns"},
      {"row before columns", Tg().header().result(2, 1).column(1, u"c", 130, 8, 0).row("\x03").done().b, "before the description"},
      {"element size past end", Tg().header().raw("\x03\xFF\xFF").b, "truncated"},
      {"big-endian", std::string("\x01\x07TG!\x01\x00\x01\x01\x0F", 10), "big-endian"},
      {"columns missing", Tg().header().result(2, 0).column(1, u"c", 130, 8, 0).done().b, "incomplete"},
  };
  for (const Case& c : cases) {
    Status s = ReadAdtg(c.bytes, &fields, &rows);
    EXPECT_EQ(s.number(), kNotRecordsetFile) << c.name;
    EXPECT_NE(s.description().find(c.says), std::string::npos) << c.name << ": " << s.ToString();
    EXPECT_TRUE(fields.empty() && rows.empty()) << c.name;
  }

  // Many all-null rows of a wide recordset: refused before memory grows far beyond the input.
  Tg wide;
  wide.header().result(4096, 0);
  for (uint16_t i = 1; i <= 4096; ++i) wide.column(i, u"c", 2, 2, 0x60);
  for (int r = 0; r < 2000; ++r) wide.row(std::string(512, '\xFF'));
  EXPECT_NE(ReadAdtg(wide.done().b, &fields, &rows).description().find("too many empty values"), std::string::npos);
}

// A million-row result saved through the streaming overload, as the display recordset does, and
// read back whole (its speed is measured by bench/display, not here).
TEST(Adtg, AMillionRowsSaveAndReadBack) {
  test::TempDir dir;
  const std::vector<FieldInfo> fields = {TextField("c000", 12), TextField("c001", 40), DoubleField("c002"),
                                         NumericField("c003"), TextField("k001", 255)};
  std::vector<Value> row = {"000000000001", "descrizione dell'articolo", 1.5, 2.25, "K0001"};
  const size_t n = 1000000;
  ASSERT_TRUE(WriteRecordsetFile(dir.file("big.dat"), fields, n, [&row](size_t i) -> const std::vector<Value>& {
                row[2].AssignDouble(static_cast<double>(i));
                return row;
              }).ok());
  std::vector<FieldInfo> got_fields;
  std::vector<std::vector<Value>> got;
  ASSERT_TRUE(ReadRecordsetFile(dir.file("big.dat"), &got_fields, &got).ok());
  ASSERT_EQ(got.size(), n);
  EXPECT_EQ(got[n - 1][2], Value(static_cast<double>(n - 1)));
}

}  // namespace
}  // namespace kyx::data
