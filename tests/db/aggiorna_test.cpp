#include <gtest/gtest.h>

#include "db/aggiorna.h"
#include "db/mdb0.h"
#include "tests/db/ambiente_db.h"

namespace kyx::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// A work-file record of `n` bytes with fields put in: NUL bytes where the fields are numbers
// (flags, key maps), blanks where a download writes padded texts.
struct Rec {
  explicit Rec(size_t n, char fill = '\0') : b(n, fill) {}
  Rec& at(size_t pos, const std::string& text) {
    b.replace(pos, text.size(), text);
    return *this;
  }
  Rec& at(size_t pos, const std::string& text, size_t width) { return at(pos, text + std::string(width - text.size(), ' ')); }
  Rec& byte(size_t pos, int v) {
    b[pos] = static_cast<char>(v);
    return *this;
  }
  std::string b;
};

std::string Unisci(std::initializer_list<Rec> recs) {
  std::string out;
  for (auto& r : recs) out += r.b;
  return out;
}

class Aggiorna : public AmbienteDb {
 protected:
  Aggiorna() {
    for (auto [var, nome] : {std::pair{&File_Sistemi, "KYX_E.DAT"}, {&File_Chiavi, "KYX_K.DAT"}, {&File_Valori, "KYX_V.DAT"},
                             {&File_Aree, "KYX_A.DAT"}, {&File_Filtro_Utente, "KYX_UF.DAT"},
                             {&File_Struttura_Utente, "KYX_UA.DAT"}, {&File_Layout, "KYX_L.DAT"},
                             {&File_Layout_Elementi, "KYX_L_###.DAT"}, {&File_Drill, "KYX_D_###.DAT"}})
      *var = Cartella_Dati + nome;
    Sistema_Informativo = "VEN";
    Libreria_Sistema = "LIBVEN";
    Indice_Sistema_Server = 7;
    Separatore_Valori = ";";
    EXPECT_TRUE(Apri_MDB0(true));
  }
  Rows Q(const std::string& sql) { return Sql(Mdb(0), sql); }
  static Rec Sistema(int idx, const std::string& code, std::vector<std::pair<int, int>> mappa) {
    Rec r(199);
    r.byte(0, idx).at(1, code, 10).at(11, "LIB", 10).at(21, "DB", 50);
    for (auto [j, v] : mappa) r.byte(70 + j, v);
    return r;
  }
  static Rec Chiave(int idx, int lun, const std::string& kind) {
    Rec r(330);
    r.byte(0, idx).byte(1, lun).at(2, "Titolo", 40).at(293, kind);
    return r;
  }
  static Rec Filtro(int key, const std::string& oper, const std::string& valore) {
    Rec r(1027);
    r.byte(0, key).at(1, oper).at(2, valore, 1024).at(1026, "B");
    return r;
  }
};

TEST_F(Aggiorna, SystemsComeAfterTheCurrentOneWithTheirKeyMaps) {
  DataBase_SQL = "";
  dir.write("Dati/KYX_E.DAT", Unisci({Sistema(3, "VEN", {{1, 4}}), Sistema(9, "ACQ", {{1, 0}, {2, 255}, {128, 3}}),
                                       Sistema(10, "ACQ", {{5, 5}})}));
  Aggiorna_SINF();
  EXPECT_EQ(Q("SELECT SINF, LIBS1, DBSQL, IDX, IDX_KEY, IDX_MAX FROM SINF ORDER BY rowid"),
            (Rows{{"VEN", "LIBVEN", " ", "7", "-2", "0"}, {"ACQ", "LIB", "DB", "9", "-2", "0"}}));
  // The second record of ACQ adds no SINF row but still its key map.
  EXPECT_EQ(Q("SELECT SINF, KEY_I, KEY_E FROM CHIAVI_EXT ORDER BY rowid"),
            (Rows{{"VEN", "1", "4"}, {"ACQ", "2", "255"}, {"ACQ", "128", "3"}, {"ACQ", "5", "5"}}));
}

TEST_F(Aggiorna, KeysFirstOccurrenceWinsAndTheKindIKeySetsTheSlotKey) {
  dir.write("Dati/KYX_E.DAT", Unisci({Sistema(9, "ACQ", {{1, 1}})}));
  Aggiorna_SINF();
  dir.write("Dati/KYX_K.DAT", Unisci({Chiave(1, 6, "K"), Chiave(2, 3, "I"), Chiave(2, 9, "I"), Chiave(3, 4, "i")}));
  Aggiorna_CHIAVI("ACQ       ", 1);
  EXPECT_EQ(Sinf_Idx_Key, -2);  // another system's key of kind "I"
  dir.write("Dati/KYX_K.DAT", Unisci({Chiave(5, 8, "I"), Chiave(6, 2, "I")}));
  Aggiorna_CHIAVI("VEN", 2);
  EXPECT_EQ(Q("SELECT SINF, IDX, LUN, KINDB, TESTO FROM CHIAVI ORDER BY rowid"),
            (Rows{{"ACQ", "1", "6", "K", "Titolo"}, {"ACQ", "2", "3", "I", "Titolo"}, {"ACQ", "3", "4", "i", "Titolo"},
                  {"VEN", "5", "8", "I", "Titolo"}, {"VEN", "6", "2", "I", "Titolo"}}));
  EXPECT_EQ(Q("SELECT SINF, IDX_KEY, IDX_MAX FROM SINF ORDER BY rowid"), (Rows{{"VEN", "6", "2"}, {"ACQ", "2", "3"}}));
  EXPECT_EQ(Sinf_Idx_Key, 6);
  EXPECT_EQ(Sinf_Idx_Max, 2);
  // A new login starts from Progressivo 1: emptied, slot key reset.
  dir.write("Dati/KYX_K.DAT", "");
  Aggiorna_CHIAVI("VEN", 1);
  EXPECT_TRUE(Q("SELECT * FROM CHIAVI").empty());
  EXPECT_EQ(Sinf_Idx_Key, -2);
}

TEST_F(Aggiorna, AKeyIsTheSameKeyAsTheIndexComparesIt) {
  // Case and trailing blanks do not make a new key; an accent does.
  dir.write("Dati/KYX_E.DAT", Unisci({Sistema(1, "acq", {}), Sistema(2, "ACQ", {}), Sistema(3, "\xE0" "cq", {}),
                                       Sistema(4, "\xC0" "CQ", {}), Sistema(5, "ACQ  ", {})}));
  Aggiorna_SINF();
  EXPECT_EQ(Q("SELECT SINF, IDX FROM SINF ORDER BY rowid"), (Rows{{"VEN", "7"}, {"acq", "1"}, {"\xC3\xA0" "cq", "3"}}));
  // Rows that were there before this run of the loaders (the database reopened in between) are
  // found as well.
  dir.write("Dati/KYX_K.DAT", Unisci({Chiave(1, 6, "K")}));
  Aggiorna_CHIAVI("ACQ", 1);
  ASSERT_TRUE(Apri_MDB0(false));
  dir.write("Dati/KYX_K.DAT", Unisci({Chiave(1, 9, "K"), Chiave(2, 3, "K")}));
  Aggiorna_CHIAVI("acq", 2);
  EXPECT_EQ(Q("SELECT SINF, IDX, LUN FROM CHIAVI ORDER BY rowid"), (Rows{{"ACQ", "1", "6"}, {"acq", "2", "3"}}));
}

TEST_F(Aggiorna, ValuesAndAreasIgnoreAnIncompleteLastRecordAndKeepHighBytes) {
  dir.write("Dati/KYX_V.DAT", std::string("\x01\x00\x02\x03\x01\x05\x01\x00\x09\xFF", 10));
  Aggiorna_VALORI("VEN", 1);
  EXPECT_EQ(Q("SELECT SINF, IDX, ELEM FROM VALORI ORDER BY rowid"), (Rows{{"VEN", "1", "2"}, {"VEN", "259", "5"}}));
  dir.write("Dati/KYX_A.DAT", Unisci({Rec(48, ' ').at(0, "A1 ").at(3, "Citt\xE0 \x80", 40).at(43, "  001"),
                                       Rec(48, ' ')}) + "xx");
  Aggiorna_AREE();
  EXPECT_EQ(Q("SELECT IDX, AREA, DESC, length(ORDINA) FROM AREE ORDER BY rowid"),
            (Rows{{"1", "A1 ", "Citt\xC3\xA0 \xE2\x82\xAC", "5"}, {"2", "   ", " ", "5"}}));
}

// Long work files are read a few hundred records at a time: every record of a file longer than
// that, the ones after the last whole group included, gives its row, in order.
TEST_F(Aggiorna, ALongWorkFileLoadsEveryRecordInOrder) {
  std::string file;
  for (int i = 1; i <= 600; ++i) {
    const std::string n = std::to_string(i);
    file += Rec(48, ' ').at(0, std::string(3 - std::min<size_t>(3, n.size()), '0') + n.substr(0, 3)).at(3, "Area " + n, 40).b;
  }
  dir.write("Dati/KYX_A.DAT", file + "short");
  Aggiorna_AREE();
  EXPECT_EQ(Q("SELECT count(*), min(IDX), max(IDX) FROM AREE"), (Rows{{"600", "1", "600"}}));
  EXPECT_EQ(Q("SELECT IDX, AREA, DESC FROM AREE WHERE IDX IN (1, 256, 257, 512, 513, 600) ORDER BY IDX"),
            (Rows{{"1", "001", "Area 1"}, {"256", "256", "Area 256"}, {"257", "257", "Area 257"},
                  {"512", "512", "Area 512"}, {"513", "513", "Area 513"}, {"600", "600", "Area 600"}}));
  EXPECT_TRUE(Q("SELECT IDX FROM AREE WHERE DESC <> 'Area ' || IDX COLLATE BINARY").empty());
}

TEST_F(Aggiorna, UserFilterValuesAreSplitAtTheSeparator) {
  struct Caso {
    const char* separatore;
    const char* oper;
    std::string valore;
    Rows righe;  // OPER, VALO_1, VALO_2
  };
  const std::string lungo(40, 'X');
  const Caso casi[] = {
      {";", "=", "A;B;C", {{"=", "A", " "}, {"=", "B", " "}, {"=", "C", " "}}},
      {";", "N", "A;A", {{"N", "A", " "}}},
      {";", "=", "A;", {{"=", " ", " "}, {"=", "A", " "}}},
      {";", "=", "A;;B", {{"=", " ", " "}, {"=", "A", " "}, {"=", "B", " "}}},
      {";", "=", "", {{"=", " ", " "}}},
      {";", "=", "*", {{"=", "*", " "}}},
      {";", "R", "100;200;300", {{"D", "100", "200;300"}}},
      {";", "R", "100", {}},
      {";", "X", "A;B", {}},
      {";", "=", lungo + ";B", {{"=", "B", " "}, {"=", lungo, " "}}},
      // No separator received yet: "," rather than a split at every character.
      {"", "=", "AB,CD", {{"=", "AB", " "}, {"=", "CD", " "}}},
      {"", "R", "1,9", {{"D", "1", "9"}}},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(std::string(c.oper) + " " + c.valore);
    Separatore_Valori = c.separatore;
    dir.write("Dati/KYX_UF.DAT", Filtro(4, c.oper, c.valore).b);
    Aggiorna_FILTRO();
    Rows attese;
    for (auto& r : c.righe) attese.push_back({"4", r[0], r[1], r[2], "B"});
    EXPECT_EQ(Q("SELECT KEY, OPER, VALO_1, VALO_2, BLOCCO FROM FILTRO ORDER BY OPER, VALO_1"), attese);
  }
}

TEST_F(Aggiorna, StructureReadsAllThirtyTwoFlagBytes) {
  Rec r(34);
  r.byte(0, 2).byte(1, 5).byte(2, 5).byte(10, 1).byte(33, 0x80);
  dir.write("Dati/KYX_UA.DAT", Unisci({r, r}));
  Aggiorna_STRUTTURA();
  EXPECT_EQ(Q("SELECT AREA, KEY, LAY FROM STRUTTURA ORDER BY rowid"),
            (Rows{{"2", "5", "1"}, {"2", "5", "3"}, {"2", "5", "65"}, {"2", "5", "256"}}));
}

TEST_F(Aggiorna, LayoutsWithElementsFiltersAndDrillRows) {
  Rec layout(520, ' ');
  layout.byte(0, 9).at(2, "Vendite", 40).at(150, "Anno", 40).byte(510, 3).at(519, "S");
  dir.write("Dati/KYX_L.DAT", Unisci({layout, layout}) + "tail");
  Rec elemento(1916, ' ');
  elemento.byte(0, 1).byte(1, 2).byte(2, 0x2C).byte(3, 0x01).at(4, "S").at(86, "V001", 60).at(156, "S");
  auto filtro = [&](int f, int key, const std::string& oper, const std::string& valore) {
    const size_t s = 316 + 64 * f;
    elemento.byte(s, key).at(s + 1, "B").at(s + 2, oper).at(s + 3, valore, 60).at(s + 63, "O");
  };
  filtro(0, 3, "=", "A;B;A");
  filtro(1, 4, "R", "1;9");
  filtro(2, 5, "R", "19");
  dir.write("Dati/KYX_L_001.DAT", Unisci({elemento, elemento}));
  Rec drill(281, ' ');
  drill.at(1, std::string(4, '\0'));
  drill.byte(0, 2).byte(1, 0x10).byte(2, 0x01).byte(5, 4).at(24, "Dettaglio", 40).at(280, "N");
  Rec altro = drill;
  altro.at(24, "Altro", 40);
  dir.write("Dati/KYX_D_001.DAT", Unisci({drill, altro}));
  dir.write("Dati/KYX_D_002.DAT", drill.b);

  Aggiorna_LAYOUT();
  EXPECT_EQ(Q("SELECT IDX, DIM_F, DESC, PARM_1, PKEY_1, PARM_2, MODEST FROM LAYOUT ORDER BY rowid"),
            (Rows{{"1", "9", "Vendite", "Anno", "3", " ", "S"}, {"2", "9", "Vendite", "Anno", "3", " ", "S"}}));
  EXPECT_EQ(Q("SELECT LAY, IDX, RIG, COL, DIM_S, VIS, CALC, SNINT, SNTOT FROM LAY_ELEM ORDER BY rowid"),
            (Rows{{"1", "1", "1", "2", "300", "S", "V001", "S", " "}, {"1", "2", "1", "2", "300", "S", "V001", "S", " "}}));
  EXPECT_EQ(Q("SELECT IDX, KEY, OPER, VALO_1, VALO_2, BLOCCO, RELAZ FROM LAY_FILTRO WHERE LAY = 1 AND IDX = 1 ORDER BY rowid"),
            (Rows{{"1", "3", "=", "A", " ", "B", "O"}, {"1", "3", "=", "B", " ", "B", "O"}, {"1", "4", "D", "1", "9", "B", "O"}}));
  EXPECT_EQ(Q("SELECT K_LAY, K_KEY, K_IDX, LAY, DESC, ANNULL FROM LAY_DRILL ORDER BY rowid"),
            (Rows{{"1", "2", "272", "4", "Dettaglio", "N"}, {"2", "2", "272", "4", "Dettaglio", "N"}}));
  // Layout 2 had no elements file: it is created empty by the open.
  EXPECT_TRUE(files::file_exists(Dati("KYX_L_002.DAT")));
  EXPECT_EQ(files::file_length(Dati("KYX_L_002.DAT")), 0);

  // An empty layout list leaves the four tables empty.
  dir.write("Dati/KYX_L.DAT", "");
  Aggiorna_LAYOUT();
  for (const char* t : {"LAYOUT", "LAY_ELEM", "LAY_FILTRO", "LAY_DRILL"})
    EXPECT_EQ(Q(std::string("SELECT count(*) FROM ") + t), (Rows{{"0"}})) << t;
}

}  // namespace
}  // namespace kyx::test
