#pragma once
// The few socket calls the server makes, each bounded: waits are cut into short slices so that a
// stopping server is noticed within one slice, and every wait has a deadline.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::dataserver {

// A listening TCP socket on 127.0.0.1; port 0 takes a free one. -1 with a reason on failure.
int ListenLoopback(uint16_t port, uint16_t* bound, std::string* error);

// Waits for a connection until `slice` passes; -1 when none came (or the socket failed).
int AcceptFor(int listener, std::chrono::milliseconds slice);

enum class ReadResult { kOk, kClosed, kTimedOut, kStopped };

// Reads exactly `count` bytes (appended to `out`) before `deadline`. Bytes that did arrive stay
// in `out` whatever the result.
ReadResult ReadExact(int fd, std::size_t count, std::string* out, std::chrono::steady_clock::time_point deadline,
                     const std::atomic<bool>& stopping);

// Sends every byte (one send call unless the kernel takes less); false when the peer is gone or
// the server stops.
bool SendAll(int fd, std::string_view bytes, const std::atomic<bool>& stopping);

// Ends the connection in both directions (the descriptor itself is closed by its owner).
void Hangup(int fd);
void CloseFd(int fd);

}  // namespace kyx::dataserver
