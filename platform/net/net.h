#pragma once
// A small IPv4 TCP client: what the program's socket module needs of the operating system, in
// place of Windows Sockets. Every call returns at once or within the time-out it is given; none
// shows anything; failures come back as a status with a message (or as a plain result where the
// caller only needs yes or no).
//
// Addresses are IPv4 addresses in network byte order held in a uint32_t, as the socket API and
// the program's own code (a Long from inet_addr) keep them. Sockets are plain descriptors;
// kNoSocket marks "none".
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace kyx::net {

using Socket = int;
inline constexpr Socket kNoSocket = -1;

class Status {
 public:
  Status() = default;
  static Status Ok() { return Status(); }
  static Status Error(std::string message) {
    Status s;
    s.ok_ = false;
    s.message_ = std::move(message);
    return s;
  }
  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  // What went wrong, in English, with the operating system's reason; "" when ok.
  const std::string& message() const { return message_; }

 private:
  bool ok_ = true;
  std::string message_;
};

// ---- Sockets ------------------------------------------------------------------------------------

// A new TCP socket (socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)), not inherited by child processes.
Status open_socket(Socket& socket);

// Connects `socket` to address:port, waiting at most `timeout` (a blocking connect() could
// freeze the caller for minutes while the system retries). The socket is left non-blocking,
// as the program's reads and writes are all driven by wait_ready(). On failure the socket is
// left open for the caller to close.
Status connect(Socket socket, uint32_t address, uint16_t port, std::chrono::milliseconds timeout);

// The same connect in two steps, for a caller that waits by itself (and lets its windows run
// meanwhile): connect_start makes the socket non-blocking and begins the connection, setting
// `in_progress` when it is not made yet; once the socket is writable, connect_finish tells how
// the connection ended.
Status connect_start(Socket socket, uint32_t address, uint16_t port, bool* in_progress);
Status connect_finish(Socket socket);

// SO_LINGER: on/off and the seconds to linger; the option is read back to confirm it (linger on
// with 0 seconds makes close() reset the connection at once).
Status set_linger(Socket socket, bool on, int seconds);

// Closes the socket; kNoSocket is ignored.
void close(Socket socket);

// ---- Waiting and moving bytes -----------------------------------------------------------------

enum class Direction { kRead, kWrite };

enum class Readiness {
  kReady,      // a receive or send can be tried now (it may still report a dropped connection)
  kTimedOut,   // nothing happened within the time-out
  kException,  // urgent (out-of-band) data is pending: the wait that select()'s exception set made
  kFailed,     // the wait itself failed (no such socket)
};

// Waits until the socket is readable or writable, at most `timeout`. A connection that was
// dropped or reset counts as ready, so that the receive or send that follows reports it.
Readiness wait_ready(Socket socket, Direction direction, std::chrono::milliseconds timeout);

// The outcome of one receive or send call.
struct Transfer {
  std::size_t bytes = 0;  // bytes moved; 0 when nothing moved
  bool closed = false;    // the connection is gone (closed by the peer, reset, or not a socket):
                          // no later call on this socket can move anything
  std::string message;    // the reason when nothing moved; "" otherwise
};

// One recv() of at most `size` bytes without waiting.
Transfer receive(Socket socket, void* into, std::size_t size);

// One send() of at most `size` bytes without waiting (a broken connection gives `closed`, never
// a SIGPIPE).
Transfer send_some(Socket socket, const void* from, std::size_t size);

// Sends every byte, waiting for the socket to become writable at most `timeout` each time;
// fails on a time-out or a broken connection (the bytes already sent stay sent).
Status send_all(Socket socket, const void* from, std::size_t size, std::chrono::milliseconds timeout);

// ---- Names and addresses ----------------------------------------------------------------------

// The local address and port of a bound or connected socket (getsockname).
Status local_address(Socket socket, uint32_t& address, uint16_t& port);

// The workstation's host name (gethostname).
Status host_name(std::string& name);

// A dotted IPv4 address ("127.0.0.1", also the short forms inet_aton accepts) or a host name
// looked up for an IPv4 address (the first one). An empty text is refused without a lookup.
Status resolve(std::string_view host, uint32_t& address);

// The dotted text of an address (inet_ntoa).
std::string address_text(uint32_t address);

}  // namespace kyx::net
