// The server time and the description stream: blocks of variable records closed by "C" or "X",
// everything changed since the time asked for, and the changes made between two logins.
#include "tests/tools/dataserver/loopback.h"
#include "platform/text/cp1252.h"
#include "tools/dataserver/store.h"

namespace kyx::test {
namespace {

namespace sample = dataserver::sample;
using dataserver::DescriptionRow;

struct Stream {
  std::vector<DescriptionRow> rows;
  std::vector<long> block_sizes;
  std::string closings;  // the closing mark of each block
  bool ok = true;
};

// Asks for the descriptions changed since `since` the way the program does: "d00015", the time
// and "0", then "1" for each further block, until "X".
Stream ReadStream(RawClient& client, const CodeTable& table, const std::string& since) {
  Stream s;
  for (int block = 0; block < 1000; ++block) {
    const auto reply = client.Exchange("d00015" + since + (block == 0 ? "0" : "1"));
    if (!reply.ok || reply.status != '0' || reply.length < 1) {
      s.ok = false;
      return s;
    }
    s.block_sizes.push_back(reply.length);
    const std::string& p = reply.payload;
    std::size_t at = 1;
    for (;;) {
      if (at > p.size()) {
        s.ok = false;  // no closing mark
        return s;
      }
      const std::string status = A(table, p, at, 1);
      if (status == "C" || status == "X") {
        s.closings += status;
        if (at != p.size()) s.ok = false;  // the mark closes the block
        break;
      }
      DescriptionRow r;
      r.status = status;
      r.key = static_cast<int>(B(p, at + 1, 2));
      r.progressive = static_cast<int>(B(p, at + 3, 2));
      const std::size_t c = static_cast<std::size_t>(B(p, at + 5, 2));
      const std::size_t d = static_cast<std::size_t>(B(p, at + 7, 2));
      r.code = A(table, p, at + 9, c);
      r.text = A(table, p, at + 9 + c, d);
      s.rows.push_back(r);
      at += 9 + c + d;
    }
    if (s.closings.back() == 'X') return s;
  }
  s.ok = false;
  return s;
}

long CountSince(const std::string& db, const std::string& since) {
  dataserver::Store store;
  EXPECT_TRUE(store.Open(db).ok());
  std::vector<DescriptionRow> rows;
  EXPECT_TRUE(store.Descriptions(sample::kSales, since, &rows).ok());
  return static_cast<long>(rows.size());
}

class DescriptionsTest : public SampleServer {};

TEST_F(DescriptionsTest, ServerTimeIsFourteenCharacters) {
  auto client = Connect();
  const auto reply = client->Exchange("k00000");
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(reply.status, '0');
  EXPECT_EQ(A(table(), reply.payload, 1, reply.payload.size()), kServerTime);
  server->SetServerTime("20250102030405");
  EXPECT_EQ(A(table(), client->Exchange("k00000").payload, 1, 14), "20250102030405");
}

TEST_F(DescriptionsTest, FirstUpdateStreamsEveryRowInBlocksOfAtMost8192) {
  {
    // Enough long descriptions for three blocks.
    dataserver::Store store;
    ASSERT_TRUE(store.Open(db).ok());
    ASSERT_TRUE(store.Begin().ok());
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(store.PutDescription({sample::kSales, 12, "Z" + Digits(i, 3), 2, " ",
                                        Pad("Categoria di prova numero " + std::to_string(i), 40), "20240102000000"})
                      .ok());
    }
    ASSERT_TRUE(store.Commit().ok());
  }
  auto client = LoggedIn();
  const Stream s = ReadStream(*client, table(), "00000000000000");
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(static_cast<long>(s.rows.size()), CountSince(db, "00000000000000"));
  ASSERT_GE(s.block_sizes.size(), 3u);
  EXPECT_EQ(s.closings, std::string(s.block_sizes.size() - 1, 'C') + "X");
  for (long size : s.block_sizes) EXPECT_LE(size, 8192);
  // A full block leaves no room for the next record.
  EXPECT_GT(s.block_sizes[0], 8192 - 9 - 30 - 40 - 1);

  bool deleted = false, progressive16 = false;
  for (const auto& r : s.rows) {
    deleted |= r.status == "A" && r.progressive == 1;
    progressive16 |= r.progressive == 16;
    EXPECT_TRUE(r.status == "A" || r.status == " ");
  }
  EXPECT_TRUE(deleted);
  EXPECT_TRUE(progressive16);
  // Ordered by key, code and progressive; the zone names come first (key 7).
  EXPECT_EQ(s.rows[0].key, 7);
  EXPECT_EQ(s.rows[0].code, "CEN");
  EXPECT_EQ(s.rows[0].progressive, 1);
  EXPECT_EQ(s.rows[0].text, "Centro");
}

TEST_F(DescriptionsTest, AnUpdateSinceATimeBringsOnlyLaterChanges) {
  auto client = LoggedIn();
  const std::string since = "20240401000000";
  const Stream s = ReadStream(*client, table(), since);
  ASSERT_TRUE(s.ok);
  const long expected = CountSince(db, since);
  EXPECT_GT(expected, 0);
  EXPECT_LT(expected, CountSince(db, "00000000000000"));
  EXPECT_EQ(static_cast<long>(s.rows.size()), expected);
  // Nothing changed after the last change of the sample: one block with the final mark only.
  const Stream none = ReadStream(*client, table(), "20240701000000");
  ASSERT_TRUE(none.ok);
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.block_sizes, std::vector<long>{1});
}

TEST_F(DescriptionsTest, ChangesBetweenTwoLoginsComeWithTheNextUpdate) {
  {
    auto first = LoggedIn();
    const Stream all = ReadStream(*first, table(), "00000000000000");
    ASSERT_TRUE(all.ok);
  }
  // Between the logins: a customer renamed, one deleted, a new code.
  {
    dataserver::Store store;
    ASSERT_TRUE(store.Open(db).ok());
    ASSERT_TRUE(store.PutDescription({sample::kSales, 9, "C00002", 1, " ", "Nuovo nome S.p.A.", "20240702080000"}).ok());
    ASSERT_TRUE(store.PutDescription({sample::kSales, 9, "C00003", 1, "A", "", "20240702080100"}).ok());
    ASSERT_TRUE(store.PutDescription({sample::kSales, 11, "LZ", 1, " ", "Linea nuova", "20240702080200"}).ok());
  }
  auto second = LoggedIn();
  const Stream s = ReadStream(*second, table(), kServerTime);
  ASSERT_TRUE(s.ok);
  ASSERT_EQ(s.rows.size(), 3u);
  EXPECT_EQ(s.rows[0].code, "C00002");
  EXPECT_EQ(s.rows[0].text, "Nuovo nome S.p.A.");
  EXPECT_EQ(s.rows[1].status, "A");
  EXPECT_EQ(s.rows[1].text, "");
  EXPECT_EQ(s.rows[2].key, 11);
  EXPECT_EQ(s.closings, "X");
}

// The stream is read from the store block by block (and one block ahead): it must still carry
// every row exactly once, in key order, with the texts the store holds.
TEST_F(DescriptionsTest, TheStreamReadBlockByBlockCarriesEveryRowOnceInKeyOrder) {
  {
    dataserver::Store store;
    ASSERT_TRUE(store.Open(db).ok());
    ASSERT_TRUE(store.Begin().ok());
    for (int i = 0; i < 1500; ++i) {
      ASSERT_TRUE(store.PutDescription({sample::kSales, 12, "Z" + Digits(i, 3), 1 + i % 16, i % 7 ? " " : "A",
                                        Pad("Riga " + std::to_string(i), 10 + i % 31), "20240102000000"})
                      .ok());
    }
    ASSERT_TRUE(store.Commit().ok());
  }
  dataserver::Store store;
  ASSERT_TRUE(store.Open(db).ok());
  std::vector<DescriptionRow> expected;
  ASSERT_TRUE(store.Descriptions(sample::kSales, "00000000000000", &expected).ok());

  auto client = LoggedIn();
  const Stream s = ReadStream(*client, table(), "00000000000000");
  ASSERT_TRUE(s.ok);
  ASSERT_GE(s.block_sizes.size(), 3u);
  ASSERT_EQ(s.rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(s.rows[i].key, expected[i].key) << i;
    EXPECT_EQ(s.rows[i].code, expected[i].code) << i;
    EXPECT_EQ(s.rows[i].progressive, expected[i].progressive) << i;
    EXPECT_EQ(s.rows[i].status, expected[i].status) << i;
    EXPECT_EQ(s.rows[i].text, std::string(text::rtrim_blanks(expected[i].text))) << i;
  }
}

// A new start in the middle of a stream begins again from its first row, whatever was read ahead.
TEST_F(DescriptionsTest, StartingAgainMidStreamBeginsFromTheFirstRow) {
  {
    dataserver::Store store;
    ASSERT_TRUE(store.Open(db).ok());
    ASSERT_TRUE(store.Begin().ok());
    for (int i = 0; i < 300; ++i) {
      ASSERT_TRUE(store.PutDescription({sample::kSales, 12, "Z" + Digits(i, 3), 2, " ",
                                        Pad("Categoria di prova numero " + std::to_string(i), 40), "20240102000000"})
                      .ok());
    }
    ASSERT_TRUE(store.Commit().ok());
  }
  auto client = LoggedIn();
  const auto first = client->Exchange("d00015000000000000000");
  ASSERT_TRUE(first.ok);
  const auto second = client->Exchange("d00015000000000000001");
  ASSERT_TRUE(second.ok);
  EXPECT_NE(second.payload, first.payload);
  // Started again: the same first block, then the whole stream as from a fresh start.
  const auto again = client->Exchange("d00015000000000000000");
  ASSERT_TRUE(again.ok);
  EXPECT_EQ(again.payload, first.payload);
  const Stream rest = ReadStream(*client, table(), "00000000000000");
  ASSERT_TRUE(rest.ok);
  EXPECT_EQ(static_cast<long>(rest.rows.size()), CountSince(db, "00000000000000"));
}

TEST_F(DescriptionsTest, ContinuingWithoutAStartEndsAtOnce) {
  auto client = LoggedIn();
  const auto reply = client->Exchange("d00015000000000000001");
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(A(table(), reply.payload, 1, reply.payload.size()), "X");
}

}  // namespace
}  // namespace kyx::test
