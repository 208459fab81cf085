// The data-set download on the wire: the blocks of a system's records in the shape the client
// names, the last short block, giving up, and the requests the server refuses.
#include <sqlite3.h>

#include "tests/tools/dataserver/loopback.h"
#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/store.h"

namespace kyx::test {
namespace {

namespace ds = dataserver;

class DataSetDownloadTest : public SampleServer {
 protected:
  // The record length of a system's data set and its row count.
  void Shape(const std::string& system, long* length, long* rows) {
    ds::Store store;
    ASSERT_TRUE(store.Open(db));
    ds::DataSetShape shape;
    ASSERT_TRUE(ds::LoadDataSetShape(store, system, &shape));
    *length = 0;
    for (const auto& k : shape.keys) *length += k.length;
    for (const auto& v : shape.values) *length += 9L * v.slots;
    std::unique_ptr<data::Statement> st;
    bool row = false;
    ASSERT_TRUE(store.connection().Prepare(std::string("SELECT COUNT(*) FROM \"") +
                                               (system == ds::sample::kSales ? "LIBVEN" : "LIBORD") + "/KYX_D0_00F\"",
                                           &st));
    ASSERT_TRUE(st->Step(&row));
    *rows = static_cast<long>(st->Read(0).AsInteger());
  }
  static std::string First(long per_block, long length, const std::string& library, const std::string& filter) {
    return "e00532" + Digits(per_block, 5) + Digits(length, 5) + Pad(library, 10) + Pad(filter, 512);
  }
};

TEST_F(DataSetDownloadTest, BlocksOfTheNamedShapeUntilAShortOne) {
  long length = 0, rows = 0;
  Shape(ds::sample::kOrders, &length, &rows);
  ASSERT_GT(rows, 20);
  auto client = LoggedIn();
  EXPECT_EQ(client->Exchange("l04462D" + std::string(95, '0') + std::string(4366 + 6, ' ')).status, '0');
  // Ten records a block, from another system's library than the one logged in to.
  auto reply = client->Exchange(First(10, length, ds::sample::kOrdersLibrary, ""));
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(reply.status, '0');
  long got = reply.length / length;
  EXPECT_EQ(reply.payload.size(), static_cast<std::size_t>(10 * length));
  while (true) {
    reply = client->Exchange("f00005" + Digits(10, 5));
    ASSERT_TRUE(reply.ok);
    got += reply.length / length;
    if (reply.length < 10 * length) break;
  }
  EXPECT_EQ(got, rows);
  // After the end, and after giving up, the answer is an empty block.
  EXPECT_EQ(client->Exchange("f00005" + Digits(10, 5)).length, 0);
  client->Exchange(First(10, length, ds::sample::kOrdersLibrary, "where (k_001 <> '')"));
  reply = client->Exchange("g00000");
  EXPECT_EQ(reply.status, '0');
  EXPECT_EQ(reply.length, 0);
  EXPECT_EQ(client->Exchange("f00005" + Digits(10, 5)).length, 0);
}

TEST_F(DataSetDownloadTest, RequestsThatCannotBeServedAreRefused) {
  long length = 0, rows = 0;
  Shape(ds::sample::kSales, &length, &rows);
  auto client = LoggedIn();
  struct Case {
    const char* name;
    std::string request;
    char status;
  };
  const std::vector<Case> cases = {
      {"wrong record length", First(10, length + 1, "", ""), '8'},
      {"no records per block", First(0, length, "", ""), '8'},
      {"a block beyond one reply", First(8192 / length + 1, length, "", ""), '8'},
      {"unknown library", First(10, length, "NOLIB", ""), '2'},
      {"a filter that does not run", First(10, length, "", "where (k_999 = 1)"), '2'},
      {"digits that are not", "e00532xx" + std::string(530, ' '), '8'},
  };
  for (const auto& c : cases) {
    auto reply = client->Exchange(c.request);
    EXPECT_TRUE(reply.ok) << c.name;
    EXPECT_EQ(reply.status, c.status) << c.name;
    EXPECT_EQ(reply.length, 0) << c.name;
  }
  // The blank library is the system logged in to.
  auto reply = client->Exchange(First(1, length, "", ""));
  EXPECT_EQ(reply.status, '0');
  EXPECT_EQ(reply.length, length);
}

}  // namespace
}  // namespace kyx::test
