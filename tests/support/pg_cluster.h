#pragma once
// A throw-away PostgreSQL 15 cluster on 127.0.0.1 for the tests of the SQL database path, reached
// through psqlODBC as the program reaches SQL Server: initdb and pg_ctl on a free port (as the
// "postgres" user when the tests run as root), one role with a password, the psqlODBC driver
// registered once per process in an odbcinst.ini of the tests' own (ODBCSYSINI, CommLog=0), and
// KYX_ODBC_DRIVER / KYX_ODBC_EXTRA pointing the program's connections at it. Stopped and removed
// when the object goes.
#include <string>

namespace kyx::test {

class PgCluster {
 public:
  // `user` and `password`: the role the program logs in with.
  PgCluster(std::string user, std::string password);
  ~PgCluster();
  PgCluster(const PgCluster&) = delete;
  PgCluster& operator=(const PgCluster&) = delete;

  // Creates and starts the cluster; false with the reason in *error.
  bool Start(std::string* error);
  // Creates an empty database owned by the role.
  bool CreateDatabase(const std::string& name, std::string* error);
  // Runs SQL through psql on `database` and returns its rows as "a|b;c|d" (an independent reader:
  // no ODBC, no code of ours); "ERROR: ..." when psql fails.
  std::string Query(const std::string& database, const std::string& sql) const;

  int port() const { return port_; }
  const std::string& user() const { return user_; }
  // The whole connection string of a database, for tools and tests.
  std::string ConnectionString(const std::string& database) const;

 private:
  bool Run(const std::string& command, std::string* output) const;

  std::string user_, password_, dir_;
  int port_ = 0;
  bool started_ = false;
};

}  // namespace kyx::test
