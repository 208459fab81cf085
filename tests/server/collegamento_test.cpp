// The login and download sequence against a scripted data server on 127.0.0.1: what reaches the
// definitions and descriptions databases, the status texts, the exact requests, the refusals and
// the injected faults.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "server/campo.h"
#include "server/collegamento.h"
#include "server/risposta.h"
#include "tests/server/ambiente_collegamento.h"

namespace kyx {
namespace {

using test::In_Wire;
using test::Record_Wire;
using test::Risposta;
using test::Riga_Descrizione;
using test::Server_Finto;
using Clock = std::chrono::steady_clock;

class CollegamentoTest : public test::AmbienteCollegamento {
 protected:
  // Logs in to `s` (started here); the result of Collegamento_Server.
  bool Accedi(Server_Finto& s) {
    s.Avvia();
    Server_Porta = std::to_string(s.Porta());
    int32_t hWnd = 0;
    return Collegamento_Server(hWnd);
  }
  // A first good login, then the bytes of the data-set database it created.
  std::string Primo_Accesso() {
    Server_Finto s;
    Sistema_Campione(s);
    EXPECT_TRUE(Accedi(s));
    Disconnetti();
    s.Richieste();
    return dir.read("Dati/KYX_2.MDB");
  }
  // The sample system with one more key of kind "K" for VEN: the data-set database no longer
  // fits it, so a structure check would ask to delete the local data.
  void Sistema_Cambiato(Server_Finto& s) {
    Sistema_Campione(s);
    Poni(s.File["aLIBVEN    "], 256, {Chiave(1, "Prodotto", "K"), Chiave(2, "Cliente", "K"),
                                      Chiave(3, "Agente", "K"), Fine(384)});
  }
};

TEST_F(CollegamentoTest, LoginFillsTheDatabasesShowsEachStepAndLeavesNoWorkFile) {
  dir.write("Dati/KYX_E_000001_1.DAT", "history kept in the data folder");
  dir.write("Dati/KYX_L_007.DAT", "left by an earlier login");
  Server_Finto s;
  Sistema_Campione(s);
  ASSERT_TRUE(Accedi(s));
  EXPECT_TRUE(Collegamento_Attivo());

  EXPECT_EQ(Stati(), (std::vector<std::string>{
                         "Aggiornamento Chiavi esterne", "Aggiornamento Chiavi - ACQ", "Aggiornamento Valori - ACQ",
                         "Aggiornamento Chiavi - VEN", "Aggiornamento Valori - VEN", "Aggiornamento Aree",
                         "Aggiornamento Layout", "Aggiornamento elementi Layout", "Aggiornamento Filtro utente",
                         "Aggiornamento Struttura utente", "Aggiornamento Descrizioni", "Ricarica"}));
  EXPECT_EQ(Indice_Sistema_Server, 1);
  EXPECT_EQ(Libreria_Sistema, "LIBVEN");
  EXPECT_EQ(Separatore_Valori, ",");

  EXPECT_EQ(Db0("SELECT SINF, LIBS1, IDX FROM SINF ORDER BY SINF"), "ACQ|LIBACQ|2;VEN|LIBVEN|1");
  EXPECT_EQ(Db0("SELECT SINF, KEY_I, KEY_E FROM CHIAVI_EXT"), "ACQ|1|3");
  EXPECT_EQ(Db0("SELECT SINF, IDX, LUN, TESTO, TOT_2, TI_12, ORDINA, KINDB, AREA_1, ATTR, FORMATO FROM CHIAVI "
                "ORDER BY SINF, IDX"),
            "ACQ|1|10|Fornitore|S|T12|00001|K|A01|1|@@@@;VEN|1|10|Prodotto|S|T12|00001|K|A01|1|@@@@;"
            "VEN|2|10|Cliente|S|T12|00001|K|A01|1|@@@@");
  EXPECT_EQ(Db0("SELECT SINF, IDX, ELEM FROM VALORI ORDER BY SINF"), "ACQ|1|1;VEN|1|2");
  EXPECT_EQ(Db0("SELECT IDX, AREA, DESC, ORDINA FROM AREE ORDER BY IDX"), "1|A01|Vendite|00001;2|A02|Acquisti|00002");
  EXPECT_EQ(Db0("SELECT IDX, DIM_F, DESC, FONT, PARM_9, PKEY_1, MODEST FROM LAYOUT"),
            "1|9|Venduto per prodotto|Arial|P9|1|S");
  EXPECT_EQ(Db0("SELECT LAY, IDX, RIG, COL, DIM_S, INTE, SINF FROM LAY_ELEM"), "1|1|1|2|120|Quantit\u00e0|VEN");
  EXPECT_EQ(Db0("SELECT LAY, IDX, KEY, OPER, VALO_1, VALO_2, BLOCCO, RELAZ FROM LAY_FILTRO ORDER BY VALO_1"),
            "1|1|1|=|P001| |D|E;1|1|1|=|P002| |D|E");
  EXPECT_EQ(Db0("SELECT K_LAY, K_KEY, K_IDX, LAY, DESC FROM LAY_DRILL"), "1|1|4464|1|Dettaglio");
  EXPECT_EQ(Db0("SELECT KEY, OPER, VALO_1, BLOCCO FROM FILTRO ORDER BY VALO_1"), "2|=|C01|N;2|=|C02|N");
  EXPECT_EQ(Db0("SELECT AREA, KEY, LAY FROM STRUTTURA ORDER BY LAY"), "1|1|1;1|1|3");
  EXPECT_EQ(Db1("SELECT S_DS_KEY, S_DS_CODI, S_DS_STAT, S_DS_D_01, S_DS_D_02 FROM KYX_DS_20F ORDER BY S_DS_KEY"),
            "1|P001| |Penne|Blu;2|C01| |Rossi|");
  EXPECT_EQ(Data_Descrizioni, "20240102030405");
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20240102030405");

  // The data-set database was created; of the data folder's "KYX_*.DAT" only the history stays.
  EXPECT_TRUE(files::file_exists(Mdb(2)));
  EXPECT_EQ(Nel_Dati("KYX_*.DAT"), (std::vector<std::string>{"KYX_E_000001_1.DAT"}));
  EXPECT_TRUE(host.shown().empty());

  EXPECT_FALSE(Disconnetti());
  EXPECT_FALSE(Collegamento_Attivo());
  const std::vector<std::string> r = s.Richieste();
  ASSERT_EQ(r.size(), 18u);
  // The login: user and blank password (ten "^") padded to ten, the system, the local address,
  // port and host name, the system again; 91 characters.
  ASSERT_EQ(r[0].size(), 91u);
  EXPECT_EQ(r[0].substr(0, 56), "u00085AB                  -KYX-VEN       127.0.0.1      ");
  EXPECT_EQ(r[0].substr(81), "VEN       ");
  const std::string b(10, ' ');
  EXPECT_EQ(std::vector<std::string>(r.begin() + 1, r.end()),
            (std::vector<std::string>{
                "a000220289664" "08064" + b, "a000220297728" "08064" + b, "a000220305792" "08064" + b,
                "a000220313856" "00384" + b,  // the systems list: always 64 records, 21 at a time
                "a000220000256" "08064" "LIBACQ    ", "a000220049408" "08128" "LIBACQ    ",
                "a000220000256" "08064" "LIBVEN    ", "a000220049408" "08128" "LIBVEN    ",
                "a000220106752" "02048" + b, "a000220108800" "08064" + b,
                "b000170000080" "06960" "00001", "m000170000000" "08000" "00001",
                "c000120000000" "08128", "c000120008192" "05796",
                "k00000", "d0001500000000000000" "0", "d0001500000000000000" "1"}));
}

TEST_F(CollegamentoTest, SecondLoginAppliesOnlyTheChangedDescriptions) {
  Primo_Accesso();
  Server_Finto s;
  Sistema_Campione(s);
  s.Ora = "20240203000000";
  s.Blocchi_Descrizioni = {
      // P001 deleted and back with a new first description: its old ones are gone.
      Riga_Descrizione("A", 1, 1, "P001", "") + Riga_Descrizione(" ", 1, 1, "P001", "Penne nuove") +
          Riga_Descrizione(" ", 1, 16, "P001", "Sedici") +
          // A deleted second description of C01; a progressive beyond 16 changes nothing.
          Riga_Descrizione("A", 2, 2, "C01", "zzz") + Riga_Descrizione(" ", 2, 17, "C01", "nessuna") + In_Wire("C"),
      In_Wire("X")};
  ASSERT_TRUE(Accedi(s));
  EXPECT_EQ(Db1("SELECT S_DS_KEY, S_DS_CODI, S_DS_STAT, S_DS_D_01, S_DS_D_02, S_DS_D_16 FROM KYX_DS_20F "
                "ORDER BY S_DS_KEY"),
            "1|P001| |Penne nuove||Sedici;2|C01| |Rossi| |");
  EXPECT_EQ(Leggi_Ini("001", "Data", ""), "20240203000000");
  Disconnetti();
  const auto r = s.Richieste();
  ASSERT_EQ(r.size(), 18u);
  // Only the rows changed since the first update are asked for.
  EXPECT_EQ(r[16], "d0001520240102030405" "0");
  EXPECT_EQ(host.panels().back(), "Stato=Ricarica");
}

// Each fault comes at one request of a second login whose definitions no longer fit the data-set
// database: the login ends before the structure check (no question), with only its message.
struct Guasto_Caso {
  const char* nome;
  int richiesta;  // 1 login, 2-5 systems, 6-9 keys and values, 10 areas, 11 layouts, ... 17 descriptions
  std::string byte;
  bool chiudi, silenzio;
  const char* messaggio;  // "" = none
};

TEST_F(CollegamentoTest, InjectedFaultsGiveTheirMessageAndLeaveTheDataSetsAlone) {
  const std::string dati_prima = Primo_Accesso();
  ASSERT_FALSE(dati_prima.empty());
  const std::vector<Guasto_Caso> casi = {
      {"silent on the keys", 8, "", false, true, "Errore 012 - Base_File__Lettura"},
      {"dropped on the areas", 10, "", true, false, "Errore 012 - Base_File__Lettura"},
      {"head cut short", 3, "0", false, true, "Errore 012 - Base_File__Lettura"},
      {"refused layouts", 11, "9", false, false, "Errore 013 - Base_File__Lettura"},
      {"oversized filter", 14, "009000", false, true, "Errore 014 - Base_File__Lettura"},
      {"short payload", 15, "000500xxxx", false, true, "Errore 014 - Base_File__Lettura"},
      {"dropped in the elements", 12, "006960yyyyyyyy", true, false, "Errore 014 - Base_File__Lettura"},
      {"silent on the descriptions", 17, "", false, true, "Errore 012 - Base_File__Lettura"},
      {"silent on the login", 1, "", false, true, ""},
      {"login refused by status", 1, "900000", false, true, ""},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    const std::size_t mostrati = host.shown().size();
    const std::size_t pannelli = host.panels().size();
    Server_Finto s;
    Sistema_Cambiato(s);
    std::string byte = In_Wire(c.byte);
    if (std::string(c.byte) == "9") byte = Risposta(In_Wire(std::string(120, 'Z')), '9');
    s.Guasti = [&](int n, const std::string&) -> std::optional<Server_Finto::Guasto> {
      if (n != c.richiesta) return std::nullopt;
      return Server_Finto::Guasto{byte, c.chiudi, c.silenzio};
    };
    if (*c.messaggio) host.expect(c.messaggio);
    const auto inizio = Clock::now();
    EXPECT_FALSE(Accedi(s));
    EXPECT_LT(Clock::now() - inizio, std::chrono::seconds(5));
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().size(), mostrati + (*c.messaggio ? 1u : 0u));
    EXPECT_FALSE(Collegamento_Attivo());
    EXPECT_EQ(dir.read("Dati/KYX_2.MDB"), dati_prima);
    for (std::size_t i = pannelli; i < host.panels().size(); ++i) EXPECT_NE(host.panels()[i], "Stato=Ricarica");
    s.Richieste();
  }
}

// A refused reply keeps the link framed: its payload is read and dropped, so the same socket
// still reads the next reply right, and only the refused download is lost.
TEST_F(CollegamentoTest, RefusedReplyIsSkippedWholeAndTheLinkStaysFramed) {
  test::LoopbackPeer peer([](test::PeerConnection& c) {
    c.receive(6 + 22);
    c.send(Risposta(In_Wire(std::string(300, 'Q')), '9'));
    c.receive(6);
    c.send(Risposta(In_Wire("20240506070809")));
    c.wait_for_close();
  });
  std::string Esito;
  ASSERT_EQ(Sock_Connect(1, "127.0.0.1", peer.port(), Esito, 0, false), -1);
  host.expect("Errore 013 - Base_File__Lettura");
  EXPECT_FALSE(Scarica_Aree());
  Invia_Richiesta("k00000");
  ASSERT_EQ(Base_File__Lettura(), 14);
  EXPECT_EQ(Campo("A", 1, 14, 14, 0), "20240506070809");
  EXPECT_TRUE(Collegamento_Attivo());
  Sock_Close(1);
  peer.join();
}

struct Rifiuto_Caso {
  const char* nome;
  std::string esito;
  int client, sistema, utente;
  const char* messaggio;
};

TEST_F(CollegamentoTest, RefusedLoginsShowTheirReasonAndKeepTheDefinitions) {
  const std::vector<Rifiuto_Caso> casi = {
      {"wrong password", "N", 7, 1, 2, "L'utente AB\r e/o la password sono errati"},
      {"no such system", "S", 7, 0, 2, "Il sistema informativo : VEN\r\xE8 errato"},
      {"bad client before bad user", "S", -1, 1, -1, "Indice del client errato"},
      {"user not in the tables", "S", 7, 1, -1, "Utente non inserito nelle tabelle"},
  };
  for (const auto& c : casi) {
    SCOPED_TRACE(c.nome);
    Server_Finto s;
    s.Risposta_Login = Login(c.esito, c.client, c.sistema, c.utente, " ");
    Separatore_Valori = ";";
    host.expect(c.messaggio);
    EXPECT_FALSE(Accedi(s));
    EXPECT_EQ(host.pending(), 0u);
    EXPECT_EQ(host.shown().back().text, c.messaggio);
    EXPECT_EQ(host.shown().back().style, host::vbCritical);
    EXPECT_EQ(host.shown().back().title, "Q-KRE");
    // The reply's fields are taken before the checks; a blank separator becomes ",".
    EXPECT_EQ(Indice_Sistema_Server, c.sistema);
    EXPECT_EQ(Libreria_Sistema, "LIBVEN");
    EXPECT_EQ(Separatore_Valori, ",");
    EXPECT_FALSE(Collegamento_Attivo());
    EXPECT_FALSE(files::file_exists(Mdb(0)));  // never rebuilt for a refused user
    EXPECT_EQ(s.Richieste().size(), 1u);
  }
}

TEST_F(CollegamentoTest, ChangedStructureAsksAndNoEndsTheProgramWithTheDataSetsKept) {
  const std::string dati_prima = Primo_Accesso();
  int fine = 0;
  agganci_server::Fine_Programma = [&] { ++fine; };
  Server_Finto s;
  Sistema_Cambiato(s);
  host.expect("La struttura dei dati locali \xE8 stata modificata.\r\rPremere il pulsante\rS\xEC = per cancellare",
              host::vbNo);
  EXPECT_FALSE(Accedi(s));
  EXPECT_EQ(host.shown().back().style, host::vbYesNo | host::vbExclamation | host::vbDefaultButton2);
  EXPECT_EQ(fine, 1);
  EXPECT_EQ(dir.read("Dati/KYX_2.MDB"), dati_prima);
  Disconnetti();
  s.Richieste();
}

TEST_F(CollegamentoTest, MissingCodeTableRefusesToConnect) {
  sock::reset();
  ASSERT_TRUE(files::remove_file(dir.file("KYX.Tbl")));
  Server_Nome = "127.0.0.1";
  Server_Porta = "1";
  host.expect("KYX.Tbl");
  int32_t hWnd = 0;
  EXPECT_FALSE(Collegamento_Server(hWnd));
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_FALSE(files::file_exists(dir.file("KYX.Tbl")));
}

TEST_F(CollegamentoTest, SqlProfileWhoseDatabaseCannotBeOpenedSaysWhyAndFails) {
  const std::string definizioni = (Primo_Accesso(), dir.read("Dati/KYX_0.MDB"));
  DataBase_SQL = "KYXMASTER";
  // A driver that is not installed: the connection fails at once, with the driver manager's
  // reason, and nothing of the earlier login is touched.
  setenv("KYX_ODBC_DRIVER", "Kyx driver assente", 1);
  host.expect("Errore nell'aggiornamento\rdel database KYXMASTER\r");
  int32_t hWnd = 0;
  EXPECT_FALSE(Collegamento_Server(hWnd));
  unsetenv("KYX_ODBC_DRIVER");
  EXPECT_EQ(host.pending(), 0u);
  ASSERT_EQ(host.shown().size(), 1u);
  EXPECT_GT(host.shown()[0].text.size(), std::string("Errore nell'aggiornamento\rdel database KYXMASTER\r").size());
  EXPECT_EQ(dir.read("Dati/KYX_0.MDB"), definizioni);
}

}  // namespace
}  // namespace kyx
