#pragma once
// The main window shown at 1000 x 700 pixels over real definitions and descriptions databases
// (KYX_0.MDB, KYX_1.MDB), with the real grid display and a hand-made result in the grid: the
// ground of the element card, the column chooser and the column filter viewer.
#include <QMouseEvent>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "db/mdb1.h"
#include "platform/data/static_recordset.h"
#include "platform/ui/pointer.h"
#include "tests/ui/ambiente_struttura.h"
#include "ui/frm_menu_colonna.h"
#include "ui/installa_viste.h"
#include "views/griglia.h"
#include "views/stato_griglia.h"

namespace kyx::test {

class AmbienteSchede : public AmbienteStruttura {
 protected:
  AmbienteSchede() : f(Carica()) {
    stato_griglia::reset();
    Installa_Viste();
    Installa_Popup();
    agganci_motore::Salva_Layout = [this](const std::string& op, int16_t c) {
      salvati.push_back(op + " " + std::to_string(c));
    };
    f.Show();
    f.resize(1000, 700);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&f));
  }
  ~AmbienteSchede() override {
    for (ui::KyForm* p : ui::KyForm::Forms()) {
      if (p != frmBase.peek()) delete p;
    }
    stato_griglia::reset();
  }

  void SetUp() override {
    ASSERT_TRUE(Apri_MDB0(false));
    ASSERT_TRUE(Apri_MDB1(false, false));
  }

  // One description row: status, key, code and descriptions 1, 2, ... (values bound).
  static void Descrizione(int key, const std::string& codice, const std::string& stato,
                          const std::vector<std::string>& testi) {
    std::vector<std::string> colonne = {"S_DS_STAT", "S_DS_KEY", "S_DS_CODI"};
    std::vector<data::Value> valori = {stato, key, codice};
    for (size_t n = 0; n < testi.size(); ++n) {
      colonne.push_back("S_DS_D_" + vb::Format(static_cast<int64_t>(n + 1), "00"));
      valori.emplace_back(testi[n]);
    }
    std::string sql = "INSERT INTO KYX_DS_20F (", segnaposti;
    for (size_t i = 0; i < colonne.size(); ++i) {
      sql += (i ? "," : "") + colonne[i];
      segnaposti += i ? ",?" : "?";
    }
    std::unique_ptr<data::Statement> st;
    ASSERT_TRUE(Cn_MDB1->Prepare(sql + ") VALUES (" + segnaposti + ")", &st).ok());
    for (size_t i = 0; i < valori.size(); ++i) ASSERT_TRUE(st->Bind(static_cast<int>(i + 1), valori[i]).ok());
    ASSERT_TRUE(st->Run().ok());
  }

  // A result of `righe` records over columns 0 .. 4 (0 the row key, 1 and 2 codes of keys 7 and
  // 8, 3 and 4 values), headings "Titolo|c", shown in the grid.
  void Risultato(int righe, int16_t modo = 3) {
    Modo_Griglia = modo;
    Numero_Colonne = 4;
    for (int c = 0; c <= 4; ++c) {
      Col_Visibile[c] = 2;
      Col_Larghezza[c] = 1200;
      Col_Tipo[c] = c >= 3 ? 0 : 10;
      Col_Chiave[c] = -1;
      Col_Descrizione[c] = -1;
      Col_Intestazione[c] = "Titolo|" + std::to_string(c);
    }
    Col_Chiave[1] = 7;
    Col_Chiave[2] = 8;
    auto rs = std::make_unique<data::StaticRecordset>();
    for (int c = 0; c <= 4; ++c) rs->AppendField(data::TextField("c00" + std::to_string(c), 20));
    ASSERT_TRUE(rs->OpenFabricated().ok());
    for (int r = 1; r <= righe; ++r) {
      rs->AddNew();
      rs->SetText(0, "0000012" + std::to_string(r));
      rs->SetText(1, "A0" + std::to_string(r));
      rs->SetText(2, "B0" + std::to_string(r));
      rs->SetText(3, std::to_string(r * 10));
      rs->SetText(4, std::to_string(r * 100));
      ASSERT_TRUE(rs->Update().ok());
    }
    Numero_Record = righe;
    Rs_Griglia = std::move(rs);
    Prima_Riga = Riga_Evidenziata = Scorrimento_Colonne = -1;
    Visualizza_Griglia();
  }

  // The pointer put on a screen point of the main window (pixels from its client corner).
  void Puntatore(int x, int y) const {
    const QPoint g = f.mapToGlobal(QPoint(x, y));
    ui::SetCursorPos(g.x(), g.y());
  }

  FrmBase& f;
  std::vector<std::string> salvati;
};

}  // namespace kyx::test
