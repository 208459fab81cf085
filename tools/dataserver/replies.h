#pragma once
// Replies of the server: a 6-byte head (status "A"1, payload length "S"5) and the payload.
#include <string>

#include "tools/dataserver/code_table.h"
#include "tools/dataserver/definitions.h"
#include "tools/dataserver/faults.h"

namespace kyx::dataserver {

// Status characters of the reply head. "0" is the only one the program accepts; the others say
// why the server did not, for the logs and the tests.
inline constexpr char kStatusOk = '0';
inline constexpr char kStatusNotLoggedIn = '1';
inline constexpr char kStatusUnknown = '2';      // unknown library
inline constexpr char kStatusBadRequest = '8';   // a request whose fields cannot be read
inline constexpr char kStatusUnsupported = '9';  // a request letter the server does not serve

// The largest payload the program can take in one read.
inline constexpr std::size_t kMaxPayload = 8192;

struct Reply {
  char status = kStatusOk;
  std::string payload;  // wire bytes
};

// The head of a reply: status through the table, then the length as five zoned digits.
std::string ReplyHead(const CodeTable& table, char status, std::size_t length);

// The greeting the server sends as soon as a client connects: status "0", no payload.
Reply Greeting();

// The login reply payload (100 bytes):
//   1 A1 "S" accepted / "N" user or password wrong     52 S3 client index
//   55 S3 system index (0 = no such system)            58 S3 user index (-1 = unknown user)
//   61 A10 library of the system                       71 A10 code of the system
//   94 A1 separator of filter values
// every other byte blank.
struct LoginAnswer {
  bool accepted = false;
  int client = 0;
  int system = 0;
  int user = -1;
  std::string library;
  std::string separator;
  std::string code;  // the system's code, at 71 (what the replication program checks)
};
Reply LoginReply(const CodeTable& table, LoginAnswer answer, const Fault* refusal);

// The server time reply: 14 characters yyyymmddhhnnss.
Reply TimeReply(const CodeTable& table, const std::string& time);

}  // namespace kyx::dataserver
