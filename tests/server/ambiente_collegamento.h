#pragma once
// A program ready to log in: its own program and data folders, the generated code table in the
// program folder, the profile pointing at a scripted data server on 127.0.0.1, short socket
// waits, the descriptions database open (as the main window leaves it), and a small sample
// information system to serve.
#include <chrono>
#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb0.h"
#include "db/mdb1.h"
#include "db/mdb2.h"
#include "platform/files/files.h"
#include "server/agganci_server.h"
#include "server/scarica.h"
#include "server/socket.h"
#include "tests/db/ambiente_db.h"
#include "tests/server/server_finto.h"
#include "tests/server/tabella.h"

namespace kyx::test {

using namespace std::chrono_literals;

// The sample system "VEN" (library LIBVEN, server index 1) lists the system "ACQ" (LIBACQ),
// which shares its key 1 as key 3.
class AmbienteCollegamento : public AmbienteDb {
 protected:
  AmbienteCollegamento() {
    sock::reset();
    agganci_server::reset();
    Numero_Indici_Layout = 0;
    Attese.Attesa_Lunga = 200ms;
    Attese.Attesa_Breve = 20ms;
    Attese.Attesa_Risposta = 800ms;
    Genera_Tabella(dir);
    Carica_Tabella();

    Server_Nome = "127.0.0.1";
    Nome_Utente = "AB";
    Password_Utente = std::string(10, '^');
    Sistema_Informativo = "VEN";
    File_Aree = Cartella_Dati + "KYX_A.DAT";
    File_Chiavi = Cartella_Dati + "KYX_K.DAT";
    File_Sistemi = Cartella_Dati + "KYX_E.DAT";
    File_Valori = Cartella_Dati + "KYX_V.DAT";
    File_Layout = Cartella_Dati + "KYX_L.DAT";
    File_Layout_Elementi = Cartella_Dati + "KYX_L_###.DAT";
    File_Drill = Cartella_Dati + "KYX_D_###.DAT";
    File_Filtro_Utente = Cartella_Dati + "KYX_UF.DAT";
    File_Struttura_Utente = Cartella_Dati + "KYX_UA.DAT";
    Ini("[001]\nNome=VEN\n");
    Apri_MDB1(false, false);
  }
  ~AmbienteCollegamento() override {
    sock::reset();
    agganci_server::reset();
    Numero_Indici_Layout = 0;
  }

  // The code table loaded as Sock_Start loads it, so that the tests can encode before logging in.
  void Carica_Tabella() {
    std::string Descrizione;
    Sock_Start(Descrizione, Cartella_Programma + "KYX.Tbl");
  }

  // The accepted login reply.
  static std::string Login(const std::string& esito = "S", int client = 7, int sistema = 1, int utente = 2,
                           const std::string& separatore = ",") {
    Record_Wire r(100);
    r.Testo(1, 51, esito).Zoned(52, 3, client).Zoned(55, 3, sistema).Zoned(58, 3, utente);
    r.Testo(61, 10, "LIBVEN").Testo(71, 23, "").Testo(94, 1, separatore).Testo(95, 6, "");
    return r.Byte();
  }

  // An image of `size` zero bytes with `records` laid one after the other from `offset`.
  static void Poni(std::string& image, std::size_t offset, const std::vector<std::string>& records) {
    for (const auto& r : records) {
      if (image.size() < offset + r.size()) image.resize(offset + r.size(), '\0');
      image.replace(offset, r.size(), r);
      offset += r.size();
    }
  }
  static std::string Fine(std::size_t lunghezza) { return Record_Wire(lunghezza).Fine(lunghezza).Byte(); }

  static std::string Chiave(int idx, const std::string& titolo, const std::string& tipo) {
    Record_Wire r(384);
    r.Bin(1, 2, static_cast<uint32_t>(idx)).Bin(3, 2, 10).Testo(5, 4, "").Testo(9, 40, titolo);
    r.Testo(49, 45, "").Testo(94, 4, "SSNN");
    for (int k = 0; k < 12; ++k) r.Testo(98 + 20 * static_cast<std::size_t>(k), 20, "T" + std::to_string(k + 1));
    r.Testo(338, 1, "").Testo(339, 3, "A01").Testo(342, 5, "00001").Bin(347, 2, 0).Testo(349, 1, "S");
    r.Testo(350, 1, tipo).Testo(351, 12, "").Testo(363, 1, "1").Testo(364, 20, "@@@@").Testo(384, 1, " ");
    return r.Byte();
  }
  static std::string Valore(int idx, int elementi) {
    Record_Wire r(64);
    return r.Bin(1, 2, static_cast<uint32_t>(idx)).Bin(3, 2, static_cast<uint32_t>(elementi)).Testo(5, 60, "").Byte();
  }

  // The whole sample system on `s`; `titolo_1` is the title of key 1 of VEN.
  void Sistema_Campione(Server_Finto& s, const std::string& titolo_1 = "Prodotto") {
    s.Risposta_Login = Login();
    const std::string vuota(10, ' ');
    std::string& base = s.File["a" + vuota];
    // Systems list: ACQ with key 1 of VEN as its key 3; a slot without code; the rest unused.
    Record_Wire acq(384);
    acq.Bin(1, 2, 2).Testo(3, 10, "ACQ").Testo(13, 10, "LIBACQ").Testo(23, 50, "").Bin(73, 2, 3).Testo(384, 1, " ");
    Record_Wire senza(384);
    senza.Bin(1, 2, 3).Testo(3, 10, "").Bin(73, 2, 1).Testo(384, 1, " ");
    Poni(base, 289664, {acq.Byte(), senza.Byte()});
    base.resize(289664 + 64 * 384, '\0');
    // Areas.
    Record_Wire a1(64), a2(64);
    a1.Testo(1, 2, "").Testo(3, 3, "A01").Testo(6, 40, "Vendite").Testo(46, 5, "00001").Testo(51, 14, "");
    a2.Testo(1, 2, "").Testo(3, 3, "A02").Testo(6, 40, "Acquisti").Testo(46, 5, "00002").Testo(51, 14, "");
    Poni(base, 106752, {a1.Byte(), a2.Byte(), Fine(64)});
    // Layout list: one layout.
    Record_Wire l1(576);
    l1.Bin(1, 2, 1).Bin(3, 2, 9).Bin(5, 2, 1).Testo(7, 40, "Venduto per prodotto").Testo(47, 40, "Arial");
    l1.Testo(87, 5, "00001").Bin(97, 2, 0).Testo(99, 1, "N").Testo(100, 60, "").Testo(160, 1, "N");
    for (int k = 0; k < 9; ++k) l1.Testo(161 + 40 * static_cast<std::size_t>(k), 40, "P" + std::to_string(k + 1));
    l1.Bin(521, 2, 1).Testo(539, 1, "S").Testo(540, 37, "");
    Poni(base, 108800, {l1.Byte(), Fine(576)});

    // VEN: two keys and one value.
    std::string& ven = s.File["aLIBVEN    "];
    Poni(ven, 256, {Chiave(1, titolo_1, "K"), Chiave(2, "Cliente", "K"), Fine(384)});
    Poni(ven, 49408, {Valore(1, 2), Fine(64)});
    // ACQ: one key, one value.
    std::string& acqf = s.File["aLIBACQ    "];
    Poni(acqf, 256, {Chiave(1, "Fornitore", "K"), Fine(384)});
    Poni(acqf, 49408, {Valore(1, 1), Fine(64)});

    // Elements of layout 1: one element with one "=" filter; drill rows: one.
    Record_Wire e1(2320);
    e1.Bin(1, 2, 1).Bin(3, 2, 1).Bin(5, 2, 2).Bin(7, 2, 120).Testo(9, 2, "SS").Testo(11, 40, "Quantit\xE0");
    e1.Testo(51, 40, "#,##0").Testo(91, 60, "").Testo(151, 10, "VEN").Testo(161, 2, "NN").Testo(163, 60, "");
    e1.Testo(223, 98, "");
    for (int j = 0; j < 25; ++j) e1.Testo(320 + 80 * static_cast<std::size_t>(j) + 3, 78, "");
    e1.Bin(321, 2, 1).Testo(323, 1, "D").Testo(324, 1, "=").Testo(325, 60, "P001,P002").Testo(385, 1, "E");
    // The end mark of an element is the last byte of its 320-byte element part.
    Poni(s.File["b00001"], 80, {e1.Byte(), Record_Wire(2320).Fine(320).Byte()});
    Record_Wire d1(320);
    d1.Bin(1, 2, 1).Bin(3, 2, 70000 & 0xFFFF).Bin(5, 2, 1).Testo(43, 40, "Dettaglio").Testo(83, 216, "");
    d1.Testo(299, 22, "");
    Poni(s.File["m00001"], 0, {d1.Byte(), Fine(320)});

    // User filter (offset 0) and user structure (offset 8192) come from one server file.
    std::string& c = s.File["c"];
    Record_Wire f1(64);
    f1.Bin(1, 2, 2).Testo(3, 1, "i").Testo(4, 60, "C01,C02").Testo(64, 1, " ");
    Poni(c, 0, {f1.Byte(), Fine(64)});
    Record_Wire marca(36), u1(36);
    marca.Testo(5, 32, "{Rel.6.0.18}");
    u1.Bin(1, 2, 1).Bin(3, 2, 1).Bin(36, 1, 5);  // layouts 1 and 3 for area 1, key 1
    Poni(c, 8192, {marca.Byte(), u1.Byte()});

    s.Blocchi_Descrizioni = {
        Riga_Descrizione(" ", 1, 1, "P001", "Penne") + Riga_Descrizione(" ", 1, 2, "P001", "Blu") +
            Riga_Descrizione(" ", 2, 1, "C01", "Rossi") + In_Wire("C"),
        In_Wire("X")};
  }

  // Names of the files of the data folder matching a pattern.
  std::vector<std::string> Nel_Dati(const std::string& pattern) const {
    return files::list_files(dir.file("Dati"), pattern);
  }
  // The "Stato" panel texts written so far.
  std::vector<std::string> Stati() const {
    std::vector<std::string> out;
    for (const auto& p : host.panels())
      if (p.rfind("Stato=", 0) == 0) out.push_back(p.substr(6));
    return out;
  }
  std::string Db0(const std::string& sql) const { return Unisci(Sql(Mdb(0), sql)); }
  std::string Db1(const std::string& sql) const { return Unisci(Sql(Mdb(1), sql)); }
  // Rows joined by ";", columns by "|".
  static std::string Unisci(const std::vector<std::vector<std::string>>& righe) {
    std::string out;
    for (const auto& r : righe) {
      if (!out.empty()) out += ";";
      for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "|" : "") + r[i];
    }
    return out;
  }
};

}  // namespace kyx::test
