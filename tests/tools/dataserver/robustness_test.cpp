// Bad input from a client never crashes the server, never keeps a thread for ever, and never
// stops it serving the next client; stopping the server ends every connection.
#include <chrono>

#include "tests/tools/dataserver/loopback.h"

namespace kyx::test {
namespace {

using dataserver::RequestKind;

class RobustnessTest : public SampleServer {
 protected:
  void SetUp() override {
    SampleServer::SetUp();
    // A quicker server for requests cut short.
    server.reset();
    options.request_timeout = 300ms;
    server = std::make_unique<dataserver::DataServer>(options);
    std::string error;
    ASSERT_TRUE(server->Start(&error)) << error;
  }
  bool WaitFinished(int count) {
    for (int i = 0; i < 100 && server->finished_connections() < count; ++i) std::this_thread::sleep_for(20ms);
    return server->finished_connections() >= count;
  }
};

TEST_F(RobustnessTest, AnUnframedRequestIsRefusedAndTheConnectionEnds) {
  const std::string heads[] = {"zABCDE", "a0002x", "u-0085", "a99999"};
  for (const auto& head : heads) {
    SCOPED_TRACE(head);
    auto client = Connect();
    client->Send(head);
    const auto rest = client->ReadToClose(2s);
    ASSERT_TRUE(rest) << "no hang-up";
    EXPECT_EQ(table().DecodeText(*rest), "800000");
  }
  auto requests = server->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].text, "zABCDE");
  EXPECT_EQ(requests[3].kind, RequestKind::kOther);
}

TEST_F(RobustnessTest, UnknownRequestsAndRequestsBeforeLoginAreAnsweredWithAStatus) {
  auto client = Connect();
  EXPECT_EQ(client->Exchange("q00003abc").status, '9');
  EXPECT_EQ(client->Exchange("c00012000000000064").status, '1');
  EXPECT_EQ(client->Exchange("d00015000000000000000").status, '1');
  EXPECT_EQ(client->Exchange("u00003abc").status, '8');  // a login of the wrong length
  // The layout request's body is followed by six blanks it does not count: read with it.
  EXPECT_EQ(client->Exchange("l00004abcd      ").status, '1');
  EXPECT_EQ(client->Exchange("k00000").status, '0');
  ASSERT_EQ(server->Requests().size(), 6u);
  EXPECT_EQ(server->Requests()[4].text, "l00004abcd      ");
}

TEST_F(RobustnessTest, RequestsCutShortEndTheSessionWithoutHarm) {
  {
    // The client vanishes in the middle of its login.
    auto client = Connect();
    client->Send(LoginRequest("ROSSI", "ALFA", "VENDITE").substr(0, 40));
  }
  ASSERT_TRUE(WaitFinished(1));
  {
    // The client stays but never finishes: the server hangs up after the request time-out.
    auto client = Connect();
    client->Send("a00022" "0106752");
    EXPECT_TRUE(client->ReadToClose(3s));
  }
  ASSERT_TRUE(WaitFinished(2));
  // Both partial requests are on record as they came.
  const auto requests = server->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].text.size(), 40u);
  EXPECT_EQ(requests[1].text, "a000220106752");
  auto client = LoggedIn();
  EXPECT_EQ(client->Exchange("k00000").status, '0');
}

TEST_F(RobustnessTest, RandomBytesNeverStopTheServer) {
  // A fixed pseudo-random sequence: the same bytes every run.
  uint64_t state = 12345;
  auto next = [&] {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint8_t>(state >> 56);
  };
  for (int round = 0; round < 20; ++round) {
    RawClient client(table(), server->port());
    std::string bytes;
    const int n = 1 + next() % 64;
    for (int i = 0; i < n; ++i) bytes += static_cast<char>(next());
    if (round % 2) bytes = table().EncodeText("a00022") + bytes;  // a plausible head, garbage body
    client.SendRaw(bytes);
    client.ReadToClose(50ms);
  }
  auto client = LoggedIn();
  EXPECT_EQ(client->Exchange("k00000").status, '0');
}

TEST_F(RobustnessTest, StopEndsConnectedAndSilentClientsPromptly) {
  server->Arm(RequestKind::kTime, dataserver::Fault{.type = dataserver::FaultType::kSilence, .on = 0});
  auto idle = Connect();
  auto waiting = Connect();
  waiting->Send("k00000");
  auto half = Connect();
  half->Send("a000");
  ASSERT_TRUE(server->WaitForRequests(1, 2s));
  const auto start = std::chrono::steady_clock::now();
  server->Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(idle->ReadToClose(1s));
  EXPECT_TRUE(waiting->ReadToClose(1s));
  // No one listens any more.
  RawClient late(table(), server->port());
  EXPECT_FALSE(late.connected());
}

}  // namespace
}  // namespace kyx::test
