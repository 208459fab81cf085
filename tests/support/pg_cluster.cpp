#include "tests/support/pg_cluster.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kyx::test {

namespace {

constexpr char kBin[] = "/usr/lib/postgresql/15/bin/";
constexpr char kDriver[] = "KyxPostgreSQL";

int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

std::string DriverLibrary() {
  for (const char* p : {"/usr/lib/x86_64-linux-gnu/odbc/psqlodbca.so", "/usr/lib/aarch64-linux-gnu/odbc/psqlodbca.so",
                        "/usr/lib/odbc/psqlodbca.so"}) {
    if (std::filesystem::exists(p)) return p;
  }
  return "psqlodbca.so";
}

// A shell word in single quotes.
std::string Word(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// unixODBC reads the driver registration (ODBCSYSINI and its odbcinst.ini) once per process and
// keeps it: a registration in each cluster's folder would be gone with the first cluster, and
// every later cluster of the same process would find no driver. The registration is therefore
// written once, in a folder of its own that lives as long as the process, and the environment
// set once. The driver's own (CommLog=0) keeps any system-wide setting from applying.
class Registration {
 public:
  Registration() {
    std::string templ = (std::filesystem::temp_directory_path() / "kyx_odbc_XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) return;
    dir_ = templ;
    {
      std::ofstream ini(dir_ + "/odbcinst.ini");
      ini << "[" << kDriver << "]\nDescription=PostgreSQL for the tests\nDriver=" << DriverLibrary()
          << "\nCommLog=0\nDebug=0\n";
      std::ofstream(dir_ + "/odbc.ini");
    }
    ::setenv("ODBCSYSINI", dir_.c_str(), 1);
    ::setenv("ODBCINI", (dir_ + "/odbc.ini").c_str(), 1);
    ::setenv("KYX_ODBC_DRIVER", kDriver, 1);
  }
  ~Registration() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  bool ok() const { return !dir_.empty(); }

 private:
  std::string dir_;
};

bool Register() {
  static const Registration registration;
  return registration.ok();
}

}  // namespace

PgCluster::PgCluster(std::string user, std::string password) : user_(std::move(user)), password_(std::move(password)) {}

PgCluster::~PgCluster() {
  if (started_) Run(std::string(kBin) + "pg_ctl -D " + Word(dir_ + "/data") + " -m immediate -w stop", nullptr);
  if (!dir_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
}

bool PgCluster::Run(const std::string& command, std::string* output) const {
  // Root may not run a cluster: every cluster command runs as "postgres" then, from "/" (the
  // test's own folder may be closed to that user, and psql would complain about it on stderr).
  const std::string line = (::geteuid() == 0 ? "cd / && runuser -u postgres -- " : "") + command + " 2>&1";
  FILE* p = ::popen(line.c_str(), "r");
  if (!p) return false;
  std::string text;
  std::array<char, 4096> buffer{};
  size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), p)) > 0) text.append(buffer.data(), n);
  const int rc = ::pclose(p);
  if (output) *output = text;
  return rc == 0;
}

bool PgCluster::Start(std::string* error) {
  std::string templ = (std::filesystem::temp_directory_path() / "kyx_pg_XXXXXX").string();
  if (::mkdtemp(templ.data()) == nullptr) {
    *error = "mkdtemp failed";
    return false;
  }
  dir_ = templ;
  if (::geteuid() == 0) {
    const passwd* pw = ::getpwnam("postgres");
    if (!pw || ::chown(dir_.c_str(), pw->pw_uid, pw->pw_gid) != 0) {
      *error = "no postgres user to run the cluster";
      return false;
    }
  }
  {
    std::ofstream pw(dir_ + "/pwfile");
    pw << password_ << "\n";
  }
  ::chmod((dir_ + "/pwfile").c_str(), 0644);
  std::string out;
  if (!Run(std::string(kBin) + "initdb -D " + Word(dir_ + "/data") + " -U " + Word(user_) + " --pwfile=" +
               Word(dir_ + "/pwfile") + " -E UTF8 --locale=C --auth-local=trust --auth-host=scram-sha-256",
           &out)) {
    *error = "initdb: " + out;
    return false;
  }
  for (int attempt = 0; attempt < 5 && !started_; ++attempt) {
    port_ = FreePort();
    started_ = Run(std::string(kBin) + "pg_ctl -D " + Word(dir_ + "/data") + " -l " + Word(dir_ + "/log") +
                       " -w -t 30 -o " + Word("-p " + std::to_string(port_) + " -k " + dir_ +
                                              " -c listen_addresses=127.0.0.1 -c fsync=off") + " start",
                   &out);
  }
  if (!started_) {
    *error = "pg_ctl: " + out;
    return false;
  }
  if (!Register()) {
    *error = "cannot register the ODBC driver";
    return false;
  }
  // Registered once per process; the port is this cluster's.
  ::setenv("KYX_ODBC_DRIVER", kDriver, 1);
  ::setenv("KYX_ODBC_EXTRA", ("Port=" + std::to_string(port_) + ";").c_str(), 1);
  return true;
}

bool PgCluster::CreateDatabase(const std::string& name, std::string* error) {
  std::string out;
  if (!Run(std::string(kBin) + "createdb -h " + Word(dir_) + " -p " + std::to_string(port_) + " -U " + Word(user_) +
               " " + Word(name),
           &out)) {
    *error = "createdb: " + out;
    return false;
  }
  return true;
}

std::string PgCluster::Query(const std::string& database, const std::string& sql) const {
  std::string out;
  if (!Run(std::string(kBin) + "psql -X -q -A -t -F '|' -R ';' -v ON_ERROR_STOP=1 -h " + Word(dir_) + " -p " +
               std::to_string(port_) + " -U " + Word(user_) + " -d " + Word(database) + " -c " + Word(sql),
           &out))
    return "ERROR: " + out;
  while (!out.empty() && (out.back() == '\n' || out.back() == ';')) out.pop_back();
  return out;
}

std::string PgCluster::ConnectionString(const std::string& database) const {
  return std::string("DRIVER={") + kDriver + "};SERVER=127.0.0.1;Port=" + std::to_string(port_) +
         ";DATABASE=" + database + ";UID=" + user_ + ";PWD=" + password_ + ";";
}

}  // namespace kyx::test
