// The program from Main to "Uscita" against our data server on 127.0.0.1, with every real
// service: the login confirms by itself, the options dialog applies the profile without showing,
// the main window opens and "/AUTO" logs in and downloads the structure and the descriptions.
#include <sqlite3.h>

#include <memory>

#include "common/avvio.h"
#include "common/registro_istanze.h"
#include "tests/server/tabella.h"
#include "tests/ui/dialoghi/ambiente_dialoghi.h"
#include "tests/ui/dialoghi/copia_registrata.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx::test {
namespace {

namespace ds = dataserver;

// The first column of the first row of a query on a SQLite file, read straight through SQLite.
std::string Valore_Sql(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  std::string out = "?";
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    // The tables declare the program's case-blind collation; a plain one serves for reading.
    sqlite3_create_collation(db, "JET", SQLITE_UTF8, nullptr,
                             [](void*, int la, const void* a, int lb, const void* b) {
                               const int n = la < lb ? la : lb;
                               const int c = sqlite3_strnicmp(static_cast<const char*>(a),
                                                              static_cast<const char*>(b), n);
                               return c != 0 ? c : la - lb;
                             });
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
      const unsigned char* t = sqlite3_column_text(st, 0);
      out = t ? reinterpret_cast<const char*>(t) : "NULL";
    } else {
      out = std::string("? ") + sqlite3_errmsg(db);
    }
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

class AvvioCompleto : public AmbienteDialoghi {
 protected:
  AvvioCompleto() {
    // The real services below the windows; only the end of the process is recorded.
    agganci_base::reset();
    agganci_dialoghi::reset();
    Installa_Dialoghi();
    agganci_base::Termina_Programma = [this](int codice) {
      traccia.push_back("Termina " + std::to_string(codice));
    };
    sock::reset();

    EXPECT_FALSE(Genera_Tabella(dir).empty());
    EXPECT_TRUE(ds::GenerateSample(dir.file("server.db"),
                                   ds::SizeOptions(ds::SampleSize::kSmall, 7)).ok());
    ds::ServerOptions o;
    o.database = dir.file("server.db");
    o.code_table = dir.file("KYX.Tbl");
    server_ = std::make_unique<ds::DataServer>(o);
    std::string errore;
    EXPECT_TRUE(server_->Start(&errore)) << errore;

    Profilo p;
    p.porta = std::to_string(server_->port());
    p.utente = ds::sample::kUser;
    p.password = ds::sample::kPassword;
    p.nome = ds::sample::kSales;
    Scrivi_Profilo(1, p);
    // Main starts from nothing: the program folder comes from $KYX_HOME.
    stato::reset();
  }
  ~AvvioCompleto() override {
    Chiudi_Finestre();
    stato_db::reset();
    sock::reset();
    server_->Stop();
  }

  std::string Mdb(int n) const { return dir.file("Dati/KYX_" + std::to_string(n) + ".MDB"); }

  std::unique_ptr<ds::DataServer> server_;
};

TEST_F(AvvioCompleto, MainLogsInAppliesTheProfileConnectsAndEndsOnUscita) {
  Main("/AUTO");

  EXPECT_FALSE(frmPassword.Loaded());
  EXPECT_FALSE(frmOpzioni.Loaded());
  ASSERT_TRUE(frmBase.Loaded());
  FrmBase& base = *frmBase;
  EXPECT_TRUE(base.isVisible());
  EXPECT_TRUE(base.Enabled());
  EXPECT_TRUE(Connesso);
  EXPECT_EQ(base.Toolbar1->Buttons("Server").ImageKey(), "Stop");
  EXPECT_EQ(Password_Utente, "ALFA^^^^^^");
  EXPECT_EQ(Cartella_Programma, dir.path() + "/");
  EXPECT_TRUE(host.shown().empty());
  // The definitions and the descriptions were downloaded into the profile's data folder.
  EXPECT_EQ(Valore_Sql(Mdb(0), "SELECT COUNT(*) FROM SINF"), "2");
  for (const char* t : {"CHIAVI", "VALORI", "AREE", "LAYOUT", "LAY_ELEM"}) {
    EXPECT_GT(std::stoll("0" + Valore_Sql(Mdb(0), std::string("SELECT COUNT(*) FROM ") + t)), 0) << t;
  }
  EXPECT_GT(std::stoll("0" + Valore_Sql(Mdb(1), "SELECT COUNT(*) FROM KYX_DS_20F")), 0);
  EXPECT_EQ(Leggi_Ini("Generale", "Principale", ""), "001");
  // The login request carried the user and the password of the profile.
  const auto richieste = server_->Requests();
  ASSERT_FALSE(richieste.empty());
  EXPECT_EQ(richieste.front().text.substr(0, 26), "u00085ROSSI     ALFA      ");

  base.Esegui_Pulsante(base.Toolbar1->Buttons("Uscita"), ui::vbLeftButton);
  EXPECT_EQ(traccia, std::vector<std::string>{"Termina 0"});
  EXPECT_NE(Leggi_Ini("Generale", "Width", ""), "");
  EXPECT_NE(Leggi_Ini("Generale", "Funzione Mouse", ""), "");
  EXPECT_EQ(Leggi_Ini("001", "Dim Dati 000", "").size(), 6u);
}

TEST_F(AvvioCompleto, ASecondCopyOnTheSameDataFolderWaitsWithOKDisabled) {
  CopiaRegistrata altra(dir.file("KYX.DAT"), dir.path() + "/Dati\\");
  ASSERT_TRUE(altra.registrata());
  Main("/AUTO");
  ASSERT_TRUE(frmPassword.Loaded());
  EXPECT_TRUE(frmPassword->isVisible());
  EXPECT_FALSE(frmPassword->cmdOK->isEnabled());
  EXPECT_FALSE(frmBase.Loaded());
  EXPECT_EQ(server_->connections(), 0);
  // Cancelling leaves no window: the program ends.
  frmPassword->cmdEsci_Click();
  EXPECT_TRUE(ui::KyForm::Forms().empty());
}

}  // namespace
}  // namespace kyx::test
