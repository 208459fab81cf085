#pragma once
// A real elaboration on local data sets (areas and agents of system SI1 with one amount) whose
// result the export then writes: two row levels with subtotals of the outer one and a grand
// total. The main window's services come from the test: the title label, the grid colour.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/mdb2.h"
#include "engine/elaborazione.h"
#include "platform/data/static_recordset.h"
#include "export/agganci_esporta.h"
#include "tests/engine/ambiente_motore.h"

namespace kyx::test {

class AmbienteEsporta : public Motore {
 protected:
  void SetUp() override {
    Motore::SetUp();
    agganci_esporta::reset();
    agganci_esporta::Titolo_Griglia = [this] { return titolo; };
    agganci_esporta::Colore_Griglia = [] { return 0x00FF80; };  // &H00FF80: green 255, red 128
    agganci_esporta::Segna_Inizio = [this] { ++inizi; };
    Descrizione_Sistema = "  Vendite Italia  ";
    Chiave(1, "K", 4);
    Chiave(2, "K", 3);
    Riga("VALORI", {"SINF", "IDX", "ELEM"}, {"SI1", 1, 3});
    Layout(3, "Vendite");
    Liv_Riga_Chiave[0] = 1;
    Liv_Riga_Chiave[1] = 2;
    ASSERT_TRUE(Apri_MDB2(false, false));
    Elementi({{.col = 1, .calc = "#L1(001)", .inte = "Area", .sntot = "S"},
              {.col = 2, .calc = "#L2(002)", .inte = " Agente | cod "},
              {.col = 3, .calc = "#+V001#", .inte = "Importo|euro", .formato = "#,##0.00", .tot = "T"},
              {.col = 4, .calc = "#+V001#", .inte = "Senza", .formato = "0"}});  // no totals
  }
  void TearDown() override {
    agganci_esporta::reset();
    Motore::TearDown();
  }

  // One data-set row (texts in UTF-8, as the database holds them).
  void Dato(const std::string& area, const std::string& agente, double importo) {
    const std::string sql = "INSERT INTO KYX_D0_00F_SI1 (IDX, K_001, K_002, V_001_01, V_001_02, V_001_03) VALUES (" +
                            std::to_string(++righe_) + ",'" + area + "','" + agente + "'," + std::to_string(importo) +
                            ",0,0)";
    ASSERT_TRUE(Sql(Mdb(2), sql).empty()) << sql;
  }
  void Elabora(const std::string& prima_area = "NORD") {
    Dato(prima_area, "A01", 1234.5);
    Dato("NORD", "A03", 4);
    Dato("SUD", "A02", 10);
    Esegui_Elaborazione();
    ASSERT_EQ(Modo_Griglia, 3);
    ASSERT_TRUE(Rs_Griglia && Rs_Griglia->IsOpen());
  }
  // The user's filter with visible keys in display order: area = NORD, agent from A01 to A09
  // and agent not A05 (the agent key's text longer than 30 characters).
  void Filtro() {
    ASSERT_TRUE(Cn_MDB0->Execute("UPDATE CHIAVI SET VIS='V', ORDINA=CAST(IDX AS TEXT)").ok());
    ASSERT_TRUE(Cn_MDB0->Execute("UPDATE CHIAVI SET TESTO='Agente di vendita della zona commerciale' WHERE IDX=2").ok());
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {1, "=", "NORD", "", " "});
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "D", "A01", "A09", "B"});
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "N", "A05", "", " "});
    Riga("FILTRO", {"KEY", "OPER", "VALO_1", "VALO_2", "BLOCCO"}, {2, "=", "*", "", " "});  // all: not shown
  }

  // The file's lines, split at CR LF; a line end that is not CR LF fails the test.
  static std::vector<std::string> Righe_File(const std::string& bytes) {
    std::vector<std::string> righe;
    size_t inizio = 0;
    while (inizio < bytes.size()) {
      const size_t fine = bytes.find("\r\n", inizio);
      EXPECT_NE(fine, std::string::npos) << "the last line has no CR LF";
      if (fine == std::string::npos) break;
      righe.push_back(bytes.substr(inizio, fine - inizio));
      EXPECT_EQ(righe.back().find('\n'), std::string::npos) << "a bare LF in: " << righe.back();
      inizio = fine + 2;
    }
    return righe;
  }

  // What an independent reader (a Python script given its file) prints, and the test fails when
  // the reader does.
  static std::string Uscita_Lettore(const std::string& lettore, const std::string& file) {
    const std::string comando = std::string(KYX_PYTHON) + " " + lettore + " '" + file + "' 2>&1";
    std::string out;
    if (FILE* p = popen(comando.c_str(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
      EXPECT_EQ(pclose(p), 0) << out;
    }
    return out;
  }
  // The same, line by line (no empty line after the last).
  static std::vector<std::string> Righe_Lettore(const std::string& lettore, const std::string& file) {
    const std::string out = Uscita_Lettore(lettore, file);
    std::vector<std::string> righe;
    for (size_t inizio = 0, fine; inizio < out.size(); inizio = fine + 1) {
      fine = out.find('\n', inizio);
      if (fine == std::string::npos) fine = out.size();
      righe.push_back(out.substr(inizio, fine - inizio));
    }
    return righe;
  }

  // What an independent HTML parser reads from a page (see leggi_htm.py).
  static std::vector<std::string> Leggi_Pagina(const std::string& file) {
    const std::string out = Uscita_Lettore(KYX_LEGGI_HTM, file);
    std::vector<std::string> righe;
    size_t inizio = 0;
    while (inizio <= out.size()) {
      const size_t fine = out.find('\n', inizio);
      righe.push_back(out.substr(inizio, fine == std::string::npos ? std::string::npos : fine - inizio));
      if (fine == std::string::npos) break;
      inizio = fine + 1;
    }
    return righe;
  }

  // A result fabricated from row keys: a text column holding Testo and a value column (2.5, no
  // totals), one header line, in grid mode 3.
  static void Risultato_Da_Chiavi(const std::vector<std::string>& Chiavi, const std::string& Testo) {
    auto rs = std::make_unique<data::StaticRecordset>();
    ASSERT_TRUE(rs->AppendField(data::TextField("c000", 12)).ok());
    ASSERT_TRUE(rs->AppendField(data::TextField("c001", 255)).ok());
    ASSERT_TRUE(rs->AppendField(data::DoubleField("c002")).ok());
    ASSERT_TRUE(rs->OpenFabricated().ok());
    for (const std::string& chiave : Chiavi) {
      ASSERT_TRUE(rs->AddNew().ok());
      ASSERT_TRUE(rs->Set(0, data::Value(chiave)).ok());
      ASSERT_TRUE(rs->Set(1, data::Value(Testo)).ok());
      ASSERT_TRUE(rs->Set(2, data::Value(2.5)).ok());
      ASSERT_TRUE(rs->Update().ok());
    }
    Rs_Griglia = std::move(rs);
    Modo_Griglia = 3;
    Numero_Colonne = 2;
    Col_Visibile = {};
    Col_Visibile[1] = Col_Visibile[2] = 2;
    Col_Tipo = {};
    Col_Tipo[0] = 12;  // the row key, as the column model sets it: shown as it stands
    Col_Attributo[0] = "";
    Col_Tipo[1] = 10;
    Col_Attributo[1] = "";
    Col_Formato[2] = "0.0";
    Col_Totale[2] = 1;  // no totals: blank off the detail rows
    Col_Intestazione[1] = "Testo";
    Col_Intestazione[2] = "Valore";
    Righe_Intestazione = 1;
  }

  std::string titolo = "Vendite 01/2015: Nord|Sud";
  int inizi = 0;
  int righe_ = 0;
};

}  // namespace kyx::test
