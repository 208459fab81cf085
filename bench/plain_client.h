#pragma once
// The plain client of the download benchmarks: a blocking TCP connection to our data server over
// loopback that sends requests exactly as recorded and reads each reply's head and payload,
// doing nothing with them. It stands for the ceiling of the protocol: the same round trips with
// no decoding and no storing.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace kyx::bench {

class PlainClient {
 public:
  explicit PlainClient(uint16_t port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ >= 0 && ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      ::close(fd_);
      fd_ = -1;
    }
    const int one = 1;
    if (fd_ >= 0) ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }
  ~PlainClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  PlainClient(const PlainClient&) = delete;
  PlainClient& operator=(const PlainClient&) = delete;

  bool ok() const { return fd_ >= 0; }
  // A reply: the 6-byte head, then the payload it announces (zoned digits: the low half-bytes).
  // Nothing is pipelined, so whatever arrives before the reply is whole belongs to it.
  bool Reply() {
    std::size_t have = 0, want = 6;
    while (have < want) {
      const ssize_t r = ::recv(fd_, buffer_ + have, sizeof buffer_ - have, 0);
      if (r <= 0) return false;
      have += static_cast<std::size_t>(r);
      if (want == 6 && have >= 6) {
        std::size_t length = 0;
        for (int i = 1; i <= 5; ++i) length = length * 10 + (static_cast<uint8_t>(buffer_[i]) & 15);
        want = 6 + length;
        if (want > sizeof buffer_) return false;
      }
    }
    received += static_cast<int64_t>(have - 6);
    return true;
  }
  bool Exchange(const std::string& wire) {
    return ::send(fd_, wire.data(), wire.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(wire.size()) && Reply();
  }
  int64_t received = 0;  // payload bytes of every reply so far

 private:
  int fd_ = -1;
  char buffer_[16384];
};

}  // namespace kyx::bench
