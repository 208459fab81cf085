#include "tests/tools/dataserver/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace kyx::test {

using Clock = std::chrono::steady_clock;

std::string MakeTable(const TempDir& dir) {
  const std::string path = dir.file("KYX.Tbl");
  const std::string command = std::string("'") + KYX_PYTHON + "' '" + KYX_MAKE_TBL + "' '" + path + "'";
  return std::system(command.c_str()) == 0 ? path : "";
}

RawClient::RawClient(const CodeTable& table, uint16_t port) : table_(table) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) Close();
}

RawClient::~RawClient() { Close(); }

void RawClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void RawClient::Send(const std::string& text) { SendRaw(table_.EncodeText(text)); }

void RawClient::SendRaw(const std::string& bytes) {
  std::size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

std::optional<std::string> RawClient::Read(std::size_t n, std::chrono::milliseconds timeout) {
  partial_.clear();
  const auto deadline = Clock::now() + timeout;
  while (partial_.size() < n && fd_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) break;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[8192];
    const ssize_t got = ::recv(fd_, buffer, std::min(sizeof buffer, n - partial_.size()), 0);
    if (got <= 0) break;
    partial_.append(buffer, static_cast<std::size_t>(got));
  }
  if (partial_.size() < n) return std::nullopt;
  return partial_;
}

std::optional<std::string> RawClient::ReadToClose(std::chrono::milliseconds timeout) {
  partial_.clear();
  const auto deadline = Clock::now() + timeout;
  while (fd_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return std::nullopt;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    char buffer[8192];
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    if (got <= 0) return partial_;
    partial_.append(buffer, static_cast<std::size_t>(got));
  }
  return std::nullopt;
}

bool RawClient::Silent(std::chrono::milliseconds quiet) {
  pollfd p{fd_, POLLIN, 0};
  return fd_ >= 0 && ::poll(&p, 1, static_cast<int>(quiet.count())) == 0;
}

RawClient::Reply RawClient::ReadReply(std::chrono::milliseconds timeout) {
  Reply r;
  const auto head = Read(6, timeout);
  if (!head) return r;
  r.status = table_.Decode(static_cast<uint8_t>((*head)[0]));
  r.length = S(*head, 2, 5);
  if (r.length < 0 || r.length > 8192) return r;
  const auto payload = Read(static_cast<std::size_t>(r.length), timeout);
  if (!payload) return r;
  r.payload = *payload;
  r.ok = true;
  return r;
}

std::string A(const CodeTable& table, const std::string& wire, std::size_t pos, std::size_t len) {
  if (pos == 0 || pos - 1 + len > wire.size()) return "<out of record>";
  return table.DecodeText(wire.substr(pos - 1, len));
}

long B(const std::string& wire, std::size_t pos, std::size_t len) {
  long v = 0;
  for (std::size_t i = 0; i < len; ++i) v = v * 256 + static_cast<uint8_t>(wire.at(pos - 1 + i));
  return v;
}

long S(const std::string& wire, std::size_t pos, std::size_t len) {
  long v = 0;
  for (std::size_t i = 0; i < len; ++i) v = v * 10 + (static_cast<uint8_t>(wire.at(pos - 1 + i)) & 0x0F);
  const bool negative = (static_cast<uint8_t>(wire.at(pos - 2 + len)) >> 4) != 0x0F;
  return negative ? -v : v;
}

std::string Digits(long value, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld", width, value);
  return text;
}

std::string Pad(const std::string& text, std::size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

std::string LoginRequest(const std::string& user, const std::string& password, const std::string& system,
                         const std::string& address, int port, const std::string& host) {
  return "u00085" + Pad(user, 10) + Pad(password, 10) + "-KYX-" + Pad(system, 10) + Pad(address, 15) +
         Digits(port, 5) + Pad(host, 20) + Pad(system, 10);
}

void SampleServer::SetUp() {
  db = dir.file("server.db");
  ASSERT_TRUE(dataserver::GenerateSample(db, dataserver::SizeOptions(dataserver::SampleSize::kSmall, 1)).ok());
  options.database = db;
  options.code_table = MakeTable(dir);
  ASSERT_FALSE(options.code_table.empty()) << "the table generator did not run";
  options.clock = [] { return std::string(kServerTime); };
  server = std::make_unique<dataserver::DataServer>(options);
  std::string error;
  ASSERT_TRUE(server->Start(&error)) << error;
  ASSERT_NE(server->port(), 0);
}

std::unique_ptr<RawClient> SampleServer::Connect() {
  auto client = std::make_unique<RawClient>(table(), server->port());
  EXPECT_TRUE(client->connected());
  const auto greeting = client->ReadReply();
  EXPECT_TRUE(greeting.ok);
  return client;
}

std::unique_ptr<RawClient> SampleServer::LoggedIn(const std::string& system) {
  auto client = Connect();
  const auto reply = client->Exchange(LoginRequest(dataserver::sample::kUser, dataserver::sample::kPassword, system));
  EXPECT_TRUE(reply.ok);
  EXPECT_EQ(A(table(), reply.payload, 1, 1), "S");
  return client;
}

}  // namespace kyx::test
