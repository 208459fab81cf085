#include "tools/dataserver/replies.h"

#include "tools/dataserver/wire_record.h"

namespace kyx::dataserver {

std::string ReplyHead(const CodeTable& table, char status, std::size_t length) {
  WireRecord head(table, 6);
  head.Text(1, 1, std::string(1, status)).Zoned(2, 5, static_cast<int64_t>(length % 100000));
  return head.bytes();
}

Reply Greeting() { return Reply{}; }

Reply LoginReply(const CodeTable& table, LoginAnswer a, const Fault* refusal) {
  if (refusal) {
    switch (refusal->refusal) {
      case Refusal::kPassword: a.accepted = false; break;
      case Refusal::kSystem: a.system = 0; break;
      case Refusal::kClient: a.client = -1; break;
      case Refusal::kUser: a.user = -1; break;
    }
  }
  WireRecord r(table, 100);
  r.Blanks(1, 100);
  r.Text(1, 1, a.accepted ? "S" : "N");
  r.Zoned(52, 3, a.client).Zoned(55, 3, a.system).Zoned(58, 3, a.user);
  r.Text(61, 10, a.library).Text(71, 10, a.code).Text(94, 1, a.separator);
  return Reply{kStatusOk, r.bytes()};
}

Reply TimeReply(const CodeTable& table, const std::string& time) {
  WireRecord r(table, 14);
  r.Text(1, 14, time);
  return Reply{kStatusOk, r.bytes()};
}

}  // namespace kyx::dataserver
