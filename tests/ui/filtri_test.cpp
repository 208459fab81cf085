// The user's filter table FILTRO edited by the main window's commands, the key and filter tree
// twF rebuilt from it, and the condition the elaboration builds from it applied to a local data
// table: the filtered rows equal the rows picked by hand.
#include <memory>

#include "common/stato_db.h"
#include "engine/query_elaborazione.h"
#include "engine/stato_motore.h"
#include "platform/data/sqlite_connection.h"
#include "platform/vb/vb.h"
#include "tests/ui/ambiente_filtri.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/installa_filtri.h"

namespace kyx::test {
namespace {

class Filtri : public AmbienteStruttura {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    Area(5, "VEN", "Vendite", "01");
    Area(6, "ACQ", "Acquisti", "01");  // same ORDINA as area 5: ordered by number after it
    Chiave(12, "G", 10, "Gruppo", "01");
    Chiave(13, "G", 10, "Agente", "02", "ACQ");
    Chiave(15, "G", 10, "Altro sistema", "01", "VEN", "SI2");
    for (int k : {12, 13, 15}) Marcatore(k);
    Installa_Filtri();
    Modo_Griglia = 3;
  }

  static void Marcatore(int k) { Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {k, "=", "*", " ", " "}); }

  static std::vector<std::string> Tabella() { return Tabella_Filtro(); }

  std::vector<std::string> Nodi() const {
    std::vector<std::string> out;
    ui::KeyedTree& t = *frmBase->twF;
    for (int i = 1; i <= t.Count(); ++i) {
      ui::TreeNode& n = t.Nodes(i);
      out.push_back(n.Key() + " " + (n.Parent() ? n.Parent()->Key() : std::string("-")) + " " + n.Tag());
    }
    return out;
  }

  void Comando(int k, const std::string& v1, const std::string& v2, uint8_t op, const std::string& c) {
    frmBase->Carica_Filtro_Modifica(static_cast<int16_t>(k), v1, v2, op, c, true);
  }
};

TEST_F(Filtri, CommandsChangeTableAndTree) {
  Carica();
  struct Passo {
    int k;
    const char* v1;
    const char* v2;
    uint8_t op;
    const char* c;
    std::vector<std::string> attesa;
  };
  const std::vector<Passo> passi = {
      {12, "A1", "", 1, "P+", {"12 = A1| | ", "13 = *| | ", "15 = *| | "}},
      {12, "A1", "", 1, "P+", {"12 = A1| | ", "13 = *| | ", "15 = *| | "}},  // already there
      {12, "B'2", "", 2, "E*", {"12 = A1| | ", "12 N B'2| | ", "13 = *| | ", "15 = *| | "}},
      {12, "B'2", "", 2, "E*", {"12 = A1| | ", "13 = *| | ", "15 = *| | "}},  // toggled off
      {13, "X%_", "", 1, "E+", {"12 = A1| | ", "13 = X%_|| ", "15 = *| | "}},
      {13, "X%_", "", 1, "E+", {"12 = A1| | ", "13 = X%_|| ", "15 = *| | "}},
      {12, "Z9", "", 1, "P-", {"12 = A1| | ", "13 = X%_|| ", "15 = *| | "}},  // not there
      {12, "A1", "", 1, "E-", {"12 = *| | ", "13 = X%_|| ", "15 = *| | "}},
      {13, "", "", 0, "K-", {"12 = *| | ", "13 = *| | ", "15 = *| | "}},
      {12, "", "", 0, "XX", {"12 = *| | ", "13 = *| | ", "15 = *| | "}},  // unknown command
  };
  for (const Passo& p : passi) {
    Comando(p.k, p.v1, p.v2, p.op, p.c);
    EXPECT_EQ(Tabella(), p.attesa) << p.c << " " << p.v1;
  }
}

TEST_F(Filtri, ClearAllKeepsDownloadedRowsAndGrows) {
  Carica();
  // More keys than a fixed list of 128 would hold.
  for (int k = 200; k < 400; ++k) Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {k, "=", "V", " ", " "});
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {12, "=", "KEEP", " ", "N"});
  Comando(0, " ", " ", 0, "T-");
  const std::vector<std::string> t = Tabella();
  ASSERT_EQ(t.size(), 204u);
  EXPECT_EQ(t[0], "12 = *| | ");
  EXPECT_EQ(t[1], "12 = KEEP| |N");
  for (size_t i = 4; i < t.size(); ++i) EXPECT_EQ(t[i], std::to_string(200 + i - 4) + " = *| | ");
}

TEST_F(Filtri, RangeByClicksAndTyped) {
  FrmBase& f = Carica();
  Comando(12, "M", "", 3, "E*");  // first click: only the box
  EXPECT_EQ(Intervallo_Passo, 1);
  EXPECT_EQ(Tabella()[0], "12 = *| | ");
  Comando(12, "C", "", 3, "E*");  // second click: stored smaller first
  EXPECT_EQ(Tabella()[0], "12 D C|M| ");
  EXPECT_EQ(f.Flt_txt[1]->text().toStdString(), "C");
  EXPECT_EQ(f.Flt_txt[0]->text().toStdString(), "M");
  // Typed with the second field empty: the value goes to VALO_2.
  Modo_Griglia = 0;
  Filtro_Stato_2 = true;
  f.Flt_txt[1]->setText("Q");
  f.Flt_txt[0]->setText("");
  Comando(13, "", "", 3, "P+");
  EXPECT_EQ(Tabella()[1], "13 D  |Q| ");
}

TEST_F(Filtri, HostileValuesStoredAndAppliedExactly) {
  Carica();
  const std::vector<std::string> valori = {"O'Brien", "50%", "a_b", "x\"y", std::string(10, 'W')};
  for (const std::string& v : valori) Comando(12, v, "", 1, "E*");
  Comando(13, "it's", "", 2, "E*");

  // A local data table of key values, filtered by the condition the elaboration builds.
  data::SqliteConnection cn;
  ASSERT_TRUE(cn.Open(dir.file("dati.db"), data::OpenMode::kCreate).ok());
  ASSERT_TRUE(cn.Execute("CREATE TABLE KYX_D0_00F (k_012 TEXT, k_013 TEXT)").ok());
  const std::vector<std::pair<std::string, std::string>> righe = {
      {"O'Brien", "it's"}, {"O'Brien", "b"}, {"50%", "c"}, {"500", "c"}, {"aXb", "d"}, {"a_b", "d"},
      {"x\"y", "e"},       {"WWWWWWWWWW", "f"}, {"WWWWWWWWW", "f"}, {"z", "g"}};
  std::unique_ptr<data::Statement> ins;
  ASSERT_TRUE(cn.Prepare("INSERT INTO KYX_D0_00F VALUES (?,?)", &ins).ok());
  std::vector<std::string> attese;
  for (const auto& [a, b] : righe) {
    ins->Bind(1, data::Value(a));
    ins->Bind(2, data::Value(b));
    ASSERT_TRUE(ins->Run().ok());
    const bool dentro = std::find(valori.begin(), valori.end(), a) != valori.end() && b != "it's";
    if (dentro) attese.push_back(a + "/" + b);
  }
  Filtri_Elaborazione();
  std::unique_ptr<data::Statement> st;
  ASSERT_TRUE(cn.Prepare("SELECT k_012,k_013 FROM KYX_D0_00F WHERE (" + Filtro_Completo + " ORDER BY rowid", &st).ok())
      << Filtro_Completo;
  std::vector<std::string> lette;
  bool riga = false;
  while (st->Step(&riga).ok() && riga) lette.push_back(st->Read(0).AsText() + "/" + st->Read(1).AsText());
  EXPECT_EQ(lette, attese) << Filtro_Completo;
}

TEST_F(Filtri, TreeShowsFilteredKeysThenAreas) {
  FrmBase& f = Carica();
  Comando(12, "A1", "", 1, "E*");
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {15, "=", "ALTRO", " ", " "});
  f.Carica_Albero_Chiavi();
  const std::vector<std::string> attesi = {
      "A___K012 - ",
      "A___K012R0001I A___K012 A1",
      "A006 - ",
      "A006K013 A006 ",
  };
  EXPECT_EQ(Nodi(), attesi);
  EXPECT_EQ(f.twF->Nodes("A___K012R0001I").ForeColor(), 0xFF0000u);
  EXPECT_FALSE(Anno_In_Uso);
}

TEST_F(Filtri, RemovingTreeValueTakesClickedValueNotBoxes) {
  FrmBase& f = Carica();
  Comando(12, "A1", "", 1, "E*");
  Comando(12, "B2", "", 1, "E*");
  // A list is on the grid and the boxes hold something else: "E-" still removes the clicked value.
  Modo_Griglia = 0;
  Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1"},
       {"SI1", 20, "G", 8, "A", 0, "Data", "03", "V", "VEN"});
  Comando(20, "20240115", "", 1, "E*");
  ASSERT_EQ(Tabella().back(), "20 = 20240115| | ");
  f.Flt_txt[1]->setText("01-02-2023");
  Comando(20, "20240115", "", 1, "E-");
  EXPECT_EQ(Tabella().back(), "20 = *| | ");
  EXPECT_EQ(Tabella()[0], "12 = A1| | ");
}

TEST_F(Filtri, AreasSharingAnOrderStayTogether) {
  FrmBase& f = Carica();
  // Key 14 of area 5 sorts after key 13 of area 6: ordered by the keys first, area 5 would come
  // back after area 6 and its second key be lost.
  Chiave(14, "G", 10, "Zona", "03", "VEN");
  Marcatore(14);
  f.Carica_Albero_Chiavi();
  const std::vector<std::string> attesi = {"A005 - ", "A005K012 A005 ", "A005K014 A005 ", "A006 - ", "A006K013 A006 "};
  EXPECT_EQ(Nodi(), attesi);
}

TEST_F(Filtri, InvalidDateIsRefusedAndTypedEqualsPicked) {
  FrmBase& f = Carica();
  Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1"},
       {"SI1", 20, "G", 8, "A", 0, "Data", "03", "V", "VEN"});
  Marcatore(20);
  Filtro_Stato_2 = true;
  const std::vector<std::string> prima = Tabella();
  host.expect("Il contenuto del campo non \xE8 corretto");
  f.Flt_txt[1]->setText("31/02/2024");
  Comando(20, "", "", 1, "P+");
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Tabella(), prima);
  // Typed by hand, then the same day clicked as a stored code: one row, toggled off by the click.
  f.Flt_txt[1]->setText("15/01/2024");
  Comando(20, "", "", 1, "P+");
  EXPECT_EQ(Tabella().back(), "20 = 20240115| | ");
  Comando(20, "20240115", "", 1, "E*");
  EXPECT_EQ(Tabella().back(), "20 = *| | ");
}

// Keys shown through a display format: the boxes show the formatted text, FILTRO stores the code,
// whether the value comes from a click, from the read-only boxes or typed.
TEST_F(Filtri, FormattedKeysStoreTheCodeAndShowItsFormattedText) {
  FrmBase& f = Carica();
  const std::vector<std::string> colonne = {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "FORMATO", "ORDINA", "VIS", "AREA_1"};
  Riga("CHIAVI", colonne, {"SI1", 20, "G", 8, "1", 0, "Prodotto", "#MID(3,6)#", "03", "V", "VEN"});
  Riga("CHIAVI", colonne, {"SI1", 21, "G", 8, "3", 0, "Numero documento", "#,##0", "04", "V", "VEN"});
  Marcatore(20);
  Marcatore(21);
  const auto Casella = [&](int i) { return f.Flt_txt[i]->text().toStdString(); };

  Comando(20, "LA000016", "", 1, "E*");  // a click on the code's cell
  EXPECT_EQ(Tabella()[3], "20 = LA000016| | ");
  EXPECT_EQ(Casella(1), "000016");
  Comando(20, "LA000016", "", 1, "E*");
  EXPECT_EQ(Tabella()[3], "20 = *| | ") << "the second click finds the stored code";

  // The boxes are read-only for a formatted coded key: they show the text, the value is held.
  Filtro_Stato_2 = true;
  Filtro_Valori[1] = "LA000017";
  f.Flt_txt[1]->setText("000017");
  Comando(20, "000017", "", 1, "P+");
  EXPECT_EQ(Tabella()[3], "20 = LA000017| | ");
  EXPECT_EQ(Casella(1), "000017");

  // A number typed, then the box's own (formatted) text sent again: one row of the digits.
  Filtro_Stato_2 = false;
  const std::string mostrato = vb::Format(int64_t{12345}, "#,##0");
  ASSERT_NE(mostrato, "12345");
  f.Flt_txt[1]->setText("12345");
  Comando(21, "12345", "", 1, "P+");
  EXPECT_EQ(Casella(1), mostrato);
  Comando(21, Casella(1), "", 1, "P+");
  ASSERT_EQ(Tabella().size(), 5u);
  EXPECT_EQ(Tabella()[4], "21 = 12345| | ");
  Comando(21, mostrato, "", 1, "P-");
  EXPECT_EQ(Tabella()[4], "21 = *| | ");
}

TEST_F(Filtri, TreeOrdersKindsAndShowsLocksColoursAndOnlyVisibleKeysOfTheSystem) {
  FrmBase& f = Carica();
  // The system's code carries a quote: it is bound to the queries, never spliced into them.
  Sistema_Informativo = "S'1";
  Chiave(30, "A", 4, "Anno", "00", "VEN", "S'1");
  Chiave(31, "G", 10, "Prodotto", "01", "VEN", "S'1");
  Chiave(32, "G", 10, "Linea", "02", "VEN", "S'1");
  Chiave(33, "G", 10, "Nascosta", "03", "VEN", "S'1");
  Riga("CHIAVI", {"SINF", "IDX", "KINDB", "LUN", "ATTR", "KEY_D", "TESTO", "ORDINA", "VIS", "AREA_1"},
       {"S'1", 34, "G", 10, "2", 0, "Invisibile", "04", " ", "VEN"});
  Chiave(35, "G", 10, "Scaricata", "05", "VEN", "S'1");
  const std::vector<std::vector<data::Value>> righe = {
      {30, "=", "*", " ", " "},    {31, "N", "X", " ", " "}, {31, "=", "B", " ", "D"}, {31, "D", "C", "F", " "},
      {31, "=", "A", " ", " "},    {32, "=", "L", " ", "B"}, {32, "=", "M", " ", " "}, {34, "=", "H", " ", " "},
      {35, "=", "Q", " ", "N"},    {33, "=", "*", " ", " "},
  };
  for (const auto& r : righe) Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, r);
  Anno_Riferimento = 2025;
  f.Carica_Albero_Chiavi();
  struct Atteso {
    const char* chiave;
    const char* tag;
    const char* immagine;
    uint32_t colore;
  };
  const uint32_t blu = 0xFF0000, rosso = 0x0000FF, verde = 0x007F00, finestra = 0x80000008;
  const std::vector<Atteso> attesi = {
      {"A___B_AA_RIF", "", "AnnoRiferimento", blu},
      {"A___K031", "", "Filtro", finestra},
      {"A___K031R0001I", "A", "Filtro_Uguale", blu},  // "=" first, then the range, then "N"
      {"A___K031R0002I", "B", "Filtro_Uguale", verde},
      {"A___K031R0003D", "C", "Filtro_Da", blu},
      {"A___K031R0004A", "F", "Filtro_A", blu},
      {"A___K031R0005N", "X", "Filtro_Diverso", blu},
      {"A___B032", "", "Locked", finestra},  // its first row is locked
      {"A___B032R0006I", "L", "Filtro_Uguale", rosso},
      {"A___B032R0007I", "M", "Filtro_Uguale", blu},
      {"A005", "", "Chiavi", finestra},
      {"A005K030", "", "Filtro_No", finestra},
      {"A005K033", "", "Filtro_No", finestra},
  };
  ASSERT_EQ(f.twF->Count(), static_cast<int>(attesi.size())) << ::testing::PrintToString(Nodi());
  for (size_t i = 0; i < attesi.size(); ++i) {
    ui::TreeNode& n = f.twF->Nodes(static_cast<int>(i + 1));
    EXPECT_EQ(n.Key(), attesi[i].chiave);
    EXPECT_EQ(n.Tag(), attesi[i].tag) << n.Key();
    EXPECT_EQ(n.Image(), attesi[i].immagine) << n.Key();
    EXPECT_EQ(n.ForeColor(), attesi[i].colore) << n.Key();
  }
  EXPECT_EQ(f.twF->Nodes("A___B_AA_RIF").Text(), "Anno riferimento: 2025");
  EXPECT_TRUE(Anno_In_Uso);
  EXPECT_TRUE(f.twF->Nodes("A___K031").Expanded());
  EXPECT_FALSE(f.twF->Nodes("A005").Expanded());
}

TEST_F(Filtri, CommandsThatFindNothingToDoChangeNothing) {
  FrmBase& f = Carica();
  // Key 12 holds only a downloaded row, key 13 only its marker.
  Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {12, "=", "KEEP", " ", "N"});
  ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM FILTRO WHERE KEY=12 AND VALO_1='*'").ok());
  const std::vector<std::string> prima = Tabella();
  f.twF->Clear();
  for (int k : {12, 13}) {
    Comando(k, " ", " ", 0, "K-");
    EXPECT_EQ(Tabella(), prima) << k;
    EXPECT_EQ(f.twF->Count(), 0) << k << ": nothing changed, no rebuild";
  }

  // A range held on one key is dropped by a click on another: that click starts a new range.
  Comando(12, "M", "", 3, "E*");
  Comando(13, "P", "", 3, "E*");
  EXPECT_EQ(Intervallo_Passo, 1);
  EXPECT_EQ(Intervallo_Chiave, 13);
  EXPECT_EQ(Tabella(), prima);
  Comando(13, "D", "", 3, "E*");
  const std::vector<std::string> dopo = Tabella();
  EXPECT_EQ(dopo, (std::vector<std::string>{"12 = KEEP| |N", "13 D D|P| ", "15 = *| | "}));

  // An empty table: every command does nothing.
  ASSERT_TRUE(Cn_MDB0->Execute("DELETE FROM FILTRO").ok());
  for (const char* c : {"K-", "T-", "E+", "P+", "P-", "E-", "E*"}) {
    Comando(12, "A", "B", 1, c);
    EXPECT_TRUE(Tabella().empty()) << c;
  }
}

}  // namespace
}  // namespace kyx::test
