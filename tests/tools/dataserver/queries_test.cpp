// Elaboration queries on the server: the dialect rewritten into SQLite with the record layout of
// its rows, packed numbers, the layout and query requests on the wire, and the sample's data sets.
#include <sqlite3.h>

#include <cmath>

#include "tests/tools/dataserver/loopback.h"
#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/queries.h"

namespace kyx::test {
namespace {

using dataserver::PreparedQuery;
namespace ds = dataserver;
namespace sample = dataserver::sample;

// Every row of `sql` on the server database, read by sqlite3 itself, as texts.
std::vector<std::vector<std::string>> Sql(const std::string& path, const std::string& sql) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* handle = nullptr;
  sqlite3_stmt* st = nullptr;
  if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
      sqlite3_prepare_v2(handle, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
    while (sqlite3_step(st) == SQLITE_ROW) {
      rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const auto* t = sqlite3_column_text(st, i);
        rows.back().emplace_back(t ? reinterpret_cast<const char*>(t) : "NULL");
      }
    }
  }
  sqlite3_finalize(st);
  sqlite3_close(handle);
  return rows;
}

struct Dialetto {
  const char* testo;
  const char* sql;            // "" when the server must refuse it
  std::vector<int> larghezze;  // 0 = packed number
};

const Dialetto kDialetto[] = {
    {"SELECT k_007,CHAR('ii', 2),decimal(sum(V_001_01+V_001_03), 17, 3) FROM LIBVEN/KYX_D2_00F  group by k_007",
     "SELECT k_007,'ii',round(sum(V_001_01+V_001_03), 3) FROM \"LIBVEN/KYX_D0_00F\"  group by k_007", {3, 2, 0}},
    {"sELECT k_008,CHAR('\xBF\xBF\xBF', 3),decimal( 0, 17, 3), decimal(sum(V_002_02), 17, 3)   FROM LIBVEN/KYX_D0_00F "
     "where ((k_007 in('NOR','it''s'))) group by k_008",
     "sELECT k_008,'\xBF\xBF\xBF',round( 0, 3), round(sum(V_002_02), 3)   FROM \"LIBVEN/KYX_D0_00F\" "
     "where ((k_007 in('NOR','it''s'))) group by k_008",
     {4, 3, 0, 0}},
    {"select k_010 FROM LIBVEN/KYX_D1_00F  group by k_010 order by k_010",
     "select k_010 FROM \"LIBVEN/KYX_D0_00F\"  group by k_010 order by k_010", {8}},
    {"SELECT k_003,decimal(sum(V_001_01), 17, 3) FROM LIBORD/KYX_D0_00F  group by k_003",
     "SELECT k_003,round(sum(V_001_01), 3) FROM \"LIBORD/KYX_D0_00F\"  group by k_003", {6, 0}},
    {"SELECT k_099,decimal(sum(V_001_01), 17, 3) FROM LIBVEN/KYX_D0_00F", "", {}},  // no such key
    {"SELECT k_007,decimal(sum(V_001_01), 17, 3) FROM LIBXXX/KYX_D0_00F", "", {}},  // no such library
    {"SELECT k_007 FROM KYX_D0_00F", "", {}},                                    // no library at all
    {"SELECT k_007 FROM LIBVEN/KYX_D0_00F where k_007 = 'NOR", "", {}},           // an open literal
};

class QueriesTest : public SampleServer {};

TEST_F(QueriesTest, TheDialectBecomesSQLiteWithTheRecordOfItsRows) {
  ds::Store store;
  ASSERT_TRUE(store.Open(db).ok());
  for (const auto& c : kDialetto) {
    SCOPED_TRACE(c.testo);
    PreparedQuery q;
    std::string error;
    const bool ok = ds::PrepareQuery(store, c.testo, &q, &error);
    ASSERT_EQ(ok, std::string(c.sql) != "") << error;
    if (!ok) continue;
    EXPECT_EQ(q.sql, c.sql);
    std::vector<int> w;
    std::size_t length = 0;
    for (const auto& it : q.items) {
      w.push_back(it.width);
      length += it.width > 0 ? static_cast<std::size_t>(it.width) : 9;
    }
    EXPECT_EQ(w, c.larghezze);
    EXPECT_EQ(q.record_length, length);
  }
}

TEST(PackedNumber, SeventeenDigitsThreeDecimalsAndTheSign) {
  EXPECT_EQ(ds::PackedNumber(12.5), std::string("\0\0\0\0\0\0\x12\x50\x0F", 9));
  EXPECT_EQ(ds::PackedNumber(-0.001), std::string("\0\0\0\0\0\0\0\0\x1D", 9));
  EXPECT_EQ(ds::PackedNumber(-0.0001), std::string("\0\0\0\0\0\0\0\0\x0F", 9)) << "no negative zero";
  EXPECT_EQ(ds::PackedNumber(std::nan("")), std::string("\0\0\0\0\0\0\0\0\x0F", 9));
  EXPECT_EQ(ds::PackedNumber(1234567890.125), std::string("\0\0\x12\x34\x56\x78\x90\x12\x5F", 9));
  // Beyond 17 digits the low ones stay.
  EXPECT_EQ(ds::PackedNumber(1.5e14), std::string("\x50\0\0\0\0\0\0\0\x0F", 9));
}

// The packed number of a record back as a double.
double Unpack(const std::string& b) {
  double v = 0;
  for (std::size_t k = 0; k < 9; ++k) {
    const auto x = static_cast<uint8_t>(b[k]);
    v = v * 10 + (x >> 4);
    if (k < 8) v = v * 10 + (x & 15);
  }
  return ((static_cast<uint8_t>(b[8]) & 15) == 0xD ? -v : v) / 1000;
}

TEST_F(QueriesTest, AQueryIsAnsweredInBlocksOfRecordsAfterTheLayoutRecord) {
  auto client = LoggedIn();
  const std::string record = "L00001" + std::string(4456, ' ');
  EXPECT_EQ(client->Exchange("l04462" + record + std::string(6, ' ')).status, '0');
  EXPECT_EQ(client->Exchange("l00004abcd      ").status, '8') << "a record of the wrong length";

  // A text longer than one block: its filter repeats a condition.
  std::string filtro = "where (k_007 in('NOR','CEN','SUD','EST','OVE','ISO'))";
  while (filtro.size() < 9000) filtro += " and (k_007 in('NOR','CEN','SUD','EST','OVE','ISO'))";
  const std::string testo = "SELECT k_007,decimal(sum(V_001_02), 17, 3) FROM LIBVEN/KYX_D2_00F " + filtro +
                            " group by k_007 order by k_007";
  auto reply = client->Exchange("h" + Digits(static_cast<long>(testo.size()), 5) + testo);
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(reply.status, '1');
  ASSERT_EQ(reply.payload.size() % 12, 0u);
  const auto atteso =
      Sql(db, "SELECT K_007, round(sum(V_001_02), 3) FROM \"LIBVEN/KYX_D0_00F\" GROUP BY K_007 ORDER BY K_007");
  ASSERT_EQ(reply.payload.size() / 12, atteso.size());
  for (std::size_t r = 0; r < atteso.size(); ++r) {
    EXPECT_EQ(A(table(), reply.payload, 12 * r + 1, 3), atteso[r][0]);
    EXPECT_NEAR(Unpack(reply.payload.substr(12 * r + 3, 9)), std::stod(atteso[r][1]), 0.0005);
  }
  // Nothing more to read: the next block is an empty last one; a query it cannot run fails.
  reply = client->Exchange("i00000");
  EXPECT_EQ(reply.status, '1');
  EXPECT_EQ(reply.length, 0);
  const auto h = [](const std::string& t) { return "h" + Digits(static_cast<long>(t.size()), 5) + t; };
  EXPECT_EQ(client->Exchange(h("SELECT k_007 FROM KYX_D0_00F")).status, '2');
  reply = client->Exchange(h("SELECT k_001 FROM LIBVEN/KYX_D0_00F where K_001 = '2024' group by k_001"));
  EXPECT_EQ(reply.status, '1') << "still serving";
  EXPECT_EQ(table().DecodeText(reply.payload), "2024");
}

TEST(DataSets, RowsAreTheSameFromTheSameSeedAndFitTheirKeys) {
  ds::DataSetShape shape;
  shape.keys = {{1, 4, "Anno"}, {7, 3, "Zona"}, {9, 6, "Cliente"}, {12, 2, "Categoria cliente"}, {20, 5, "Altro"}};
  shape.values = {{1, 3}, {2, 1}};
  EXPECT_EQ(ds::DataSetColumnNames(shape), (std::vector<std::string>{"K_001", "K_007", "K_009", "K_012", "K_020",
                                                                     "V_001_01", "V_001_02", "V_001_03", "V_002_01"}));
  const auto options = ds::SizeOptions(ds::SampleSize::kSmall, 7);
  ds::DataSetRows a(shape, options, 3, 2000), b(shape, options, 3, 2000), c(shape, options, 4, 2000);
  std::vector<data::Value> ra, rb, rc;
  int64_t n = 0, uguali_c = 0;
  while (a.Next(&ra)) {
    ASSERT_TRUE(b.Next(&rb));
    ASSERT_TRUE(c.Next(&rc));
    ++n;
    ASSERT_EQ(ra.size(), 9u);
    for (std::size_t i = 0; i < ra.size(); ++i) EXPECT_EQ(ra[i].AsText(), rb[i].AsText());
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(ra[i].AsText().size(), static_cast<std::size_t>(shape.keys[i].length));
    uguali_c += ra[2].AsText() == rc[2].AsText();
  }
  EXPECT_EQ(n, 2000);
  EXPECT_FALSE(b.Next(&rb));
  EXPECT_LT(uguali_c, 200) << "another seed, other rows";
}

TEST_F(QueriesTest, TheSampleHoldsTheDataSetsOfBothSystems) {
  const auto o = ds::SizeOptions(ds::SampleSize::kSmall, 1);
  EXPECT_EQ(Sql(db, "SELECT count(*) FROM \"LIBVEN/KYX_D0_00F\""), (std::vector<std::vector<std::string>>{
                                                                      {std::to_string(o.data_set_rows)}}));
  EXPECT_EQ(Sql(db, "SELECT count(*) FROM \"LIBORD/KYX_D0_00F\""), (std::vector<std::vector<std::string>>{
                                                                      {std::to_string(o.data_set_rows / 4)}}));
  // Every sales row belongs to a customer of the sample, in the customer's zone.
  EXPECT_EQ(Sql(db, "SELECT count(*) FROM \"LIBVEN/KYX_D0_00F\" WHERE K_009 NOT LIKE 'C_____' OR length(K_007) <> 3"),
            (std::vector<std::vector<std::string>>{{"0"}}));
}

}  // namespace
}  // namespace kyx::test
