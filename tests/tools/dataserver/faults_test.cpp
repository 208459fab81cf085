// Each armed fault does what it announces, on the exchange it is armed for, and the exchanges
// around it stay as they were.
#include "tests/tools/dataserver/loopback.h"

#include <set>
#include <vector>

namespace kyx::test {
namespace {

using dataserver::Fault;
using dataserver::FaultType;
using dataserver::RequestKind;

class FaultTest : public SampleServer {
 protected:
  // The time request: a 14-byte reply that needs no login.
  std::string TimeReply() { return table().EncodeText(std::string("000014") + kServerTime); }
};

TEST_F(FaultTest, StatusLengthAndPayloadFaults) {
  struct Case {
    const char* name;
    Fault fault;
    std::string head;        // as text
    std::size_t payload;     // bytes that follow the head
  };
  const Case cases[] = {
      {"status without payload", Fault{.type = FaultType::kStatus, .status = '7'}, "700000", 0},
      {"status with payload", Fault{.type = FaultType::kStatusPayload, .status = '5'}, "500014", 14},
      {"length over 8192", Fault{.type = FaultType::kOversized, .length = 9000}, "009000", 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->Arm(RequestKind::kTime, c.fault);
    auto client = Connect();
    client->Send("k00000");
    const auto bytes = client->Read(6 + c.payload);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(table().DecodeText(bytes->substr(0, 6)), c.head);
    if (c.payload) {
      EXPECT_EQ(table().DecodeText(bytes->substr(6)), kServerTime);
    }
    EXPECT_TRUE(client->Silent(100ms)) << "nothing more than announced";
    // The fault fired once: the next exchange is normal.
    const auto next = client->Exchange("k00000");
    ASSERT_TRUE(next.ok);
    EXPECT_EQ(next.status, '0');
    EXPECT_EQ(next.length, 14);
  }
}

TEST_F(FaultTest, ShortPayloadLeavesTheClientWaiting) {
  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kShortPayload, .missing = 4});
  auto client = Connect();
  client->Send("k00000");
  const auto reply = client->ReadReply(500ms);
  EXPECT_FALSE(reply.ok);
  EXPECT_EQ(reply.length, 14);
  EXPECT_EQ(client->partial().size(), 10u);
  EXPECT_TRUE(client->Silent(300ms));
}

TEST_F(FaultTest, SilenceIsSilentAndTheConnectionStaysOpen) {
  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kSilence});
  auto client = Connect();
  client->Send("k00000");
  EXPECT_TRUE(client->Silent(1500ms));
  // The request was heard, and the next one is answered.
  EXPECT_EQ(server->Requests().size(), 1u);
  EXPECT_TRUE(client->Exchange("k00000").ok);
}

TEST_F(FaultTest, DroppedConnections) {
  struct Case {
    const char* name;
    RequestKind kind;
    FaultType type;
    std::size_t bytes_before_close;
  };
  const Case cases[] = {
      {"right after the greeting", RequestKind::kGreeting, FaultType::kDropAfter, 6},
      {"in the middle of the greeting", RequestKind::kGreeting, FaultType::kDropMidReply, 3},
      {"instead of the reply", RequestKind::kTime, FaultType::kDropBefore, 6},
      {"in the middle of the reply", RequestKind::kTime, FaultType::kDropMidReply, 6 + 6 + 7},
      {"after the reply", RequestKind::kTime, FaultType::kDropAfter, 6 + 6 + 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    server->Arm(c.kind, Fault{.type = c.type});
    RawClient client(table(), server->port());
    if (c.kind != RequestKind::kGreeting) client.Send("k00000");
    const auto received = client.ReadToClose(3s);
    ASSERT_TRUE(received) << "the server did not hang up";
    EXPECT_EQ(received->size(), c.bytes_before_close);
  }
  // The server goes on accepting.
  auto client = Connect();
  EXPECT_TRUE(client->Exchange("k00000").ok);
}

TEST_F(FaultTest, DribbledReplyArrivesWholeOneByteAtATime) {
  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kDribble, .pause_ms = 20});
  auto client = Connect();
  client->Send("k00000");
  const auto start = std::chrono::steady_clock::now();
  // The first bytes come, the rest not yet.
  const auto first = client->Read(1);
  ASSERT_TRUE(first);
  EXPECT_FALSE(client->Read(19, 100ms)) << "the whole reply came at once";
  const auto rest = client->Read(19 - client->partial().size(), 3s);
  ASSERT_TRUE(rest);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 19 * 20ms);
}

TEST_F(FaultTest, HeadAndPayloadInOneSegment) {
  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kOneSegment});
  auto client = Connect();
  client->Send("k00000");
  // A single receive takes both records.
  const auto both = client->Read(20);
  ASSERT_TRUE(both);
  EXPECT_EQ(*both, TimeReply());
}

TEST(ChunkPlanTest, PiecesCoverTheReplyWithinTheirBoundsAndReplayFromTheSeed) {
  struct Case {
    uint64_t seed;
    std::size_t max_chunk;
    int pause_ms;
    std::size_t size;
  };
  const Case cases[] = {{1, 2048, 2, 6 + 8192}, {7, 1, 0, 20}, {42, 64, 3, 6 + 100}, {9, 100000, 1, 6}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seed);
    Fault f{.type = FaultType::kChunked, .pause_ms = c.pause_ms, .seed = c.seed, .max_chunk = c.max_chunk};
    std::set<std::vector<std::size_t>> distinct;
    for (int exchange = 1; exchange <= 20; ++exchange) {
      f.exchange = exchange;
      const auto plan = dataserver::ChunkPlan(f, RequestKind::kLibrary, c.size);
      ASSERT_FALSE(plan.empty());
      std::size_t total = 0;
      std::vector<std::size_t> cuts;
      for (const auto& piece : plan) {
        EXPECT_GE(piece.bytes, 1u);
        EXPECT_LE(piece.bytes, c.max_chunk);
        EXPECT_GE(piece.pause_us, 0);
        EXPECT_LE(piece.pause_us, c.pause_ms * 1000);
        total += piece.bytes;
        cuts.push_back(piece.bytes);
      }
      EXPECT_EQ(total, c.size);
      EXPECT_EQ(plan.back().pause_us, 0);
      const auto again = dataserver::ChunkPlan(f, RequestKind::kLibrary, c.size);
      ASSERT_EQ(again.size(), plan.size());
      for (std::size_t i = 0; i < plan.size(); ++i) {
        EXPECT_EQ(again[i].bytes, plan[i].bytes);
        EXPECT_EQ(again[i].pause_us, plan[i].pause_us);
      }
      distinct.insert(cuts);
    }
    // Each exchange is cut its own way, unless every cut is forced.
    if (c.max_chunk > 1 && c.size > 6) {
      EXPECT_GT(distinct.size(), 15u);
    }
  }
  // A full block is cut both byte by byte and in long runs that take the head with the payload.
  Fault f{.type = FaultType::kChunked, .seed = 3};
  std::size_t ones = 0, long_runs = 0;
  for (int exchange = 1; exchange <= 10; ++exchange) {
    f.exchange = exchange;
    for (const auto& piece : dataserver::ChunkPlan(f, RequestKind::kDescriptions, 6 + 8192)) {
      ones += piece.bytes == 1;
      long_runs += piece.bytes > 512;
    }
  }
  EXPECT_GT(ones, 10u);
  EXPECT_GT(long_runs, 10u);
}

TEST_F(FaultTest, ChunkedRepliesCarryTheSameBytesAsWholeOnes) {
  const std::vector<std::string> requests = {"k00000", "a00022010675200064          ",
                                             "a00022000025608064" + Pad(dataserver::sample::kSalesLibrary, 10),
                                             "c00012000000008128", "d00015000000000000000", "d00015000000000000001"};
  std::vector<std::string> whole;
  {
    auto client = LoggedIn();
    for (const auto& r : requests) {
      client->Send(r);
      const auto reply = client->ReadReply();
      ASSERT_TRUE(reply.ok) << r;
      whole.push_back(table().EncodeText(reply.status + Digits(reply.length, 5)) + reply.payload);
    }
  }
  for (uint64_t seed : {1, 2, 3}) {
    SCOPED_TRACE(seed);
    for (auto kind : {RequestKind::kLogin, RequestKind::kTime, RequestKind::kLibrary, RequestKind::kUserFile,
                      RequestKind::kDescriptions}) {
      server->Arm(kind, Fault{.type = FaultType::kChunked, .seed = seed, .max_chunk = 700, .on = 0});
    }
    auto client = LoggedIn();
    for (std::size_t i = 0; i < requests.size(); ++i) {
      client->Send(requests[i]);
      const auto bytes = client->Read(whole[i].size());
      ASSERT_TRUE(bytes) << requests[i];
      EXPECT_EQ(*bytes, whole[i]) << requests[i];
    }
    EXPECT_TRUE(client->Silent(50ms)) << "nothing more than the replies";
    server->ClearFaults();
  }
}

TEST_F(FaultTest, FaultsFireOnTheArmedExchangeOrOnEveryOne) {
  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kStatus, .status = '6', .on = 2});
  auto client = Connect();
  std::string statuses;
  for (int i = 0; i < 3; ++i) statuses += client->Exchange("k00000").status;
  EXPECT_EQ(statuses, "060");

  server->Arm(RequestKind::kTime, Fault{.type = FaultType::kStatus, .status = '6', .on = 0});
  statuses.clear();
  for (int i = 0; i < 3; ++i) statuses += client->Exchange("k00000").status;
  EXPECT_EQ(statuses, "666");
  server->ClearFaults();
  EXPECT_EQ(client->Exchange("k00000").status, '0');
}

TEST_F(FaultTest, ABlockDownloadFaultHitsOnlyItsKind) {
  server->Arm(RequestKind::kLibrary, Fault{.type = FaultType::kStatus, .status = '3'});
  auto client = LoggedIn();
  EXPECT_EQ(client->Exchange("c00012000000000064").status, '0');
  EXPECT_EQ(client->Exchange("a00022010675200064          ").status, '3');
  EXPECT_EQ(client->Exchange("a00022010675200064          ").status, '0');
}

}  // namespace
}  // namespace kyx::test
