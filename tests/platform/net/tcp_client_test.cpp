#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/net/net.h"
#include "tests/platform/net/loopback_peer.h"

namespace kyx::net {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPeer;
using test::PeerConnection;

// A connected client socket, closed at the end of the test.
struct Client {
  Socket socket = kNoSocket;
  Status status;
  explicit Client(uint16_t port, std::chrono::milliseconds timeout = 2000ms) {
    status = open_socket(socket);
    if (status) status = connect(socket, test::loopback_address(), port, timeout);
  }
  ~Client() { close(socket); }
};

// Receives until `n` bytes have come or a wait times out.
std::string receive_exactly(Socket s, std::size_t n) {
  std::string got;
  while (got.size() < n && wait_ready(s, Direction::kRead, 2000ms) == Readiness::kReady) {
    char buffer[512];
    const Transfer t = receive(s, buffer, std::min(sizeof buffer, n - got.size()));
    if (t.closed) break;
    got.append(buffer, t.bytes);
  }
  return got;
}

// A port on 127.0.0.1 where nobody listens: bound once, then released.
uint16_t unused_port() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof at;
  ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size);
  ::close(fd);
  return ntohs(at.sin_port);
}

TEST(TcpClient, SendsAndReceivesWholeMessagesBothWays) {
  std::string request;
  LoopbackPeer peer([&](PeerConnection& c) {
    request = c.receive(70000);
    c.dribble("abc");
    c.send(std::string(3000, 'x'));
  });
  Client client(peer.port());
  ASSERT_TRUE(client.status) << client.status.message();
  std::string big(70000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i % 251);
  ASSERT_TRUE(send_all(client.socket, big.data(), big.size(), 2000ms));
  EXPECT_EQ(receive_exactly(client.socket, 3003), "abc" + std::string(3000, 'x'));
  peer.join();
  EXPECT_EQ(request, big);
}

TEST(TcpClient, LocalAddressAndLingerOfAConnectedSocket) {
  uint16_t seen_port = 0;
  LoopbackPeer peer([&](PeerConnection& c) { c.wait_for_close(); });
  Client client(peer.port());
  ASSERT_TRUE(client.status) << client.status.message();
  uint32_t address = 0;
  ASSERT_TRUE(local_address(client.socket, address, seen_port));
  EXPECT_EQ(address_text(address), "127.0.0.1");
  EXPECT_NE(seen_port, 0);
  EXPECT_TRUE(set_linger(client.socket, true, 0));
  EXPECT_FALSE(local_address(kNoSocket, address, seen_port));
}

TEST(TcpClient, ConnectionRefusedFailsAtOnce) {
  Socket s = kNoSocket;
  ASSERT_TRUE(open_socket(s));
  const auto start = std::chrono::steady_clock::now();
  const Status st = connect(s, test::loopback_address(), unused_port(), 5000ms);
  EXPECT_FALSE(st);
  EXPECT_NE(st.message().find("refused"), std::string::npos) << st.message();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
  close(s);
}

// A listener that never accepts, with its queue full: the handshake of a further connection is
// never answered, so only the time-out ends the connect.
TEST(TcpClient, ConnectGivesUpAfterItsTimeOut) {
  LoopbackPeer peer(nullptr, 0);
  std::vector<Socket> fillers;
  bool pending = false;
  for (int i = 0; i < 8 && !pending; ++i) {
    Socket s = kNoSocket;
    ASSERT_TRUE(open_socket(s));
    fillers.push_back(s);
    pending = !connect(s, test::loopback_address(), peer.port(), 200ms);
  }
  for (Socket s : fillers) close(s);
  fillers.clear();
  if (!pending) GTEST_SKIP() << "the loopback listener's queue never filled";

  // Fill it again and time the connect that cannot complete.
  bool timed_out = false;
  for (int i = 0; i < 8 && !timed_out; ++i) {
    Socket s = kNoSocket;
    ASSERT_TRUE(open_socket(s));
    fillers.push_back(s);
    const auto start = std::chrono::steady_clock::now();
    const Status st = connect(s, test::loopback_address(), peer.port(), 300ms);
    if (!st) {
      const auto took = std::chrono::steady_clock::now() - start;
      EXPECT_EQ(st.message(), "connect: timed out");
      EXPECT_GE(took, 290ms);
      EXPECT_LT(took, 2000ms);
      timed_out = true;
    }
  }
  EXPECT_TRUE(timed_out);
  for (Socket s : fillers) close(s);
}

TEST(TcpClient, SilenceTimesOutAndADroppedConnectionIsReported) {
  LoopbackPeer peer([](PeerConnection& c) {
    std::this_thread::sleep_for(150ms);
    c.send("z");
    c.drop();
  });
  Client client(peer.port());
  ASSERT_TRUE(client.status) << client.status.message();
  EXPECT_EQ(wait_ready(client.socket, Direction::kRead, 20ms), Readiness::kTimedOut);
  EXPECT_EQ(wait_ready(client.socket, Direction::kWrite, 20ms), Readiness::kReady);
  EXPECT_EQ(receive_exactly(client.socket, 1), "z");
  ASSERT_EQ(wait_ready(client.socket, Direction::kRead, 2000ms), Readiness::kReady);
  char c;
  const Transfer t = receive(client.socket, &c, 1);
  EXPECT_TRUE(t.closed);
  EXPECT_EQ(t.bytes, 0u);
  peer.join();
}

TEST(TcpClient, SendingOnAResetConnectionReportsItWithoutASignal) {
  // The peer resets only after the client has said one byte, so that the reset cannot reach the
  // client while its connect is still completing.
  LoopbackPeer peer([](PeerConnection& c) {
    c.receive(1);
    c.drop(true);
  });
  Client client(peer.port());
  ASSERT_TRUE(client.status) << client.status.message();
  ASSERT_TRUE(send_all(client.socket, "!", 1, 1000ms));
  peer.join();
  ASSERT_EQ(wait_ready(client.socket, Direction::kRead, 2000ms), Readiness::kReady);
  const std::string data(1000, 'q');
  Transfer t;
  for (int i = 0; i < 5 && !t.closed; ++i) t = send_some(client.socket, data.data(), data.size());
  EXPECT_TRUE(t.closed) << t.message;
  EXPECT_FALSE(send_all(client.socket, data.data(), data.size(), 100ms));
}

TEST(TcpClient, AClosedOrMissingSocketCannotBeWaitedOn) {
  EXPECT_EQ(wait_ready(kNoSocket, Direction::kRead, 10ms), Readiness::kFailed);
  char c;
  EXPECT_TRUE(receive(kNoSocket, &c, 1).closed);
  EXPECT_TRUE(send_some(kNoSocket, &c, 1).closed);
}

TEST(Names, ResolvesDottedAddressesAndLocalNames) {
  uint32_t a = 0;
  ASSERT_TRUE(resolve("127.0.0.1", a));
  EXPECT_EQ(a, test::loopback_address());
  ASSERT_TRUE(resolve("10.1.2.3", a));
  EXPECT_EQ(address_text(a), "10.1.2.3");
  ASSERT_TRUE(resolve("localhost", a));  // from the hosts file
  EXPECT_EQ(address_text(a), "127.0.0.1");
  EXPECT_FALSE(resolve("", a));
  EXPECT_EQ(address_text(0xFFFFFFFFu), "255.255.255.255");
  std::string name;
  ASSERT_TRUE(host_name(name));
  EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace kyx::net
