// The program from Main to "Uscita" against our data server on 127.0.0.1, with every real
// service: the login confirms by itself, the options dialog applies the profile without showing,
// the main window opens and "/AUTO" logs in and downloads the structure and the descriptions.
// Wired as the program starts, the main window then finds in the downloaded sample what each of
// its trees, its chart button and its results need.
#include <sqlite3.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "common/avvio.h"
#include "common/registro_istanze.h"
#include "layouts/installa/installa_layout.h"
#include "tests/server/tabella.h"
#include "tests/ui/ambiente_struttura.h"
#include "tests/ui/dialoghi/ambiente_dialoghi.h"
#include "tests/ui/dialoghi/copia_registrata.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"
#include "ui/dialoghi/frm_menu_livelli.h"
#include "ui/dialoghi/installa_livelli.h"
#include "ui/installa_filtri.h"
#include "ui/installa_motore.h"
#include "ui/installa_viste.h"

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

// The program wired as it starts (engine, layouts, levels dialog, views, filters) on the sample it
// downloads: every window has something of the sample to show.
class CampioneCompleto : public AvvioCompleto {
 protected:
  CampioneCompleto() {
    // A first login, as the demo's: every description of the sample comes down.
    ini::IniFile(dir.file("KYX.INI")).Write("001", "Data", "20000101010101");
    Azzera_Motore_Layout();
    Installa_Motore();
    Installa_Layout();
    Installa_Livelli();
    Installa_Viste();
    Installa_Filtri();
  }
  ~CampioneCompleto() override {
    delete frmMenuLivelli.peek();
    Azzera_Motore_Layout();
  }
  // Runs the layout of a node of the structure tree (area first) that asks nothing.
  static void Esegui(FrmBase& base, const std::string& nodo) {
    ASSERT_TRUE(base.twL->Exists(nodo)) << nodo;
    base.twL_NodeClick(base.twL->Nodes(nodo));
    ASSERT_EQ(frmMenuLivelli.peek(), nullptr) << nodo << " asked for levels";
    ASSERT_EQ(Layout_Corrente, std::stoi(nodo.substr(9, 3))) << nodo;
  }
};

TEST_F(CampioneCompleto, KeysFoldersChartWorkbookLookMonthTitlesAndOutlineAreThere) {
  Main("/AUTO");
  ASSERT_TRUE(frmBase.Loaded());
  ASSERT_TRUE(Connesso);
  FrmBase& base = *frmBase;

  // The key and filter tree: a filtered key, and the areas with the keys that carry their marker
  // row ("Rete commerciale" is area 3, "Agente" key 8; "Tempo" is area 1, "Mese" key 2).
  EXPECT_TRUE(base.twF->Exists("A___B001"));
  ASSERT_TRUE(base.twF->Exists("A003K008"));
  EXPECT_EQ(base.twF->Nodes("A003K008").Text(), "Agente");
  EXPECT_EQ(base.twF->Nodes("A003").Text(), "Rete commerciale");
  EXPECT_TRUE(base.twF->Exists("A001K002"));

  // Layout first: every folder is named after its layout.
  Ordinamento_Layout = 1;
  base.Carica_Albero_Struttura();
  int cartelle = 0;
  for (int i = 1; i <= base.twL->Count(); ++i) {
    ui::TreeNode& n = base.twL->Nodes(i);
    if (n.Parent() != nullptr) continue;
    ++cartelle;
    EXPECT_NE(vb::Trim(n.Text()), "") << n.Key();
  }
  EXPECT_EQ(cartelle, 9);
  EXPECT_EQ(base.twL->Nodes("L009").Text(), "Vendite per categoria cliente");
  Ordinamento_Layout = 0;
  base.Carica_Albero_Struttura();

  // One layout gives its workbook export the grid's look.
  EXPECT_EQ(Valore_Sql(Mdb(0), "SELECT group_concat(DESC) FROM LAYOUT WHERE XLSSTD = 'S'"),
            "Vendite per agente (Excel)");

  // The chart button is grey until a result with one row level is shown.
  EXPECT_FALSE(base.Toolbar1->Buttons("Grafico").Enabled());
  Esegui(base, "A002K007L005");
  EXPECT_EQ(Numero_Livelli, 1);
  EXPECT_TRUE(base.Toolbar1->Buttons("Grafico").Enabled());

  // "Vendite per cliente e mese" asks its row level (the zone here) and its months (none: the
  // whole year); it gives a column per month, each titled with its own month.
  base.twL_NodeClick(base.twL->Nodes("A001K001L002"));
  FrmMenuLivelli* d = frmMenuLivelli.peek();
  ASSERT_TRUE(d && d->isVisible());
  d->tw_NodeClick(0, d->tw[0]->Nodes("L1K007"));
  d->Toolbar1_ButtonClick(d->Toolbar1->Buttons("Elabora"));
  ASSERT_EQ(Layout_Corrente, 2);
  std::vector<std::string> mesi;
  for (int c = 1; c <= Numero_Colonne; ++c) {
    if (Col_VCK[static_cast<size_t>(c)] != 0) mesi.push_back(Col_Intestazione[static_cast<size_t>(c)]);
  }
  ASSERT_EQ(mesi.size(), 12u);
  EXPECT_EQ(mesi.front(), "Importo 01-2024");
  EXPECT_EQ(mesi.back(), "Importo 12-2024");
  EXPECT_EQ(std::set<std::string>(mesi.begin(), mesi.end()).size(), 12u);

  // The outline of zones and agents: every row's description is found in the descriptions.
  Esegui(base, "A002K007L007");
  int righe = 0;
  for (int r = base.Grid1->FixedRows(); r < base.Grid1->Rows(); ++r) {
    const std::string codice = vb::Trim(base.Grid1->TextMatrix(r, 1));
    if (codice.empty()) continue;
    ++righe;
    const std::string descrizione = vb::Trim(base.Grid1->TextMatrix(r, 3));
    EXPECT_NE(descrizione, "") << "row " << r << " code " << codice;
    EXPECT_EQ(descrizione.find("non codificato"), std::string::npos) << "row " << r << " code " << codice;
  }
  EXPECT_GT(righe, 3);
  EXPECT_TRUE(host.shown().empty());
}

}  // namespace
}  // namespace kyx::test
