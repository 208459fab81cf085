// Single downloads into work files and the description update, against a scripted data server
// on 127.0.0.1: the bytes that reach the work files and the requests that leave.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "platform/text/cp1252.h"
#include "server/descrizioni_server.h"
#include "server/risposta.h"
#include "common/stato_db.h"
#include "server/campo.h"
#include "server/scarica.h"
#include "tests/server/ambiente_collegamento.h"

namespace kyx {
namespace {

using test::In_Wire;
using test::Record_Wire;
using test::Riga_Descrizione;
using test::Server_Finto;

class ScaricaTest : public test::AmbienteCollegamento {
 protected:
  // Connects socket 1 to `s` and takes its greeting, as the login leaves the link.
  void Connetti(Server_Finto& s) {
    s.Avvia();
    std::string Esito;
    ASSERT_EQ(Sock_Connect(1, "127.0.0.1", s.Porta(), Esito, 0, false), -1);
    ASSERT_TRUE(Sock_Read(1, 6));
  }
  std::vector<std::string> Chiudi(Server_Finto& s) {
    Sock_Close(1);
    return s.Richieste();
  }
  std::string Lavoro(const std::string& nome) const { return dir.read("Dati/" + nome); }
};

// The payload holds one and a half records where a block of 127 was asked for: the whole record
// is written, the half is not, and the bytes an older reply left behind in the record buffer are
// never taken for a second record.
TEST_F(ScaricaTest, ShortBlockEndsTheDownloadWithTheWholeRecordsOnly) {
  Server_Finto s;
  Record_Wire a1(64), vecchia(64);
  a1.Testo(3, 3, "A01").Testo(6, 40, "Vendite").Testo(46, 5, "00001").Testo(51, 14, "");
  vecchia.Testo(3, 3, "OLD").Testo(6, 59, "");
  s.File["a" + std::string(10, ' ')] = std::string(106752, '\0') + a1.Byte() + a1.Byte().substr(0, 32);
  Connetti(s);
  std::memcpy(Buffer_Record.data() + 64, vecchia.Byte().data(), 64);
  EXPECT_TRUE(Scarica_Aree());
  EXPECT_EQ(Lavoro("KYX_A.DAT"), "A01" + text::fixed("Vendite", 40) + "00001");
  EXPECT_EQ(Chiudi(s).size(), 1u);
  EXPECT_TRUE(host.shown().empty());
}

// A download that loses its link after two blocks: the work file holds exactly the records of
// those two blocks, each in its place, though the records are written when the download ends.
TEST_F(ScaricaTest, ALostLinkKeepsTheRecordsOfTheEarlierBlocksInTheWorkFile) {
  Server_Finto s;
  std::vector<std::string> records;
  for (uint32_t k = 1; k <= 60; ++k) {
    Record_Wire r(384);
    r.Bin(1, 2, k).Testo(9, 40, "Chiave " + std::to_string(k)).Testo(342, 5, "00" + std::to_string(100 + k));
    records.push_back(r.Byte());
  }
  Poni(s.File["a" + text::fixed("LIB01", 10)], 256, records);
  s.Guasti = [](int n, const std::string&) -> std::optional<Server_Finto::Guasto> {
    if (n == 3) return Server_Finto::Guasto{"", true};
    return std::nullopt;
  };
  Connetti(s);
  host.expect("Errore 012 - Base_File__Lettura");
  EXPECT_FALSE(Scarica_Chiavi("LIB01"));
  const std::string f = Lavoro("KYX_K.DAT");
  ASSERT_EQ(f.size(), 42u * 330);
  for (std::size_t k = 0; k < 42; ++k) {
    SCOPED_TRACE(k);
    const std::string r = f.substr(k * 330, 330);
    EXPECT_EQ(static_cast<uint8_t>(r[0]), k + 1);
    EXPECT_EQ(r.substr(2, 40), text::fixed("Chiave " + std::to_string(k + 1), 40));
    EXPECT_EQ(r.substr(286, 5), "00" + std::to_string(101 + k));
  }
  EXPECT_EQ(Chiudi(s).size(), 3u);
}

TEST_F(ScaricaTest, FilterOperatorLettersBecomeOperatorAndBlockFlag) {
  struct Caso {
    const char *oper, *valore, *flag, *oper_atteso, *flag_atteso;
  };
  const std::vector<Caso> casi = {
      {"B", "*", " ", "R", "D"}, {"i", "X", " ", "=", "N"}, {"r", "X", " ", "R", "N"},
      {"n", "X", " ", "N", "N"}, {"A", "X", " ", "=", "D"}, {"C", "X", " ", "N", "D"},
      {"=", "X", "Q", "=", "B"},  // a restriction other than "*" is blocked
      {"=", "*", "Q", "=", "Q"},  // "*" keeps the server's flag
  };
  Server_Finto s;
  std::vector<std::string> records;
  for (std::size_t k = 0; k < casi.size(); ++k) {
    Record_Wire r(64);
    r.Bin(1, 2, static_cast<uint32_t>(k + 1)).Testo(3, 1, casi[k].oper).Testo(4, 60, casi[k].valore);
    r.Testo(64, 1, casi[k].flag);
    records.push_back(r.Byte());
  }
  records.push_back(Fine(64));
  Poni(s.File["c"], 0, records);
  Connetti(s);
  EXPECT_TRUE(Scarica_Filtri_Utente());
  const std::string f = Lavoro("KYX_UF.DAT");
  ASSERT_EQ(f.size(), casi.size() * 1027);
  for (std::size_t k = 0; k < casi.size(); ++k) {
    SCOPED_TRACE(k);
    const std::string r = f.substr(k * 1027, 1027);
    EXPECT_EQ(static_cast<uint8_t>(r[0]), k + 1);
    EXPECT_EQ(r.substr(1, 1), casi[k].oper_atteso);
    EXPECT_EQ(r.substr(2, 1024), text::fixed(casi[k].valore, 1024));
    EXPECT_EQ(r.substr(1026, 1), casi[k].flag_atteso);
  }
  Chiudi(s);
}

TEST_F(ScaricaTest, UserStructureNeedsItsReleaseMarkAndStoresTheFlagsLastByteFirst) {
  Record_Wire marca(36), senza_area(36), senza_flag(36), buono(36);
  marca.Testo(5, 32, "{Rel.6.0.18}");
  senza_area.Bin(3, 2, 4).Bin(36, 1, 1);
  senza_flag.Bin(1, 2, 2).Bin(3, 2, 4);
  buono.Bin(1, 2, 2).Bin(3, 2, 5).Bin(36, 1, 5).Bin(5, 1, 0x80);  // layouts 1, 3 and 256
  for (const bool con_marca : {true, false}) {
    SCOPED_TRACE(con_marca);
    Server_Finto s;
    Poni(s.File["c"], 8192, {con_marca ? marca.Byte() : buono.Byte(), senza_area.Byte(), senza_flag.Byte(), buono.Byte()});
    Connetti(s);
    EXPECT_TRUE(Scarica_Utenti_Aree());
    const std::string atteso = std::string("\x02\x05\x05", 3) + std::string(30, '\0') + "\x80";
    EXPECT_EQ(Lavoro("KYX_UA.DAT"), con_marca ? atteso : "");
    EXPECT_EQ(Chiudi(s), (std::vector<std::string>{"c000120008192" "05796"}));
  }
}

TEST_F(ScaricaTest, LastLayoutNumberTellsHowManyLayoutsToFetch) {
  Server_Finto s;
  Record_Wire l(576);
  l.Bin(1, 2, 3).Testo(7, 40, "Terzo").Testo(576, 1, " ");
  Poni(s.File["a" + std::string(10, ' ')], 108800, {l.Byte(), Fine(576)});
  Poni(s.File["b00002"], 80, {Record_Wire(2320).Bin(3, 2, 4).Byte(), Record_Wire(2320).Fine(320).Byte()});
  Numero_Indici_Layout = 9;
  Connetti(s);
  EXPECT_TRUE(Scarica_Elenco_Layout());
  EXPECT_EQ(Numero_Indici_Layout, 3);
  Scarica_Per_Sistema();
  const auto r = Chiudi(s);
  ASSERT_EQ(r.size(), 7u);
  EXPECT_EQ(std::vector<std::string>(r.begin() + 1, r.end()),
            (std::vector<std::string>{"b000170000080" "06960" "00001", "m000170000000" "08000" "00001",
                                      "b000170000080" "06960" "00002", "m000170000000" "08000" "00002",
                                      "b000170000080" "06960" "00003", "m000170000000" "08000" "00003"}));
  EXPECT_EQ(Lavoro("KYX_L_002.DAT").size(), 1916u);
  EXPECT_EQ(Lavoro("KYX_L_002.DAT")[0], '\x04');
  EXPECT_TRUE(files::file_exists(dir.file("Dati/KYX_D_003.DAT")));
}

// A row whose texts would run past the payload is read from nothing older: the update stops as
// after a reply error, and the descriptions and "Data" stay where they were.
TEST_F(ScaricaTest, DescriptionRowRunningPastThePayloadIsAReplyError) {
  Server_Finto s;
  std::string troncata = Riga_Descrizione(" ", 1, 1, "P001", "Penne");
  troncata.resize(troncata.size() - 2);
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 1, 1, "P002", "Matite") + troncata};
  Scrivi_Ini("001", "Data", "20230101000000");
  Connetti(s);
  host.expect("Errore 014 - Base_File__Lettura");
  EXPECT_FALSE(Aggiorna_Descrizioni_Server("Numero"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20230101000000");
  EXPECT_EQ(Db1("SELECT S_DS_CODI FROM KYX_DS_20F"), "");
  EXPECT_TRUE(Collegamento_Attivo());  // the reply itself was read whole
  const auto r = Chiudi(s);
  EXPECT_EQ(r.back(), "d0001520230101000000" "0");
}

// Two codes that share their first 30 characters would overwrite each other's descriptions if
// they were cut to the code column: codes longer than it are left out and counted in one warning
// at the end. Trailing blanks do not count; a long description is cut to its column.
TEST_F(ScaricaTest, CodesLongerThanTheirColumnAreLeftOutWithOneCountedWarning) {
  Server_Finto s;
  const std::string prefisso(30, 'C'), giusto = std::string(30, 'G') + "   ", descrizione(50, 'd');
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 3, 1, prefisso + "A", "Prima") +
                           Riga_Descrizione(" ", 3, 1, prefisso + "B", "Seconda") +
                           Riga_Descrizione(" ", 3, 2, prefisso + "B", "Altra") +
                           Riga_Descrizione(" ", 3, 1, giusto, descrizione) + In_Wire("X")};
  Connetti(s);
  host.expect("Descrizioni non memorizzate: 3\r(codice pi\xF9 lungo di 30 caratteri)");
  EXPECT_TRUE(Aggiorna_Descrizioni_Server("Numero"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(Db1("SELECT S_DS_KEY, S_DS_CODI, S_DS_D_01 FROM KYX_DS_20F"),
            "3|" + giusto.substr(0, 30) + "|" + descrizione.substr(0, 40));
  EXPECT_EQ(host.panels().back(), "Numero= 4 ");
  Chiudi(s);
}

// A row the database refuses while the next request has already left with the block before it:
// the reply to that request is read and thrown away, so the link stays in step for what follows;
// the update fails as it always did, with no message, and the descriptions and "Data" where they
// were.
TEST_F(ScaricaTest, RefusedRowLeavesNothingUnreadOnTheLink) {
  Server_Finto s;
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 1, 1, "P001", "Penne") + Riga_Descrizione(" ", 1, 1, "BAD", "No") +
                               Riga_Descrizione(" ", 1, 1, "P003", "Gomme") + In_Wire("C"),
                           Riga_Descrizione(" ", 1, 1, "P004", "Righe") + In_Wire("X")};
  Scrivi_Ini("001", "Data", "20230101000000");
  Connetti(s);
  ASSERT_TRUE(Cn_MDB1->Execute("CREATE TRIGGER Rifiuta BEFORE INSERT ON KYX_DS_20F WHEN NEW.S_DS_CODI = 'BAD' "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                  .ok());
  EXPECT_FALSE(Aggiorna_Descrizioni_Server("Numero"));
  EXPECT_TRUE(host.shown().empty());
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20230101000000");
  EXPECT_EQ(Db1("SELECT S_DS_CODI FROM KYX_DS_20F"), "");
  ASSERT_TRUE(Collegamento_Attivo());
  // The next exchange gets its own reply, not the rest of an older one.
  Invia_Richiesta("k00000");
  EXPECT_EQ(Base_File__Lettura(), 14);
  EXPECT_EQ(Campo("A", 1, 14, 14, 0), s.Ora);
  EXPECT_EQ(Chiudi(s), (std::vector<std::string>{"k00000", "d0001520230101000000" "0", "d0001520230101000000" "1",
                                                 "k00000"}));
  EXPECT_TRUE(host.shown().empty());
}

// The same, when the reply to the request sent ahead never comes: the link is given up through
// the one disconnect path, which says so once, and the update fails as before.
TEST_F(ScaricaTest, RefusedRowWithTheNextReplyMissingGivesTheLinkUp) {
  Server_Finto s;
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 1, 1, "BAD", "No") + In_Wire("C")};
  s.Guasti = [](int n, const std::string&) -> std::optional<Server_Finto::Guasto> {
    if (n == 3) return Server_Finto::Guasto{In_Wire("0000"), false, true};
    return std::nullopt;
  };
  Connetti(s);
  ASSERT_TRUE(Cn_MDB1->Execute("CREATE TRIGGER Rifiuta BEFORE INSERT ON KYX_DS_20F WHEN NEW.S_DS_CODI = 'BAD' "
                               "BEGIN SELECT RAISE(ABORT, 'refused'); END")
                  .ok());
  host.expect("Collegamento con il server chiuso:\ril server non ha inviato un blocco delle descrizioni (richiesta \"d\")");
  EXPECT_FALSE(Aggiorna_Descrizioni_Server("Numero"));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().size(), 1u);
  EXPECT_FALSE(Collegamento_Attivo());
  EXPECT_EQ(Db1("SELECT COUNT(*) FROM KYX_DS_20F"), "0");
  EXPECT_EQ(Chiudi(s).size(), 3u);
}

// A full reload into an empty table adds the codes it has not seen without looking them up; the
// same code again, in another letter case or with trailing blanks, must still find its row. The
// table must end as when every row is looked up (a table not empty at the start).
TEST_F(ScaricaTest, FullReloadStoresRepeatedCodesAsTheLookedUpPath) {
  const std::vector<std::string> Blocchi = {
      Riga_Descrizione(" ", 1, 1, "abc", "Uno") + Riga_Descrizione(" ", 1, 2, "ABC  ", "Due") +
          Riga_Descrizione(" ", 2, 1, "abc", "Altra chiave") + Riga_Descrizione(" ", 1, 3, "aBc ", "Tre") +
          Riga_Descrizione(" ", 1, 1, "\xE0" "bc", "Accento") + Riga_Descrizione(" ", 1, 4, "\xC0" "BC", "Quattro") +
          Riga_Descrizione(" ", 3, 1, "xyz", "Primo") + Riga_Descrizione(" ", 3, 2, "xyz", "Secondo") + In_Wire("C"),
      Riga_Descrizione("A", 3, 1, "XYZ ", "") + Riga_Descrizione(" ", 3, 1, "Xyz", "Di nuovo") +
          Riga_Descrizione(" ", 1, 5, "ABC", "Cinque") + Riga_Descrizione("A", 1, 2, "abc", "") +
          Riga_Descrizione(" ", 4, 1, "Q  ", "Solo") + Riga_Descrizione(" ", 4, 16, "q", "Sedici") + In_Wire("X")};
  const std::string Colonne =
      "SELECT S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_01, S_DS_D_02, S_DS_D_03, S_DS_D_04, S_DS_D_05, S_DS_D_16 "
      "FROM KYX_DS_20F WHERE S_DS_KEY <> 999 ORDER BY rowid";
  std::string Tabelle[2];
  for (const bool Vuota : {true, false}) {
    SCOPED_TRACE(Vuota);
    ASSERT_TRUE(Cn_MDB1->Execute("DELETE FROM KYX_DS_20F").ok());
    if (!Vuota) {
      ASSERT_TRUE(Cn_MDB1->Execute("INSERT INTO KYX_DS_20F (S_DS_STAT, S_DS_KEY, S_DS_CODI) VALUES (' ', 999, 'ZZZ')").ok());
    }
    Scrivi_Ini("001", "Data", "00000000000000");
    Server_Finto s;
    s.Blocchi_Descrizioni = Blocchi;
    Connetti(s);
    EXPECT_TRUE(Aggiorna_Descrizioni_Server("Numero"));
    Tabelle[Vuota ? 0 : 1] = Db1(Colonne);
    EXPECT_EQ(Db1("SELECT COUNT(*) FROM KYX_DS_20F WHERE S_DS_KEY <> 999"), "5");
    Chiudi(s);
  }
  EXPECT_EQ(Tabelle[0], Tabelle[1]);
  // An accented letter is another letter: "\xE0bc" (and "\xC0BC") is a code of its own.
  EXPECT_EQ(Tabelle[0],
            " |1|abc|Uno| |Tre||Cinque|; |2|abc|Altra chiave|||||; |1|\xC3\xA0" "bc|Accento|||Quattro||;"
            " |3|xyz|Di nuovo|||||; |4|Q  |Solo|||||Sedici");
  EXPECT_TRUE(host.shown().empty());
}

// The same when the database is compacted and opened again in the middle of the reload: the rows
// added after it go to the database opened again, and a code added before it is still found.
TEST_F(ScaricaTest, FullReloadKeepsStoringAfterTheDatabaseIsCompacted) {
  const bool Compattare_Prima = Compattare;
  const int32_t Ogni_Prima = Compatta_Descrizioni;
  Compattare = true;
  Compatta_Descrizioni = 2;
  ASSERT_TRUE(Cn_MDB1->Execute("DELETE FROM KYX_DS_20F").ok());
  Scrivi_Ini("001", "Data", "00000000000000");
  Server_Finto s;
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 1, 1, "abc", "Uno") + Riga_Descrizione(" ", 2, 1, "xyz", "Primo") +
                               Riga_Descrizione(" ", 1, 2, "ABC", "Due") + In_Wire("C"),
                           Riga_Descrizione(" ", 3, 1, "q", "Solo") + Riga_Descrizione(" ", 1, 3, "abc ", "Tre") +
                               Riga_Descrizione(" ", 3, 16, "Q", "Sedici") + In_Wire("X")};
  Connetti(s);
  const bool Esito = Aggiorna_Descrizioni_Server("Numero");
  Compattare = Compattare_Prima;
  Compatta_Descrizioni = Ogni_Prima;
  EXPECT_TRUE(Esito);
  EXPECT_EQ(Db1("SELECT S_DS_STAT, S_DS_KEY, S_DS_CODI, S_DS_D_01, S_DS_D_02, S_DS_D_03, S_DS_D_16 FROM KYX_DS_20F "
                "ORDER BY S_DS_KEY, S_DS_CODI"),
            " |1|abc|Uno|Due|Tre|; |2|xyz|Primo|||; |3|q|Solo|||Sedici");
  EXPECT_TRUE(host.shown().empty());
  Chiudi(s);
}

}  // namespace
}  // namespace kyx
