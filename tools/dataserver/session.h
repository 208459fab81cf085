#pragma once
// One client connection: greeting, then requests read and answered one at a time until the
// client leaves, the server hangs up (a fault, a request it cannot frame, a time-out) or stops.
#include <map>
#include <optional>
#include <string>

#include "tools/dataserver/data_set_download.h"
#include "tools/dataserver/descriptions.h"
#include "tools/dataserver/faults.h"
#include "tools/dataserver/queries.h"
#include "tools/dataserver/replies.h"
#include "tools/dataserver/server.h"
#include "tools/dataserver/store.h"

namespace kyx::dataserver {

class Session {
 public:
  Session(DataServer& server, int fd, int connection);
  void Run();

 private:
  // What to do after a request: go on, or hang up.
  enum class Next { kContinue, kHangup };

  Next Answer(RequestKind kind, const Reply& reply);
  Next Dispatch(char letter, const std::string& request);
  Reply Login(const std::string& request, const Fault* fault);
  // The replication program's login ("r": the system by its index) and the login of one user of
  // the list on its connection ("s": the user's file is served from then on).
  Reply ReplicaLogin(const std::string& request, const Fault* fault);
  Reply UserLogin(const std::string& request);
  // Forgets the login and everything served under it.
  void StartLogin();
  // The logins' common part: the user and password of the request checked for `sys` (idx 0 when
  // there is no such system), the reply, and the session's state after it.
  Reply Logged(const std::string& request, const SystemDef& sys, const Fault* fault);
  Reply Block(char letter, const std::string& request);
  Reply Descriptions(const std::string& request);
  // The elaboration: the layout record, a query (its first block), the next block.
  Reply Layout(const std::string& request);
  Reply Query(const std::string& request);
  Reply NextBlock();
  // The data-set download: its first block, the next one, the client giving it up.
  Reply DataSetFirst(const std::string& request);
  Reply DataSetNext(const std::string& request);
  // The image a block request reads from (built once per login); nullptr with `status` set
  // when the request names nothing the server has.
  const std::string* Image(char letter, const std::string& library, int layout, char* status);

  DataServer& server_;
  const CodeTable& table_;
  int fd_;
  int connection_;
  Store store_;
  bool store_ok_ = false;

  // Login state.
  bool logged_in_ = false;
  bool replica_ = false;  // logged in by the replication program: it may switch users
  std::string user_;
  SystemDef system_;
  std::map<std::string, std::string> images_;
  DescriptionCursor descriptions_;
  QueryCursor query_;               // the result being handed out block by block
  DataSetDownload data_set_;        // the data set being handed out block by block
  std::optional<Fault> pending_;  // the fault drawn for the request being answered
};

}  // namespace kyx::dataserver
