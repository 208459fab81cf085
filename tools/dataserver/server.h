#pragma once
// The data server: listens on 127.0.0.1, greets every client, and serves the information systems
// of a server database (store.h) through the code table, one thread per connection. Made for the
// integration tests (start it on a free port, arm faults, read back every request) and for the
// demo (the kyx-dataserver program). Stop() - or the destructor - closes every connection and
// joins every thread.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/dataserver/code_table.h"
#include "tools/dataserver/faults.h"

namespace kyx::dataserver {

struct ServerOptions {
  std::string database;    // the server database (SQLite file)
  std::string code_table;  // KYX.Tbl; empty = use `table` as given
  CodeTable table;         // used when code_table is empty
  uint16_t port = 0;       // 0 = a free port, reported by port()
  // How long a connection may stay quiet between two requests, and how long a request may take
  // to arrive whole once its first byte came; then the server hangs up.
  std::chrono::milliseconds idle_timeout{std::chrono::minutes(10)};
  std::chrono::milliseconds request_timeout{std::chrono::seconds(10)};
  // The server time ("yyyymmddhhnnss"); the local time when not set.
  std::function<std::string()> clock;
};

// A request as it reached the server.
struct RecordedRequest {
  int connection = 0;   // 1 for the first connection accepted, 2 for the next...
  RequestKind kind = RequestKind::kOther;
  std::string wire;     // the bytes as received
  std::string text;     // the same bytes decoded through the code table
};

class DataServer {
 public:
  explicit DataServer(ServerOptions options);
  ~DataServer();
  DataServer(const DataServer&) = delete;
  DataServer& operator=(const DataServer&) = delete;

  // Loads the code table, checks the database and starts listening; false with a reason.
  bool Start(std::string* error);
  void Stop();
  uint16_t port() const { return port_; }
  const CodeTable& table() const { return options_.table; }

  // Faults to play (see faults.h).
  void Arm(RequestKind kind, const Fault& fault) { faults_.Arm(kind, fault); }
  void ClearFaults() { faults_.Clear(); }

  // The server time from now on ("" goes back to the clock of the options).
  void SetServerTime(const std::string& time);
  std::string ServerTime() const;

  // Every request received so far, in order of arrival.
  std::vector<RecordedRequest> Requests() const;
  // Waits until at least `count` requests were received; false when the time ran out.
  bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
  void ClearRequests();
  int connections() const { return accepted_.load(); }
  // Connections whose session has ended (the client left or the server hung up).
  int finished_connections() const { return finished_.load(); }

  // Used by the sessions.
  void Record(RecordedRequest request);
  FaultPlan& faults() { return faults_; }
  const ServerOptions& options() const { return options_; }
  const std::atomic<bool>& stopping() const { return stopping_; }

 private:
  void AcceptLoop();
  void Reap(bool all);

  ServerOptions options_;
  FaultPlan faults_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> finished_{0};
  int listener_ = -1;
  uint16_t port_ = 0;
  std::thread acceptor_;

  struct Worker {
    int fd = -1;
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::mutex workers_mutex_;
  std::list<Worker> workers_;

  mutable std::mutex requests_mutex_;
  mutable std::condition_variable requests_cv_;
  std::vector<RecordedRequest> requests_;

  mutable std::mutex time_mutex_;
  std::string time_override_;
};

}  // namespace kyx::dataserver
