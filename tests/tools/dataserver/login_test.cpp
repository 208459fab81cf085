// The greeting and the login: the 91-character request as recorded, the reply fields the program
// reads (1, 52, 55, 58, 61-70, 94), and every way the server says no.
#include "tests/tools/dataserver/loopback.h"

namespace kyx::test {
namespace {

using dataserver::Fault;
using dataserver::FaultType;
using dataserver::Refusal;
using dataserver::RequestKind;
namespace sample = dataserver::sample;

class LoginTest : public SampleServer {};

TEST_F(LoginTest, GreetingIsStatusZeroWithoutPayload) {
  RawClient client(table(), server->port());
  const auto head = client.Read(6);
  ASSERT_TRUE(head);
  EXPECT_EQ(table().DecodeText(*head), "000000");
  // Zoned digits: F0 in every byte.
  EXPECT_EQ(*head, std::string(6, '\xF0'));
}

TEST_F(LoginTest, AcceptedLoginCarriesIndexesLibraryAndSeparator) {
  auto client = Connect();
  const std::string request = LoginRequest(sample::kUser, sample::kPassword, sample::kSales, "127.0.0.1", 15536);
  ASSERT_EQ(request.size(), 91u);
  const auto reply = client->Exchange(request);
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(reply.status, '0');
  ASSERT_GE(reply.payload.size(), 94u);
  EXPECT_EQ(A(table(), reply.payload, 1, 1), "S");
  EXPECT_EQ(S(reply.payload, 52, 3), 1);  // first connection of the server
  EXPECT_EQ(S(reply.payload, 55, 3), 1);  // VENDITE is system 1
  EXPECT_EQ(S(reply.payload, 58, 3), 1);  // ROSSI is user 1
  EXPECT_EQ(A(table(), reply.payload, 61, 10), Pad(sample::kSalesLibrary, 10));
  EXPECT_EQ(A(table(), reply.payload, 94, 1), ";");

  // Recorded byte for byte: the wire bytes as the table encodes them, and the text back.
  ASSERT_TRUE(server->WaitForRequests(1, 2s));
  const auto recorded = server->Requests();
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].kind, RequestKind::kLogin);
  EXPECT_EQ(recorded[0].connection, 1);
  EXPECT_EQ(recorded[0].wire, table().EncodeText(request));
  EXPECT_EQ(recorded[0].text, request);
}

TEST_F(LoginTest, SecondUserWithBlankPasswordOnTheOrdersSystem) {
  auto first = Connect();
  auto client = Connect();
  const auto reply = client->Exchange(LoginRequest(sample::kSecondUser, "", sample::kOrders));
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(A(table(), reply.payload, 1, 1), "S");
  EXPECT_EQ(S(reply.payload, 52, 3), 2);  // second connection
  EXPECT_EQ(S(reply.payload, 55, 3), 2);
  EXPECT_EQ(S(reply.payload, 58, 3), 2);
  EXPECT_EQ(A(table(), reply.payload, 61, 10), Pad(sample::kOrdersLibrary, 10));
  EXPECT_EQ(A(table(), reply.payload, 94, 1), " ");  // the program then uses ","
}

// Each refusal, by the data sent or by an armed fault: the field that says no, and a session
// that serves nothing afterwards.
TEST_F(LoginTest, EachRefusalSaysNoInItsOwnField) {
  struct Case {
    const char* name;
    std::string user, password, system;
    std::optional<Refusal> fault;
    std::string accepted;
    long client, system_index, user_index;
  };
  const Case cases[] = {
      {"wrong password", sample::kUser, "BETA", sample::kSales, {}, "N", 1, 1, 1},
      {"unknown user", "NESSUNO", "", sample::kSales, {}, "N", 1, 1, -1},
      {"unknown system", sample::kUser, sample::kPassword, "CONTABILE", {}, "S", 1, 0, 1},
      {"refused: password", sample::kUser, sample::kPassword, sample::kSales, Refusal::kPassword, "N", 1, 1, 1},
      {"refused: system", sample::kUser, sample::kPassword, sample::kSales, Refusal::kSystem, "S", 1, 0, 1},
      {"refused: client", sample::kUser, sample::kPassword, sample::kSales, Refusal::kClient, "S", -1, 1, 1},
      {"refused: user", sample::kUser, sample::kPassword, sample::kSales, Refusal::kUser, "S", 1, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.fault) server->Arm(RequestKind::kLogin, Fault{.type = FaultType::kRefuseLogin, .refusal = *c.fault});
    const int connection = server->connections() + 1;
    auto client = Connect();
    const auto reply = client->Exchange(LoginRequest(c.user, c.password, c.system));
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.status, '0');
    EXPECT_EQ(A(table(), reply.payload, 1, 1), c.accepted);
    EXPECT_EQ(S(reply.payload, 52, 3), c.client == 1 ? connection : c.client);
    EXPECT_EQ(S(reply.payload, 55, 3), c.system_index);
    EXPECT_EQ(S(reply.payload, 58, 3), c.user_index);
    // Refused: the definitions stay closed.
    const auto block = client->Exchange("a00022" + Digits(106752, 7) + Digits(64, 5) + Pad("", 10));
    ASSERT_TRUE(block.ok);
    EXPECT_EQ(block.status, '1');
    EXPECT_EQ(block.length, 0);
  }
}

TEST_F(LoginTest, ARefusalFaultFiresOnceThenLoginsPassAgain) {
  server->Arm(RequestKind::kLogin, Fault{.type = FaultType::kRefuseLogin, .refusal = Refusal::kPassword});
  auto client = Connect();
  EXPECT_EQ(A(table(), client->Exchange(LoginRequest(sample::kUser, sample::kPassword, sample::kSales)).payload, 1, 1),
            "N");
  // A second login on the same connection is answered afresh.
  EXPECT_EQ(A(table(), client->Exchange(LoginRequest(sample::kUser, sample::kPassword, sample::kSales)).payload, 1, 1),
            "S");
}

TEST_F(LoginTest, NegativeIndexesTravelAsZonedWithSignInTheLastByte) {
  server->Arm(RequestKind::kLogin, Fault{.type = FaultType::kRefuseLogin, .refusal = Refusal::kClient});
  auto client = Connect();
  const auto reply = client->Exchange(LoginRequest(sample::kUser, sample::kPassword, sample::kSales));
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(reply.payload.substr(51, 3), std::string("\xF0\xF0\xD1"));
}

// The replication program's logins: the system by its index, its code in the reply; the user of
// the list switched only on a connection it logged in, and the user file then that user's.
TEST_F(LoginTest, ReplicaLoginNamesTheSystemAndSwitchesUsersOnlyForItself) {
  auto replica = [](const std::string& code, const std::string& user, const std::string& password, long index) {
    return code + Pad(user, 10) + Pad(password, 10) + "KYX-Replica    " + Pad("127.0.0.1", 15) + Digits(40000, 5) +
           Pad("postazione", 20) + Digits(index, 10);
  };
  auto normal = Connect();
  ASSERT_EQ(A(table(), normal->Exchange(LoginRequest(sample::kUser, sample::kPassword, sample::kSales)).payload, 1, 1), "S");
  EXPECT_EQ(normal->Exchange(replica("s00085", sample::kSecondUser, "", 1)).status, '1');

  auto client = Connect();
  const auto reply = client->Exchange(replica("r00085", sample::kUser, sample::kPassword, 2));
  ASSERT_TRUE(reply.ok);
  EXPECT_EQ(A(table(), reply.payload, 1, 1), "S");
  EXPECT_EQ(S(reply.payload, 55, 3), 2);
  EXPECT_EQ(A(table(), reply.payload, 71, 10), Pad(sample::kOrders, 10));
  EXPECT_EQ(client->Exchange(replica("s00085", "NESSUNO", "", 2)).status, '2');
  EXPECT_EQ(client->Exchange(replica("s00085", sample::kSecondUser, "", 2)).status, '0');
  // The user file of the second user on the orders system, where the second user has nothing.
  const auto filtro = client->Exchange("c00012" + Digits(0, 7) + Digits(64, 5));
  ASSERT_TRUE(filtro.ok);
  EXPECT_EQ(A(table(), filtro.payload, 64, 1), "A");
  // The structure in the program's own layout: the release mark, then no record.
  const auto struttura = client->Exchange("c00012" + Digits(8192, 7) + Digits(161 * 36, 5));
  ASSERT_TRUE(struttura.ok);
  EXPECT_EQ(A(table(), struttura.payload, 5, 32), Pad("{Rel.6.0.18}", 32));
  EXPECT_EQ(struttura.payload.substr(36), std::string(160 * 36, '\0'));
  // A library block without a library is the system logged in to; the user lists follow the
  // layouts.
  const auto utenti = client->Exchange("a00012" + Digits(273280, 7) + Digits(128, 5));
  ASSERT_TRUE(utenti.ok);
  EXPECT_EQ(A(table(), utenti.payload, 3, 10), Pad(sample::kUser, 10));
  EXPECT_EQ(A(table(), utenti.payload, 128, 1), "A");  // the second user has nothing there
  const auto altri = client->Exchange("a00012" + Digits(256256, 7) + Digits(64, 5));
  EXPECT_EQ(A(table(), altri.payload, 3, 10), Pad(sample::kSecondUser, 10));
}

}  // namespace
}  // namespace kyx::test
