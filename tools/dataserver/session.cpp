#include "tools/dataserver/session.h"

#include <chrono>
#include <thread>

#include "platform/text/cp1252.h"
#include "tools/dataserver/images.h"
#include "tools/dataserver/socket_io.h"
#include "tools/dataserver/wire_record.h"

namespace kyx::dataserver {

namespace {

using Clock = std::chrono::steady_clock;

// The body of the data-set request "l" is followed on the wire by six blanks that its length
// does not count; they belong to that request and are read with it.
std::size_t TrailingBytes(char letter) { return letter == 'l' ? 6 : 0; }

// The longest body a request may announce: a query text may take all five digits, every other
// request fits in one block.
int64_t LongestBody(char letter) { return letter == 'h' ? 99999 : static_cast<int64_t>(kMaxPayload); }

// The layout record of an elaboration.
constexpr std::size_t kLayoutRecord = 4462;

std::string Trim(const std::string& s) { return std::string(text::trim_blanks(s)); }

}  // namespace

Session::Session(DataServer& server, int fd, int connection)
    : server_(server), table_(server.table()), fd_(fd), connection_(connection) {}

void Session::Run() {
  store_ok_ = static_cast<bool>(store_.Open(server_.options().database));
  if (Answer(RequestKind::kGreeting, Greeting()) == Next::kHangup) return;

  const auto& stopping = server_.stopping();
  // Bounded: each pass reads one request or ends the session.
  while (!stopping.load()) {
    std::string request;
    // The first byte may take as long as a client may idle; the rest of the request must follow
    // within the request time-out.
    ReadResult r = ReadExact(fd_, 1, &request, Clock::now() + server_.options().idle_timeout, stopping);
    if (r != ReadResult::kOk) break;
    r = ReadExact(fd_, 5, &request, Clock::now() + server_.options().request_timeout, stopping);
    int64_t length = 0;
    const char letter = table_.Decode(static_cast<uint8_t>(request[0]));
    const bool framed = r == ReadResult::kOk && ReadDigits(table_, request, 2, 5, &length) &&
                        length <= LongestBody(letter);
    if (framed) {
      r = ReadExact(fd_, static_cast<std::size_t>(length) + TrailingBytes(letter), &request,
                    Clock::now() + server_.options().request_timeout, stopping);
    }
    const RequestKind kind = framed && r == ReadResult::kOk ? KindOfLetter(letter) : RequestKind::kOther;
    server_.Record(RecordedRequest{connection_, kind, request, table_.DecodeText(request)});
    if (r != ReadResult::kOk) break;  // cut short: the client left or went quiet mid-request
    if (!framed) {
      // Without a length the next request cannot be found: say so and hang up.
      Answer(RequestKind::kOther, Reply{kStatusBadRequest, {}});
      break;
    }
    if (Dispatch(letter, request) == Next::kHangup) break;
  }
  Hangup(fd_);
}

Session::Next Session::Dispatch(char letter, const std::string& request) {
  const RequestKind kind = KindOfLetter(letter);
  pending_ = server_.faults().Next(kind);
  const Fault* fault = pending_ ? &*pending_ : nullptr;
  if (kind == RequestKind::kLogin) return Answer(kind, Login(request, fault));
  if (kind == RequestKind::kReplicaLogin) return Answer(kind, ReplicaLogin(request, fault));
  if (!logged_in_ && kind != RequestKind::kOther && kind != RequestKind::kTime) {
    return Answer(kind, Reply{kStatusNotLoggedIn, {}});
  }
  switch (kind) {
    case RequestKind::kLibrary:
    case RequestKind::kUserFile:
    case RequestKind::kElements:
    case RequestKind::kDrill: return Answer(kind, Block(letter, request));
    case RequestKind::kTime: return Answer(kind, TimeReply(table_, server_.ServerTime()));
    case RequestKind::kUserLogin: return Answer(kind, UserLogin(request));
    case RequestKind::kDescriptions: {
      const Next next = Answer(kind, Descriptions(request));
      // The client stores this block before it asks for the next: meanwhile its rows are read.
      if (next == Next::kContinue) descriptions_.ReadAhead(store_, table_, kMaxPayload);
      return next;
    }
    case RequestKind::kLayout: return Answer(kind, Layout(request));
    case RequestKind::kQuery: return Answer(kind, Query(request));
    case RequestKind::kNextBlock: return Answer(kind, NextBlock());
    case RequestKind::kDataSetFirst: return Answer(kind, DataSetFirst(request));
    case RequestKind::kDataSetNext: return Answer(kind, DataSetNext(request));
    case RequestKind::kDataSetCancel:
      data_set_.Close();
      return Answer(kind, Reply{kStatusOk, {}});
    default: return Answer(kind, Reply{kStatusUnsupported, {}});
  }
}

Reply Session::Layout(const std::string& request) {
  // Head, the record and the six blanks that follow it; the record itself is kept among the
  // recorded requests. Nothing of it changes the answers: the queries say all they need.
  if (request.size() != 6 + kLayoutRecord + TrailingBytes('l')) return Reply{kStatusBadRequest, {}};
  query_.Close();
  return Reply{kStatusOk, {}};
}

Reply Session::Query(const std::string& request) {
  std::string error;
  if (!query_.Start(store_, table_.DecodeText(std::string_view(request).substr(6)), &error)) {
    return Reply{kStatusUnknown, {}};  // "2": the server failed the query
  }
  return NextBlock();
}

Reply Session::NextBlock() {
  Reply reply;
  bool last = true;
  if (!query_.NextBlock(table_, kMaxPayload, &reply.payload, &last)) return Reply{kStatusUnknown, {}};
  reply.status = last ? '1' : '0';
  return reply;
}

Reply Session::DataSetFirst(const std::string& request) {
  // Body: records per block (5 digits), record length (5 digits), library (10), filter (512).
  int64_t per_block = 0, length = 0;
  if (request.size() != 6 + 532 || !ReadDigits(table_, request, 7, 5, &per_block) ||
      !ReadDigits(table_, request, 12, 5, &length)) {
    data_set_.Close();
    return Reply{kStatusBadRequest, {}};
  }
  std::string error;
  const char status = data_set_.Start(store_, ReadText(table_, request, 17, 10), system_.library,
                                      ReadText(table_, request, 27, 512), per_block, length, &error);
  if (status != kStatusOk) return Reply{status, {}};
  Reply reply;
  reply.status = data_set_.NextBlock(table_, per_block, kMaxPayload, &reply.payload);
  if (reply.status != kStatusOk) reply.payload.clear();
  return reply;
}

Reply Session::DataSetNext(const std::string& request) {
  int64_t per_block = 0;
  if (request.size() != 6 + 5 || !ReadDigits(table_, request, 7, 5, &per_block)) return Reply{kStatusBadRequest, {}};
  Reply reply;
  reply.status = data_set_.NextBlock(table_, per_block, kMaxPayload, &reply.payload);
  if (reply.status != kStatusOk) reply.payload.clear();
  return reply;
}

Reply Session::Login(const std::string& request, const Fault* fault) {
  if (request.size() != 91) {
    StartLogin();
    return Reply{kStatusBadRequest, {}};
  }
  SystemDef sys;
  bool sys_found = false;
  if (store_ok_) store_.FindSystem(Trim(ReadText(table_, request, 32, 10)), &sys, &sys_found);
  return Logged(request, sys_found ? sys : SystemDef{}, fault);
}

void Session::StartLogin() {
  logged_in_ = false;
  replica_ = false;
  images_.clear();
  descriptions_ = DescriptionCursor();
}

Reply Session::Logged(const std::string& request, const SystemDef& sys, const Fault* fault) {
  StartLogin();
  const std::string name = Trim(ReadText(table_, request, 7, 10));
  const std::string password = Trim(ReadText(table_, request, 17, 10));
  UserDef user;
  bool user_found = false;
  if (store_ok_) store_.FindUser(name, &user, &user_found);
  LoginAnswer answer;
  answer.client = connection_;
  answer.accepted = user_found && Trim(user.password) == password;
  answer.user = user_found ? user.idx : -1;
  answer.system = sys.idx;
  answer.library = sys.library;
  answer.separator = sys.separator;
  answer.code = sys.code;
  const bool refused = fault && fault->type == FaultType::kRefuseLogin;
  Reply reply = LoginReply(table_, answer, refused ? fault : nullptr);
  logged_in_ = !refused && answer.accepted && answer.system >= 1 && answer.client >= 0 && answer.user >= 0;
  if (logged_in_) {
    user_ = Trim(user.name);
    system_ = sys;
  }
  return reply;
}

Reply Session::ReplicaLogin(const std::string& request, const Fault* fault) {
  // Body: user 10, password 10, "KYX-Replica", local address, port and host name, and the
  // system's index in ten digits.
  int64_t index = 0;
  if (request.size() != 91 || !ReadDigits(table_, request, 82, 10, &index)) {
    StartLogin();
    return Reply{kStatusBadRequest, {}};
  }
  SystemDef sys;
  std::vector<SystemDef> systems;
  if (store_ok_) store_.Systems(&systems);
  for (const auto& s : systems) {
    if (s.idx == index) sys = s;
  }
  Reply reply = Logged(request, sys, fault);
  replica_ = logged_in_;
  return reply;
}

Reply Session::UserLogin(const std::string& request) {
  // Only on a connection the replication program logged in: the user's password is not asked.
  if (!replica_) return Reply{kStatusNotLoggedIn, {}};
  if (request.size() != 91) return Reply{kStatusBadRequest, {}};
  UserDef user;
  bool found = false;
  store_.FindUser(Trim(ReadText(table_, request, 7, 10)), &user, &found);
  if (!found) return Reply{kStatusUnknown, {}};
  user_ = Trim(user.name);
  images_.erase("c");
  LoginAnswer answer;
  answer.accepted = true;
  answer.client = connection_;
  answer.system = system_.idx;
  answer.user = user.idx;
  answer.library = system_.library;
  answer.separator = system_.separator;
  answer.code = system_.code;
  return LoginReply(table_, answer, nullptr);
}

const std::string* Session::Image(char letter, const std::string& library, int layout, char* status) {
  std::string key(1, letter);
  SystemDef sys = system_;
  if (letter == 'a') {
    // A blank library is the library of the system the client logged in to.
    if (!Trim(library).empty()) {
      bool found = false;
      store_.FindSystemByLibrary(library, &sys, &found);
      if (!found) {
        *status = kStatusUnknown;
        return nullptr;
      }
    }
    key += Trim(sys.library);
  } else if (letter == 'b' || letter == 'm') {
    key += std::to_string(layout);
  }
  auto it = images_.find(key);
  if (it != images_.end()) return &it->second;

  const std::string code = Trim(sys.code);
  std::string image;
  if (letter == 'a') {
    LibraryContent c;
    store_.Keys(code, &c.keys);
    store_.Values(code, &c.values);
    store_.Areas(code, &c.areas);
    store_.Layouts(code, &c.layouts);
    store_.Systems(&c.systems);
    store_.KeyMap(code, &c.key_map);
    std::vector<UserDef> users;
    store_.Users(&users);
    for (const auto& u : users) {
      std::vector<UserFilterDef> filters;
      std::vector<UserStructureDef> structures;
      store_.UserFilters(code, u.name, &filters);
      store_.UserStructures(code, u.name, &structures);
      (filters.empty() && structures.empty() ? c.users_second : c.users_first).push_back(u.name);
    }
    image = LibraryImage(table_, c);
  } else if (letter == 'b') {
    std::vector<ElementDef> elements;
    store_.Elements(code, layout, &elements);
    image = ElementsImage(table_, elements);
  } else if (letter == 'm') {
    std::vector<DrillDef> drills;
    store_.Drills(code, layout, &drills);
    image = DrillImage(table_, drills);
  } else {
    std::vector<UserFilterDef> filters;
    std::vector<UserStructureDef> structures;
    store_.UserFilters(code, user_, &filters);
    store_.UserStructures(code, user_, &structures);
    image = UserImage(table_, filters, structures);
  }
  return &images_.emplace(key, std::move(image)).first->second;
}

Reply Session::Block(char letter, const std::string& request) {
  // Bodies: offset 7 digits, byte count 5 digits, then the library (10, "a") or the layout
  // number (5 digits, "b" and "m"); "c" has nothing more, nor has "a" without a library (the
  // replication program's: the system logged in to).
  const bool no_library = letter == 'a' && request.size() == 6 + 12;
  const std::size_t body = letter == 'a' && !no_library ? 22 : letter == 'c' || no_library ? 12 : 17;
  int64_t offset = 0, count = 0, layout = 0;
  if (request.size() != 6 + body || !ReadDigits(table_, request, 7, 7, &offset) ||
      !ReadDigits(table_, request, 14, 5, &count) || count < 1 || count > static_cast<int64_t>(kMaxPayload) ||
      ((letter == 'b' || letter == 'm') && !ReadDigits(table_, request, 19, 5, &layout))) {
    return Reply{kStatusBadRequest, {}};
  }
  const std::string library = letter == 'a' && !no_library ? ReadText(table_, request, 19, 10) : "";
  char status = kStatusOk;
  const std::string* image = Image(letter, library, static_cast<int>(layout), &status);
  if (!image) return Reply{status, {}};
  return Reply{kStatusOk, Slice(*image, static_cast<std::size_t>(offset), static_cast<std::size_t>(count))};
}

Reply Session::Descriptions(const std::string& request) {
  // Body: the time of the client's last update (14) and "0" to start, "1" to go on.
  if (request.size() != 21) return Reply{kStatusBadRequest, {}};
  const std::string since = ReadText(table_, request, 7, 14);
  const std::string flag = ReadText(table_, request, 21, 1);
  // "0" starts over; "1" without a stream going gives just the final mark.
  if (flag == "0") descriptions_.Start(Trim(system_.code), since);
  return Reply{kStatusOk, descriptions_.NextBlock(store_, table_, kMaxPayload)};
}

Session::Next Session::Answer(RequestKind kind, const Reply& reply) {
  const auto& stopping = server_.stopping();
  std::optional<Fault> fault = kind == RequestKind::kGreeting ? server_.faults().Next(kind) : pending_;
  pending_.reset();
  const FaultType type = fault ? fault->type : FaultType::kNone;

  std::string head = ReplyHead(table_, reply.status, reply.payload.size());
  std::string payload = reply.payload;
  switch (type) {
    case FaultType::kStatus:
      head = ReplyHead(table_, fault->status, 0);
      payload.clear();
      break;
    case FaultType::kStatusPayload: head = ReplyHead(table_, fault->status, payload.size()); break;
    case FaultType::kOversized: head = ReplyHead(table_, reply.status, fault->length); break;
    case FaultType::kShortPayload:
      // A reply without payload is cut in its head.
      if (payload.empty()) head.resize(head.size() - std::min(fault->missing, head.size()));
      else payload.resize(payload.size() - std::min(fault->missing, payload.size()));
      break;
    case FaultType::kGarbledNumber:
      if (fault->garble_at == 0) {
        head[2] = '\xFA';
      } else {
        for (std::size_t i = fault->garble_at - 1; i < fault->garble_at - 1 + fault->garble_length && i < payload.size(); ++i)
          payload[i] = '\xFA';
      }
      break;
    case FaultType::kSilence: return Next::kContinue;
    case FaultType::kDropBefore: return Next::kHangup;
    case FaultType::kDropMidReply: {
      const std::string whole = head + payload;
      const std::size_t cut = payload.empty() ? head.size() / 2 : head.size() + payload.size() / 2;
      SendAll(fd_, std::string_view(whole).substr(0, cut), stopping);
      return Next::kHangup;
    }
    default: break;
  }

  bool sent = true;
  if (type == FaultType::kDribble) {
    const std::string whole = head + payload;
    for (std::size_t i = 0; i < whole.size() && sent; ++i) {
      sent = SendAll(fd_, std::string_view(whole).substr(i, 1), stopping);
      if (i + 1 < whole.size()) std::this_thread::sleep_for(std::chrono::milliseconds(fault->pause_ms));
    }
  } else if (type == FaultType::kChunked) {
    const std::string whole = head + payload;
    std::size_t at = 0;
    for (const Chunk& c : ChunkPlan(*fault, kind, whole.size())) {
      sent = SendAll(fd_, std::string_view(whole).substr(at, c.bytes), stopping);
      if (!sent) break;
      at += c.bytes;
      if (c.pause_us > 0) std::this_thread::sleep_for(std::chrono::microseconds(c.pause_us));
    }
  } else if (type == FaultType::kOneSegment || payload.empty()) {
    sent = SendAll(fd_, head + payload, stopping);
  } else {
    // As a host writes them: the head, then the payload, each its own segment.
    sent = SendAll(fd_, head, stopping) && SendAll(fd_, payload, stopping);
  }
  if (!sent || type == FaultType::kDropAfter) return Next::kHangup;
  return Next::kContinue;
}

}  // namespace kyx::dataserver
