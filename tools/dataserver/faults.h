#pragma once
// Faults the server plays on request, so that tests can prove how the program copes with a
// server that refuses, errs, lies about lengths, dribbles, falls silent or hangs up. A fault is
// armed for one kind of exchange and fires on the n-th exchange of that kind (or on every one);
// arming is thread-safe and may happen while clients are connected.
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kyx::dataserver {

// The exchanges of the protocol, by the request that starts them (the greeting has none).
enum class RequestKind {
  kGreeting,        // sent by the server on connection
  kLogin,           // "u"
  kReplicaLogin,    // "r": the login of the replication program
  kUserLogin,       // "s": the replication program logs one user of the list on its connection
  kLibrary,         // "a": block of a library file (areas, systems, layouts, keys, values)
  kUserFile,        // "c": block of the user's filter and structure
  kElements,        // "b": block of a layout's elements
  kDrill,           // "m": block of a layout's drill rows
  kTime,            // "k": the server time
  kDescriptions,    // "d": a block of the description stream
  kLayout,          // "l": the layout record of an elaboration
  kQuery,           // "h": an elaboration query, answered by its first block
  kNextBlock,       // "i": the next block of the query's result
  kDataSetFirst,    // "e": a data-set download begins, answered by its first block
  kDataSetNext,     // "f": the next block of the data set
  kDataSetCancel,   // "g": the client gives the data-set download up
  kOther,           // any other letter
  kCount
};

// The request letter of a kind ('\0' for the greeting and the others).
char RequestLetter(RequestKind kind);
RequestKind KindOfLetter(char letter);
const char* KindName(RequestKind kind);

enum class FaultType {
  kNone,
  kRefuseLogin,     // the login reply refuses in the field named by `refusal`
  kStatus,          // head with `status` and length 0, no payload
  kStatusPayload,   // head with `status` and the normal length and payload
  kOversized,       // head announcing `length` bytes (above 8192), then the normal payload
  kShortPayload,    // head announcing the full length, `missing` bytes fewer sent (a reply
                    // without payload loses them from its head)
  kDribble,         // the reply sent one byte per segment, `pause_ms` apart
  kOneSegment,      // head and payload leave in one segment (normally two)
  kChunked,         // the reply cut into chunks of 1..`max_chunk` bytes at points drawn from
                    // `seed` (head and payload split or run together anywhere), with pauses of
                    // up to `pause_ms` between some of them: see ChunkPlan
  kSilence,         // no reply at all; the connection stays open
  kDropMidReply,    // the head and half the payload, then the connection is closed
  kDropBefore,      // the connection is closed instead of replying
  kDropAfter,       // the whole reply, then the connection is closed (after the greeting: the
                    // connection dropped right after the greeting)
  kGarbledNumber,   // the reply with `garble_length` bytes from payload position `garble_at`
                    // (1-based) replaced by 0xFA, a byte that is neither a zoned nor a packed
                    // digit nor a digit of the code table; `garble_at` 0 garbles the head's
                    // length field instead (its second digit)
};

// Which field of the login reply says no.
enum class Refusal {
  kPassword,  // position 1 "N" instead of "S": user or password wrong
  kSystem,    // system index 000 at position 55
  kClient,    // client index -01 at position 52
  kUser,      // user index -01 at position 58
};

struct Fault {
  FaultType type = FaultType::kNone;
  Refusal refusal = Refusal::kPassword;
  char status = '9';
  std::size_t length = 9000;  // kOversized
  std::size_t missing = 1;    // kShortPayload
  int pause_ms = 2;           // kDribble; kChunked: the longest pause
  uint64_t seed = 1;          // kChunked
  std::size_t max_chunk = 2048;  // kChunked
  std::size_t garble_at = 0;     // kGarbledNumber
  std::size_t garble_length = 1; // kGarbledNumber
  int on = 1;                 // fires on the on-th exchange of its kind from arming (1 = the next);
                              // 0 fires on every one
  int exchange = 0;           // set when it fires: which exchange of its kind it fired on (1 =
                              // the first since arming)
};

// One piece of a chunked reply: its size, and the pause before the next piece is sent.
struct Chunk {
  std::size_t bytes = 0;
  int pause_us = 0;
};

// How a kChunked fault cuts a reply of `size` bytes (head included): pieces of 1..max_chunk
// bytes that add up to `size`, sizes drawn log-uniformly so that single bytes and whole blocks
// both come up, and a pause of up to pause_ms after about one piece in four (none after the
// last). The same fault, kind and exchange give the same cuts, so a failure can be replayed;
// every exchange of a fault armed on all of them is cut its own way.
std::vector<Chunk> ChunkPlan(const Fault& fault, RequestKind kind, std::size_t size);

class FaultPlan {
 public:
  // Arms a fault for a kind (replacing the one armed for it) and restarts its count.
  void Arm(RequestKind kind, const Fault& fault);
  void Clear();
  // Counts one exchange of `kind` and returns the fault to play on it, if any, with `exchange`
  // set. A fault that fires once is disarmed by firing.
  std::optional<Fault> Next(RequestKind kind);

 private:
  std::mutex mutex_;
  struct Slot {
    Fault fault;
    int seen = 0;
  };
  std::array<Slot, static_cast<std::size_t>(RequestKind::kCount)> slots_{};
};

}  // namespace kyx::dataserver
