// The block reads of the definitions, made the way the program makes them: a first offset, a
// number of records per block, the byte count K x R in the request, the records taken one after
// the other until the end mark or the last record. The replies are decoded with the byte layouts.
#include <sstream>

#include "tests/tools/dataserver/loopback.h"

namespace kyx::test {
namespace {

namespace sample = dataserver::sample;

struct Download {
  std::vector<std::string> records;  // the records before the end mark
  bool end_mark = false;             // stopped on a record whose byte `mark` is "A"
  std::vector<std::string> requests; // the requests sent, as text
  bool ok = true;
};

// One block download: `head` is the request letter with its body length ("a00022"), `tail` what
// follows offset and byte count in the body (the library, the layout number, or nothing).
Download Fetch(RawClient& client, const CodeTable& table, const std::string& head, const std::string& tail,
               long offset, int total, int per_block, std::size_t record, std::size_t mark) {
  Download d;
  int remaining = total;
  while (remaining > 0) {
    const int k = std::min(per_block, remaining);
    const std::string request = head + Digits(offset, 7) + Digits(k * static_cast<long>(record), 5) + tail;
    d.requests.push_back(request);
    const auto reply = client.Exchange(request);
    if (!reply.ok || reply.status != '0' || reply.length != static_cast<long>(k * record)) {
      d.ok = false;
      return d;
    }
    for (int r = 0; r < k; ++r) {
      const std::string rec = reply.payload.substr(r * record, record);
      if (mark && A(table, rec, mark, 1) == "A") {
        d.end_mark = true;
        return d;
      }
      d.records.push_back(rec);
    }
    remaining -= k;
    offset += k * static_cast<long>(record);
  }
  return d;
}

std::string Rtrim(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

class DefinitionsTest : public SampleServer {
 protected:
  void SetUp() override {
    SampleServer::SetUp();
    client = LoggedIn();
  }
  Download Library(const std::string& library, long offset, int total, int per_block, std::size_t record,
                   std::size_t mark) {
    return Fetch(*client, table(), "a00022", Pad(library, 10), offset, total, per_block, record, mark);
  }
  std::unique_ptr<RawClient> client;
};

TEST_F(DefinitionsTest, AreasEndAtTheMarkAfterTheLast) {
  const Download d = Library("", 106752, 32, 127, 64, 64);
  ASSERT_TRUE(d.ok);
  EXPECT_TRUE(d.end_mark);
  ASSERT_EQ(d.records.size(), 4u);
  EXPECT_EQ(d.requests, std::vector<std::string>{"a00022010675202048          "});
  EXPECT_EQ(A(table(), d.records[0], 3, 3), "TEM");
  EXPECT_EQ(Rtrim(A(table(), d.records[2], 6, 40)), "Rete commerciale");
  EXPECT_EQ(A(table(), d.records[3], 46, 5), "00040");
}

TEST_F(DefinitionsTest, KeysOfEachLibraryInBlocksOf21) {
  const Download d = Library(sample::kSalesLibrary, 256, 128, 21, 384, 384);
  ASSERT_TRUE(d.ok);
  EXPECT_TRUE(d.end_mark);
  ASSERT_EQ(d.records.size(), 14u);
  // The mark is the 15th record: the first block of 21 holds it, nothing more is asked.
  EXPECT_EQ(d.requests.size(), 1u);
  const std::string& customer = d.records[8];
  EXPECT_EQ(B(customer, 1, 2), 9);
  EXPECT_EQ(B(customer, 3, 2), 6);
  EXPECT_EQ(Rtrim(A(table(), customer, 9, 40)), "Cliente");
  EXPECT_EQ(A(table(), customer, 94, 4), "SS  ");
  EXPECT_EQ(Rtrim(A(table(), customer, 98, 20)), "Cliente");
  EXPECT_EQ(Rtrim(A(table(), customer, 118, 20)), "Descrizione Cliente");
  EXPECT_EQ(A(table(), customer, 339, 3), "ANA");
  EXPECT_EQ(A(table(), customer, 342, 5), "00090");
  EXPECT_EQ(B(customer, 347, 2), 9);
  EXPECT_EQ(A(table(), customer, 349, 2), "VK");  // visible ("V"), of kind "K"
  EXPECT_EQ(A(table(), customer, 351, 3), "COM");
  EXPECT_EQ(A(table(), customer, 363, 1), "1");
  EXPECT_EQ(Rtrim(A(table(), customer, 364, 20)), "#MID(2,5)#");
  // Kinds and attributes across the keys.
  std::string kinds, attributes;
  for (const auto& k : d.records) {
    kinds += A(table(), k, 350, 1);
    attributes += A(table(), k, 363, 1);
  }
  EXPECT_EQ(kinds, "KDDDDDKKKKAAID");
  EXPECT_EQ(attributes, "3BAICK1111123D");
  // The blank library is the logged-in system's; the other library gives the other system.
  EXPECT_EQ(Library("", 256, 21, 21, 384, 384).records, d.records);
  const Download orders = Library(sample::kOrdersLibrary, 256, 128, 21, 384, 384);
  ASSERT_EQ(orders.records.size(), 9u);
  EXPECT_EQ(Rtrim(A(table(), orders.records[7], 9, 40)), "Stato ordine");
}

TEST_F(DefinitionsTest, ValuesWithTheirSlots) {
  const Download d = Library(sample::kSalesLibrary, 49408, 256, 127, 64, 64);
  ASSERT_TRUE(d.ok);
  EXPECT_TRUE(d.end_mark);
  ASSERT_EQ(d.records.size(), 3u);
  EXPECT_EQ(B(d.records[1], 1, 2), 2);
  EXPECT_EQ(B(d.records[1], 3, 2), 3);
}

TEST_F(DefinitionsTest, SystemsListInFourBlocksWithTheSharedKeyMap) {
  const Download d = Library("", 289664, 64, 21, 384, 0);
  ASSERT_TRUE(d.ok);
  ASSERT_EQ(d.records.size(), 64u);
  ASSERT_EQ(d.requests.size(), 4u);
  EXPECT_EQ(d.requests[3], "a00022" + Digits(289664 + 63 * 384, 7) + "00384" + Pad("", 10));
  std::vector<std::string> considered;
  for (const auto& r : d.records) {
    if (A(table(), r, 384, 1) == " ") considered.push_back(Rtrim(A(table(), r, 3, 10)));
  }
  EXPECT_EQ(considered, (std::vector<std::string>{"VENDITE", "ORDINI"}));
  const std::string& orders = d.records[1];
  EXPECT_EQ(B(orders, 1, 2), 2);
  EXPECT_EQ(A(table(), orders, 13, 10), "LIBORD    ");
  EXPECT_EQ(Rtrim(A(table(), orders, 23, 50)), "KYXORD");
  // Key map byte j at 71 + 2j: sales key j is orders key ...
  std::ostringstream map;
  for (int j = 1; j <= 16; ++j) map << B(orders, 71 + 2 * j, 2) << ' ';
  EXPECT_EQ(map.str(), "1 2 6 9 0 0 0 5 3 4 0 0 0 0 0 0 ");
  EXPECT_EQ(B(orders, 71 + 2 * 128, 2), 0);
  // ...and the system lists itself with the identity map.
  EXPECT_EQ(B(d.records[0], 71 + 2 * 14, 2), 14);
  EXPECT_EQ(B(d.records[0], 71 + 2 * 15, 2), 0);
}

TEST_F(DefinitionsTest, LayoutsThenTheirElementsAndDrillRows) {
  const Download layouts = Library("", 108800, 256, 14, 576, 576);
  ASSERT_TRUE(layouts.ok);
  EXPECT_TRUE(layouts.end_mark);
  ASSERT_EQ(layouts.records.size(), 9u);
  const std::string& l1 = layouts.records[0];
  EXPECT_EQ(B(l1, 1, 2), 1);
  EXPECT_EQ(B(l1, 3, 2), 8);
  EXPECT_EQ(B(l1, 5, 2), 2);
  EXPECT_EQ(Rtrim(A(table(), l1, 7, 40)), "Vendite per zona e agente");
  EXPECT_EQ(Rtrim(A(table(), l1, 47, 40)), "Arial");
  EXPECT_EQ(A(table(), l1, 99, 1), "A");
  EXPECT_EQ(Rtrim(A(table(), l1, 161, 40)), "Anno di riferimento");
  EXPECT_EQ(B(l1, 521, 2), 1);
  EXPECT_EQ(B(l1, 523, 2), 0);
  EXPECT_EQ(Rtrim(A(table(), layouts.records[1], 201, 40)), "Mese finale");
  EXPECT_EQ(B(layouts.records[1], 523, 2), 2);
  // Only layout 6 gives its workbook export the grid's look.
  for (std::size_t i = 0; i < layouts.records.size(); ++i) {
    EXPECT_EQ(A(table(), layouts.records[i], 160, 1), i == 5 ? "S" : " ") << "layout " << i + 1;
  }

  const Download elements = Fetch(*client, table(), "b00017", "00001", 80, 128, 3, 2320, 320);
  ASSERT_TRUE(elements.ok);
  EXPECT_TRUE(elements.end_mark);
  ASSERT_EQ(elements.records.size(), 9u);
  EXPECT_EQ(elements.requests[0], "b000170000080069600000" "1");
  EXPECT_EQ(elements.requests[1], "b000170007040069600000" "1");
  const std::string& share = elements.records[6];
  EXPECT_EQ(B(share, 1, 2), 7);
  EXPECT_EQ(B(share, 3, 2), 1);
  EXPECT_EQ(B(share, 5, 2), 7);
  EXPECT_EQ(B(share, 7, 2), 1200);
  EXPECT_EQ(A(table(), share, 9, 2), "VT");
  EXPECT_EQ(Rtrim(A(table(), share, 11, 40)), "% sul totale");
  EXPECT_EQ(Rtrim(A(table(), share, 91, 60)), "c6/t6*100");
  const std::string& filtered = elements.records[8];
  const std::size_t f1 = 320, f2 = 400;
  EXPECT_EQ(B(filtered, f1 + 1, 2), 12);
  EXPECT_EQ(A(table(), filtered, f1 + 3, 2), " =");
  EXPECT_EQ(Rtrim(A(table(), filtered, f1 + 5, 60)), "GD");
  EXPECT_EQ(B(filtered, f2 + 1, 2), 1);
  EXPECT_EQ(A(table(), filtered, f2 + 4, 1), "R");
  EXPECT_EQ(Rtrim(A(table(), filtered, f2 + 5, 60)), "2023;2024");
  EXPECT_EQ(A(table(), filtered, f2 + 65, 1), "E");
  EXPECT_EQ(A(table(), filtered, 320 + 80 * 2 + 4, 1), " ");  // an unused filter part: no operator

  const Download drills = Fetch(*client, table(), "m00017", "00001", 0, 1024, 25, 320, 320);
  ASSERT_TRUE(drills.ok);
  EXPECT_TRUE(drills.end_mark);
  ASSERT_EQ(drills.records.size(), 2u);
  EXPECT_EQ(B(drills.records[0], 1, 2), 7);
  EXPECT_EQ(B(drills.records[0], 3, 2), 1);
  EXPECT_EQ(B(drills.records[0], 5, 2), 4);
  EXPECT_EQ(B(drills.records[0], 7, 2), 9);
  EXPECT_EQ(Rtrim(A(table(), drills.records[1], 43, 40)), "Prodotti dell'agente");
  EXPECT_EQ(A(table(), drills.records[1], 320, 1), " ");

  // A layout without elements: the first record is the mark.
  const Download none = Fetch(*client, table(), "b00017", "00099", 80, 128, 3, 2320, 320);
  EXPECT_TRUE(none.end_mark);
  EXPECT_TRUE(none.records.empty());
}

TEST_F(DefinitionsTest, UserFilterAndStructure) {
  const Download filter = Fetch(*client, table(), "c00012", "", 0, 128, 127, 64, 64);
  ASSERT_TRUE(filter.ok);
  EXPECT_TRUE(filter.end_mark);
  ASSERT_EQ(filter.records.size(), 15u);
  EXPECT_EQ(B(filter.records[1], 1, 2), 7);
  EXPECT_EQ(A(table(), filter.records[1], 3, 1), "i");
  EXPECT_EQ(Rtrim(A(table(), filter.records[1], 4, 60)), "NOR;CEN");
  EXPECT_EQ(A(table(), filter.records[3], 3, 1), "B");
  EXPECT_EQ(Rtrim(A(table(), filter.records[3], 4, 60)), "*");
  // The keys without a filter follow with their marker rows.
  EXPECT_EQ(B(filter.records[4], 1, 2), 2);
  EXPECT_EQ(A(table(), filter.records[4], 3, 1), "=");
  EXPECT_EQ(Rtrim(A(table(), filter.records[4], 4, 60)), "*");

  const Download structure = Fetch(*client, table(), "c00012", "", 8192, 161, 227, 36, 0);
  ASSERT_TRUE(structure.ok);
  ASSERT_EQ(structure.requests, std::vector<std::string>{"c00012000819205796"});
  const auto& r = structure.records;
  EXPECT_EQ(B(r[0], 1, 4), 0);  // the mark record has area and key 0
  EXPECT_EQ(Rtrim(A(table(), r[0], 5, 32)), "{Rel.6.0.18}");
  // Area 1, key 1, layouts 1-4: flag byte 1 = 0x0F at wire byte 36.
  EXPECT_EQ(B(r[1], 1, 2), 1);
  EXPECT_EQ(B(r[1], 3, 2), 1);
  EXPECT_EQ(B(r[1], 36, 1), 0x0F);
  // Area 3, key 13, layouts 2, 8 and 9: bytes 1 and 2 at wire bytes 36 and 35.
  EXPECT_EQ(B(r[8], 3, 2), 13);
  EXPECT_EQ(B(r[8], 36, 1), 0x82);
  EXPECT_EQ(B(r[8], 35, 1), 0x01);
  EXPECT_EQ(B(r[8], 29, 1), 0x00);
  long rest = 0;
  for (std::size_t i = 11; i < r.size(); ++i) rest += B(r[i], 1, 4);
  EXPECT_EQ(rest, 0);
}

TEST_F(DefinitionsTest, UnknownLibraryAndMalformedBlocksAreRefusedWithoutHangingUp) {
  struct Case {
    std::string request;
    char status;
  };
  const Case cases[] = {
      {"a00022" "0000256" "00384" "NESSUNA   ", '2'},
      {"a00022" "00002x6" "00384" "          ", '8'},   // offset not digits
      {"a00022" "0000256" "09000" "          ", '8'},   // more than one read can take
      {"a00022" "0000256" "00000" "          ", '8'},
      {"a00015" "0000256" "00384" "LIB", '8'},           // body neither with a library nor without
      {"b00017" "0000080" "02320" "0000A", '8'},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.request);
    const auto reply = client->Exchange(c.request);
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.status, c.status);
    EXPECT_EQ(reply.length, 0);
  }
  // Still served.
  EXPECT_EQ(Library("", 106752, 1, 1, 64, 64).records.size(), 1u);
}

TEST_F(DefinitionsTest, ReadsPastTheEndOfAFileGiveZeros) {
  const auto reply = client->Exchange("a00022" + Digits(289664 + 64 * 384 - 100, 7) + "00200" + Pad("", 10));
  ASSERT_TRUE(reply.ok);
  ASSERT_EQ(reply.length, 200);
  EXPECT_EQ(reply.payload.substr(100), std::string(100, '\0'));
}

}  // namespace
}  // namespace kyx::test
