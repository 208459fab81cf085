// Reading by polling and writing of requests, against a scripted peer on loopback.
#include "replica/socket_replica.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "server/socket.h"
#include "tests/platform/net/loopback_peer.h"
#include "tests/server/ambiente_socket.h"

namespace kyx {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPeer;
using test::PeerConnection;

class SocketReplica : public test::AmbienteSocket {
 protected:
  void SetUp() override {
    AmbienteSocket::SetUp();
    Attese_Replica.Tentativi_Massimi = 30;
    Attese_Replica.Pausa = 10ms;
  }
  void TearDown() override {
    sock_replica::reset();
    AmbienteSocket::TearDown();
  }
  void Connetti(const LoopbackPeer& peer) {
    std::string Esito;
    ASSERT_EQ(Sock_Connect(1, "127.0.0.1", peer.port(), Esito, 0, false), -1);
  }
  static bool Leggi(int32_t n) {
    int32_t Indice = 1;
    return Sock_Leggi(Indice, n);
  }
};

TEST_F(SocketReplica, LengthOutOfRangeIsRefusedWithoutTouchingTheBuffers) {
  Buffer_Ricezione[0] = 'x';
  Byte_In_Buffer = 1;
  Buffer_Record[0] = 'y';
  for (int32_t n : {0, -1, 8193}) {
    EXPECT_FALSE(Leggi(n)) << n;
    EXPECT_EQ(Byte_In_Buffer, 1);
    EXPECT_EQ(Buffer_Ricezione[0], 'x');
    EXPECT_EQ(Buffer_Record[0], 'y');
  }
}

TEST_F(SocketReplica, AssemblesAReplyFromPiecesAndKeepsTheNextOneBuffered) {
  LoopbackPeer peer([](PeerConnection& c) {
    c.dribble("ABC", 5ms);
    c.send("DEFGH");  // the first reply ends at F; "GH" opens the next
    c.wait_for_close();
  });
  Connetti(peer);
  ASSERT_TRUE(Leggi(6));
  EXPECT_EQ(Record(6), "ABCDEF");
  EXPECT_GT(host.pumps(), 0);  // the window events ran while it waited
  ASSERT_TRUE(Leggi(2));
  EXPECT_EQ(Record(2), "GH");
  Sock_Close(1);
}

TEST_F(SocketReplica, SilenceGivesUpAfterItsTriesAndAClosedConnectionAtOnce) {
  {
    LoopbackPeer peer([](PeerConnection& c) { c.wait_for_close(); });
    Connetti(peer);
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(Leggi(6));
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 300ms);  // 30 tries 10 ms apart
    Sock_Close(1);
  }
  {
    LoopbackPeer peer([](PeerConnection& c) {
      c.send("ABC");
      c.drop();
    });
    Connetti(peer);
    Attese_Replica.Tentativi_Massimi = 60000;  // ten minutes, were the close not noticed
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(Leggi(6));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 5s);
    EXPECT_EQ(Byte_In_Buffer, 3);  // what came stays buffered
    Sock_Close(1);
  }
}

TEST_F(SocketReplica, WritesTheTextCutOrFilledWithBlanksThroughTheTable) {
  std::string ricevuto;
  {
    LoopbackPeer peer([&](PeerConnection& c) { ricevuto = c.receive(10 + 4); });
    Connetti(peer);
    Sock_Scrivi(1, "a0001", 10);
    Sock_Scrivi(1, "LUNGO", 4);
  }  // the peer has read both requests
  Sock_Close(1);
  EXPECT_EQ(ricevuto, Wire("a0001     LUNG"));
}

}  // namespace
}  // namespace kyx
