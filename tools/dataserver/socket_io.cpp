#include "tools/dataserver/socket_io.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kyx::dataserver {

namespace {

constexpr int kSliceMs = 50;

bool WaitFor(int fd, short events, int ms) {
  pollfd p{fd, events, 0};
  const int r = ::poll(&p, 1, ms);
  return r > 0;
}

}  // namespace

int ListenLoopback(uint16_t port, uint16_t* bound, std::string* error) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return -1;
  }
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
    *error = "cannot listen on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
    ::close(fd);
    return -1;
  }
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  *bound = ntohs(addr.sin_port);
  return fd;
}

int AcceptFor(int listener, std::chrono::milliseconds slice) {
  if (!WaitFor(listener, POLLIN, static_cast<int>(slice.count()))) return -1;
  const int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return -1;
  // Every send is its own segment: replies dribbled byte by byte, or a head and its payload sent
  // apart, must reach the client as such.
  const int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

ReadResult ReadExact(int fd, std::size_t count, std::string* out, std::chrono::steady_clock::time_point deadline,
                     const std::atomic<bool>& stopping) {
  char buffer[4096];
  while (count > 0) {
    if (stopping.load()) return ReadResult::kStopped;
    if (std::chrono::steady_clock::now() >= deadline) return ReadResult::kTimedOut;
    // Bytes already there are taken at once; only an empty socket is waited on, one slice at a
    // time (the rest of a request is nearly always there with its first byte).
    const ssize_t n = ::recv(fd, buffer, std::min(count, sizeof buffer), MSG_DONTWAIT);
    if (n == 0) return ReadResult::kClosed;
    if (n < 0) {
      const int error = errno;
      if (error == EAGAIN || error == EWOULDBLOCK) WaitFor(fd, POLLIN, kSliceMs);
      if (error == EINTR || error == EAGAIN || error == EWOULDBLOCK) continue;
      return ReadResult::kClosed;
    }
    out->append(buffer, static_cast<std::size_t>(n));
    count -= static_cast<std::size_t>(n);
  }
  return ReadResult::kOk;
}

bool SendAll(int fd, std::string_view bytes, const std::atomic<bool>& stopping) {
  std::size_t sent = 0;
  int idle_slices = 0;
  while (sent < bytes.size()) {
    if (stopping.load()) return false;
    // Sent at once while the socket has room; a full one is waited on, one slice at a time.
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
      if (!WaitFor(fd, POLLOUT, kSliceMs)) {
        // A client that stops reading for a minute is treated as gone.
        if (++idle_slices > 60000 / kSliceMs) return false;
      }
      continue;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

void Hangup(int fd) {
  if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

void CloseFd(int fd) {
  if (fd >= 0) ::close(fd);
}

}  // namespace kyx::dataserver
