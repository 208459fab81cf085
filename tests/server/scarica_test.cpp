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
// after a reply error, and "Data" stays where it was.
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
  EXPECT_EQ(Db1("SELECT S_DS_CODI FROM KYX_DS_20F"), "P002");
  EXPECT_TRUE(Collegamento_Attivo());  // the reply itself was read whole
  const auto r = Chiudi(s);
  EXPECT_EQ(r.back(), "d0001520230101000000" "0");
}

TEST_F(ScaricaTest, LongCodesAndDescriptionsAreCutToTheirColumns) {
  Server_Finto s;
  const std::string codice(35, 'C'), descrizione(50, 'd');
  s.Blocchi_Descrizioni = {Riga_Descrizione(" ", 3, 1, codice, descrizione) + In_Wire("X")};
  Connetti(s);
  EXPECT_TRUE(Aggiorna_Descrizioni_Server("Numero"));
  EXPECT_EQ(Db1("SELECT S_DS_KEY, S_DS_CODI, S_DS_D_01 FROM KYX_DS_20F"),
            "3|" + codice.substr(0, 30) + "|" + descrizione.substr(0, 40));
  EXPECT_EQ(host.panels().back(), "Numero= 1 ");
  Chiudi(s);
}

}  // namespace
}  // namespace kyx
