// Each armed fault does what it announces, on the exchange it is armed for, and the exchanges
// around it stay as they were.
#include "tests/tools/dataserver/loopback.h"

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
