#include "tools/dataserver/server.h"

#include <ctime>

#include "platform/data/sqlite_connection.h"
#include "tools/dataserver/session.h"
#include "tools/dataserver/socket_io.h"

namespace kyx::dataserver {

namespace {

std::string LocalTimeNow() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &tm);
  return text;
}

}  // namespace

DataServer::DataServer(ServerOptions options) : options_(std::move(options)) {}

DataServer::~DataServer() { Stop(); }

bool DataServer::Start(std::string* error) {
  std::string reason;
  if (!options_.code_table.empty() && !options_.table.Load(options_.code_table, &reason)) {
    if (error) *error = reason;
    return false;
  }
  {
    data::SqliteConnection probe;
    data::Status s = probe.Open(options_.database, data::OpenMode::kReadOnly);
    if (!s) {
      if (error) *error = "cannot open the server database " + options_.database + ": " + s.ToString();
      return false;
    }
  }
  listener_ = ListenLoopback(options_.port, &port_, &reason);
  if (listener_ < 0) {
    if (error) *error = reason;
    return false;
  }
  stopping_ = false;
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return true;
}

void DataServer::Stop() {
  stopping_ = true;
  if (acceptor_.joinable()) acceptor_.join();
  CloseFd(listener_);
  listener_ = -1;
  Reap(true);
}

void DataServer::AcceptLoop() {
  while (!stopping_.load()) {
    Reap(false);
    const int fd = AcceptFor(listener_, std::chrono::milliseconds(50));
    if (fd < 0) continue;
    const int number = ++accepted_;
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::lock_guard<std::mutex> lock(workers_mutex_);
    workers_.push_back(Worker{fd, std::thread([this, fd, number, done] {
                                Session(*this, fd, number).Run();
                                ++finished_;
                                done->store(true);
                              }),
                              done});
  }
}

void DataServer::Reap(bool all) {
  std::list<Worker> ended;
  {
    std::lock_guard<std::mutex> lock(workers_mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      if (all || it->done->load()) {
        if (all) Hangup(it->fd);  // wakes a session waiting on its client
        ended.splice(ended.end(), workers_, it++);
      } else {
        ++it;
      }
    }
  }
  for (auto& w : ended) {
    if (w.thread.joinable()) w.thread.join();
    CloseFd(w.fd);
  }
}

void DataServer::SetServerTime(const std::string& time) {
  std::lock_guard<std::mutex> lock(time_mutex_);
  time_override_ = time;
}

std::string DataServer::ServerTime() const {
  {
    std::lock_guard<std::mutex> lock(time_mutex_);
    if (!time_override_.empty()) return time_override_;
  }
  return options_.clock ? options_.clock() : LocalTimeNow();
}

void DataServer::Record(RecordedRequest request) {
  {
    std::lock_guard<std::mutex> lock(requests_mutex_);
    requests_.push_back(std::move(request));
  }
  requests_cv_.notify_all();
}

std::vector<RecordedRequest> DataServer::Requests() const {
  std::lock_guard<std::mutex> lock(requests_mutex_);
  return requests_;
}

bool DataServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(requests_mutex_);
  return requests_cv_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void DataServer::ClearRequests() {
  std::lock_guard<std::mutex> lock(requests_mutex_);
  requests_.clear();
}

}  // namespace kyx::dataserver
