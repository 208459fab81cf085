#pragma once
// A scripted TCP peer on 127.0.0.1 for the client's tests: it listens on a free port, accepts one
// connection on its own thread and runs the test's script on it (answer, dribble bytes, send two
// replies at once, stay silent, drop the connection). Every wait is bounded, so a test that goes
// wrong fails instead of hanging; the destructor closes everything and joins the thread.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

namespace kyx::test {

using namespace std::chrono_literals;

// The accepted connection, as the script sees it.
class PeerConnection {
 public:
  explicit PeerConnection(int fd) : fd_(fd) {
    const int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }

  // Sends the bytes in one call (one segment on loopback).
  void send(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += static_cast<std::size_t>(n);
    }
  }

  // Sends the bytes one at a time with a pause between them.
  void dribble(const std::string& bytes, std::chrono::milliseconds pause = 2ms) {
    for (char c : bytes) {
      send(std::string(1, c));
      std::this_thread::sleep_for(pause);
    }
  }

  // Receives exactly n bytes, or what came before the connection closed or `timeout` passed.
  std::string receive(std::size_t n, std::chrono::milliseconds timeout = 5000ms) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (got.size() < n) {
      if (!wait_readable(deadline)) break;
      char buffer[4096];
      const std::size_t want = std::min(sizeof buffer, n - got.size());
      const ssize_t r = ::recv(fd_, buffer, want, 0);
      if (r <= 0) break;
      got.append(buffer, static_cast<std::size_t>(r));
    }
    return got;
  }

  // Stays silent until the client closes the connection (or `timeout` passes); true when it did.
  bool wait_for_close(std::chrono::milliseconds timeout = 5000ms) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      if (!wait_readable(deadline)) return false;
      char buffer[4096];
      const ssize_t r = ::recv(fd_, buffer, sizeof buffer, 0);
      if (r <= 0) return true;
    }
  }

  // Drops the connection (a reset when `reset`, else an orderly close).
  void drop(bool reset = false) {
    if (fd_ < 0) return;
    if (reset) {
      linger l{1, 0};
      ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &l, sizeof l);
    }
    ::close(fd_);
    fd_ = -1;
  }

  ~PeerConnection() { drop(); }

 private:
  bool wait_readable(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || fd_ < 0) return false;
    pollfd pfd{fd_, POLLIN, 0};
    return ::poll(&pfd, 1, static_cast<int>(left.count())) > 0;
  }

  int fd_;
};

class LoopbackPeer {
 public:
  // Listens now; accepts one connection (within 5 s) and runs `script` on it. Without a script
  // the peer listens and never accepts.
  explicit LoopbackPeer(std::function<void(PeerConnection&)> script = nullptr, int backlog = 4) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) throw std::runtime_error("socket failed");
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    at.sin_port = 0;
    socklen_t size = sizeof at;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) < 0 ||
        ::listen(listener_, backlog) < 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size) < 0) {
      ::close(listener_);
      throw std::runtime_error("listen on 127.0.0.1 failed");
    }
    port_ = ntohs(at.sin_port);
    if (script) {
      thread_ = std::thread([this, script = std::move(script)] {
        pollfd pfd{listener_, POLLIN, 0};
        if (::poll(&pfd, 1, 5000) <= 0) return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        PeerConnection connection(fd);
        script(connection);
        finished_ = true;
      });
    }
  }

  ~LoopbackPeer() {
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
  }

  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  uint16_t port() const { return port_; }
  // Waits for the script to end; true when it ran to its end.
  bool join() {
    if (thread_.joinable()) thread_.join();
    return finished_;
  }

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> finished_{false};
};

inline uint32_t loopback_address() { return htonl(INADDR_LOOPBACK); }

}  // namespace kyx::test
