// kyx-sqlmaster: fills an ODBC database from our data server (see riempi_master.h).
//   kyx-sqlmaster --odbc CONNECTION-STRING --database NAME --store SERVER.DB --port N --user U --password P
//                 --system S --table KYX.Tbl [--server HOST] [--scratch FOLDER] [--data-set SYSTEM]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "platform/data/odbc_connection.h"
#include "tools/sqlmaster/riempi_master.h"

int main(int argc, char** argv) {
  std::map<std::string, std::string> a;
  for (int i = 1; i + 1 < argc; i += 2) a[argv[i]] = argv[i + 1];
  for (const char* k : {"--odbc", "--database", "--store", "--port", "--user", "--password", "--system", "--table"}) {
    if (!a.count(k)) {
      std::fprintf(stderr, "kyx-sqlmaster: %s is missing\n", k);
      return 2;
    }
  }
  kyx::sqlmaster::Opzioni o;
  if (a.count("--server")) o.server = a["--server"];
  o.porta = std::atoi(a["--port"].c_str());
  o.utente = a["--user"];
  o.password = a["--password"];
  o.sistema = a["--system"];
  o.tabella = a["--table"];
  o.store = a["--store"];
  o.database = a["--database"];
  if (a.count("--data-set")) o.dati = a["--data-set"];
  std::string scratch = a.count("--scratch") ? a["--scratch"] : "";
  bool own = scratch.empty();
  if (own) {
    std::string t = (std::filesystem::temp_directory_path() / "kyx_sqlmaster_XXXXXX").string();
    if (!mkdtemp(t.data())) return 1;
    scratch = t;
  }
  o.cartella = scratch;
  kyx::data::OdbcConnection cn;
  kyx::data::Status s = cn.OpenString(a["--odbc"]);
  std::string errore;
  bool ok = s.ok() && kyx::sqlmaster::Riempi(o, cn, &errore);
  if (!s.ok()) errore = s.description();
  cn.Close();
  if (own) {
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
  }
  if (!ok) {
    std::fprintf(stderr, "kyx-sqlmaster: %s\n", errore.c_str());
    return 1;
  }
  return 0;
}
