// Sockets, waits and transfers of the TCP client (stands in for socket, connect, select, recv,
// send, setsockopt/getsockopt SO_LINGER and closesocket of Windows Sockets).
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/net/net.h"

namespace kyx::net {
namespace {

std::string reason(const char* what, int error) { return std::string(what) + ": " + std::strerror(error); }

int poll_millis(std::chrono::milliseconds timeout) {
  if (timeout.count() < 0) return 0;
  if (timeout.count() > 0x7fffffff) return 0x7fffffff;
  return static_cast<int>(timeout.count());
}

// poll() once more after EINTR with the time that is left.
int poll_until(pollfd& pfd, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int r = ::poll(&pfd, 1, poll_millis(left));
    if (r >= 0 || errno != EINTR) return r;
  }
}

// The errors after which the connection can never move a byte again.
bool connection_gone(int error) {
  return error == ECONNRESET || error == EPIPE || error == ENOTCONN || error == ETIMEDOUT ||
         error == ECONNABORTED || error == EBADF || error == ENOTSOCK || error == EHOSTUNREACH ||
         error == ENETUNREACH || error == ENETDOWN || error == ECONNREFUSED;
}

}  // namespace

Status open_socket(Socket& socket) {
  socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (socket < 0) {
    const int error = errno;
    socket = kNoSocket;
    return Status::Error(reason("socket", error));
  }
  return Status::Ok();
}

Status connect_start(Socket socket, uint32_t address, uint16_t port, bool* in_progress) {
  *in_progress = false;
  const int flags = ::fcntl(socket, F_GETFL, 0);
  if (flags < 0 || ::fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) {
    return Status::Error(reason("fcntl", errno));
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = address;
  if (::connect(socket, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0) return Status::Ok();
  if (errno != EINPROGRESS && errno != EINTR) return Status::Error(reason("connect", errno));
  *in_progress = true;
  return Status::Ok();
}

Status connect_finish(Socket socket) {
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &size) < 0) {
    return Status::Error(reason("getsockopt", errno));
  }
  if (error != 0) return Status::Error(reason("connect", error));
  return Status::Ok();
}

Status connect(Socket socket, uint32_t address, uint16_t port, std::chrono::milliseconds timeout) {
  bool in_progress = false;
  Status s = connect_start(socket, address, port, &in_progress);
  if (!s || !in_progress) return s;
  pollfd pfd{socket, POLLOUT, 0};
  const int r = poll_until(pfd, timeout);
  if (r < 0) return Status::Error(reason("poll", errno));
  if (r == 0) return Status::Error("connect: timed out");
  return connect_finish(socket);
}

Status set_linger(Socket socket, bool on, int seconds) {
  linger wanted{};
  wanted.l_onoff = on ? 1 : 0;
  wanted.l_linger = seconds;
  if (::setsockopt(socket, SOL_SOCKET, SO_LINGER, &wanted, sizeof wanted) < 0) {
    return Status::Error(reason("setsockopt SO_LINGER", errno));
  }
  linger back{};
  socklen_t size = sizeof back;
  if (::getsockopt(socket, SOL_SOCKET, SO_LINGER, &back, &size) < 0) {
    return Status::Error(reason("getsockopt SO_LINGER", errno));
  }
  return Status::Ok();
}

void close(Socket socket) {
  if (socket != kNoSocket) ::close(socket);
}

Readiness wait_ready(Socket socket, Direction direction, std::chrono::milliseconds timeout) {
  if (socket < 0) return Readiness::kFailed;
  pollfd pfd{socket, static_cast<short>((direction == Direction::kRead ? POLLIN : POLLOUT) | POLLPRI),
             0};
  const int r = poll_until(pfd, timeout);
  if (r < 0 || (pfd.revents & POLLNVAL)) return Readiness::kFailed;
  if (r == 0) return Readiness::kTimedOut;
  if (pfd.revents & POLLPRI) return Readiness::kException;
  // POLLERR and POLLHUP: ready, the transfer that follows tells what happened.
  return Readiness::kReady;
}

Transfer receive(Socket socket, void* into, std::size_t size) {
  Transfer t;
  if (size == 0) return t;
  ssize_t n;
  do {
    n = ::recv(socket, into, size, MSG_DONTWAIT);
  } while (n < 0 && errno == EINTR);
  if (n > 0) {
    t.bytes = static_cast<std::size_t>(n);
  } else if (n == 0) {
    t.closed = true;
    t.message = "recv: connection closed by the peer";
  } else {
    t.closed = connection_gone(errno);
    t.message = reason("recv", errno);
  }
  return t;
}

Transfer send_some(Socket socket, const void* from, std::size_t size) {
  Transfer t;
  if (size == 0) return t;
  ssize_t n;
  do {
    n = ::send(socket, from, size, MSG_DONTWAIT | MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  if (n > 0) {
    t.bytes = static_cast<std::size_t>(n);
  } else if (n == 0) {
    t.message = "send: nothing sent";
  } else {
    t.closed = connection_gone(errno);
    t.message = reason("send", errno);
  }
  return t;
}

Status send_all(Socket socket, const void* from, std::size_t size, std::chrono::milliseconds timeout) {
  const auto* bytes = static_cast<const unsigned char*>(from);
  std::size_t sent = 0;
  while (sent < size) {
    switch (wait_ready(socket, Direction::kWrite, timeout)) {
      case Readiness::kReady:
        break;
      case Readiness::kTimedOut:
        return Status::Error("send: timed out");
      case Readiness::kException:
      case Readiness::kFailed:
        return Status::Error("send: the socket cannot be written");
    }
    const Transfer t = send_some(socket, bytes + sent, size - sent);
    if (t.closed) return Status::Error(t.message);
    sent += t.bytes;
  }
  return Status::Ok();
}

}  // namespace kyx::net
