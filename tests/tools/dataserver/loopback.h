#pragma once
// What the data-server tests share: the generated code table, a sample server on a free
// loopback port, and a raw client that speaks the wire format by hand (connect, send translated
// requests, read exact byte counts with a time-out, notice a hang-up) and decodes reply fields
// with the byte layouts ("A" text, "B" big-endian binary, "S" zoned).
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"
#include "tools/dataserver/code_table.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx::test {

using namespace std::chrono_literals;
using dataserver::CodeTable;

// KYX.Tbl written by the project's generator into `dir`; "" when it could not run.
std::string MakeTable(const TempDir& dir);

class RawClient {
 public:
  RawClient(const CodeTable& table, uint16_t port);
  ~RawClient();
  bool connected() const { return fd_ >= 0; }

  // Sends the text through the code table, exactly as given.
  void Send(const std::string& text);
  void SendRaw(const std::string& bytes);
  // Exactly n bytes within the time-out; nullopt when they did not come (what came is in
  // `partial`).
  std::optional<std::string> Read(std::size_t n, std::chrono::milliseconds timeout = 5s);
  // Everything that arrives until the peer hangs up; nullopt when it did not within the time.
  std::optional<std::string> ReadToClose(std::chrono::milliseconds timeout = 5s);
  // True when nothing arrived within `quiet` and the connection is still open.
  bool Silent(std::chrono::milliseconds quiet);
  void Close();
  const std::string& partial() const { return partial_; }

  struct Reply {
    char status = '\0';
    long length = -1;
    std::string payload;  // wire bytes
    bool ok = false;      // head and the whole payload arrived
  };
  // Reads a head, then as many bytes as it announces (up to 8192).
  Reply ReadReply(std::chrono::milliseconds timeout = 5s);
  // Sends a request and reads its reply.
  Reply Exchange(const std::string& text) {
    Send(text);
    return ReadReply();
  }

 private:
  const CodeTable& table_;
  int fd_ = -1;
  std::string partial_;
};

// Field decoders, positions from 1.
std::string A(const CodeTable& table, const std::string& wire, std::size_t pos, std::size_t len);
long B(const std::string& wire, std::size_t pos, std::size_t len);
long S(const std::string& wire, std::size_t pos, std::size_t len);

// The 91-character login request as the program builds it.
std::string LoginRequest(const std::string& user, const std::string& password, const std::string& system,
                         const std::string& address = "127.0.0.1", int port = 40000,
                         const std::string& host = "postazione");

// Digits with leading zeros.
std::string Digits(long value, int width);
std::string Pad(const std::string& text, std::size_t width);

// A server on the small sample (seed 1), started for each test, with a fixed server time.
class SampleServer : public ::testing::Test {
 protected:
  static constexpr char kServerTime[] = "20240701120000";
  void SetUp() override;
  void TearDown() override { server.reset(); }
  // A new client that has read the greeting.
  std::unique_ptr<RawClient> Connect();
  // A client logged in as the sample's first user on `system`.
  std::unique_ptr<RawClient> LoggedIn(const std::string& system = dataserver::sample::kSales);
  const CodeTable& table() const { return server->table(); }

  TempDir dir;
  std::string db;
  std::unique_ptr<dataserver::DataServer> server;
  dataserver::ServerOptions options;
};

}  // namespace kyx::test
