// "Aggiorna tutti" against our real data server: ten favourites run again one after another, the
// fourth refused by the server. It keeps its saved result and date, the run goes on, and the
// other nine get their new result and date.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/stato_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/file_layout.h"
#include "layouts/layout.h"
#include "layouts/preferiti.h"
#include "platform/data/static_recordset.h"
#include "platform/ini/ini_file.h"
#include "server/collegamento.h"
#include "server/socket.h"
#include "tests/server/ambiente_collegamento.h"
#include "tests/server/server_dati.h"

namespace kyx {
namespace {

namespace ds = dataserver;
const char kChiave[] = "A001K007L001";
const char kVecchiaData[] = "01/01/2000 00:00:00";

class AggiornaTutti : public test::AmbienteCollegamento {
 protected:
  AggiornaTutti() {
    stato_motore::reset();
    agganci_motore::reset();
    agganci_layout::reset();
    preferiti::reset();
    server_ = test::Avvia_Server_Dati(dir);
    Ini("[001]\nNome=VENDITE\n");
    int32_t h = 0;
    Connesso = Collegamento_Server(h);
    files::make_folder(dir.file("STORICO"));
    files::make_folder(dir.file("PREFERITI/Vendite"));
    Cartella_Storico = dir.path() + "/STORICO\\";
    Cartella_Preferiti = dir.path() + "/PREFERITI\\";
    File_Storico_1 = Cartella_Storico + "KYX_E_######_1.DAT";
    File_Storico_2 = Cartella_Storico + "KYX_E_######_2.DAT";
    Elementi_Storico = 9999;
    agganci_motore::Salva_Layout = [](const std::string& o, int16_t c) { Salva_Layout(o, c); };
    agganci_layout::Titolo_Elaborazione = [] { return std::string("Zone e agenti"); };
    agganci_layout::Leggi_Chiave_Layout = [this] { return chiave_; };
    agganci_layout::Imposta_Chiave_Layout = [this](const std::string& k) { chiave_ = k; };
    agganci_layout::Segna_Layout = [](const std::string& k) { return k == kChiave; };
  }
  ~AggiornaTutti() override {
    sock::reset();
    server_->Stop();
    stato_motore::reset();
    agganci_motore::reset();
    agganci_layout::reset();
    preferiti::reset();
  }

  static int64_t Righe(const std::string& file) {
    data::StaticRecordset rs;
    return rs.Load(files::native_path(file)).ok() ? rs.RecordCount() : -1;
  }

  std::unique_ptr<ds::DataServer> server_;
  std::string chiave_ = kChiave;
};

TEST_F(AggiornaTutti, AFailedRefreshKeepsItsResultAndTheOthersGoOn) {
  ASSERT_TRUE(Connesso);
  Layout_Corrente = 1;
  Liv_Riga_Chiave.fill(-1);
  Liv_Colonna_Chiave.fill(-1);
  Liv_Riga_Chiave[0] = 7;
  Liv_Riga_Chiave[1] = 8;
  Parametri_Valore[0] = "2024";
  ASSERT_TRUE(Esegui_Elaborazione());
  const int64_t righe = Righe(File_Storico(File_Storico_1, 1));
  ASSERT_GT(righe, 3);

  // Ten favourites copied from that pair, each with a saved result of one row and an old date.
  data::StaticRecordset uno;
  ASSERT_TRUE(uno.AppendField(data::TextField("c000", 12)).ok());
  ASSERT_TRUE(uno.OpenFabricated().ok());
  (void)uno.AddNew();
  (void)uno.Set("c000", data::Value("9999994"));
  (void)uno.Update();
  std::vector<std::string> preferiti;
  for (int i = 1; i <= 10; ++i) {
    const std::string base = Cartella_Preferiti + "Vendite\\KYX_E_" + Numero_Cifre(i, 6);
    std::string layout;
    ASSERT_TRUE(files::read_file(files::native_path(File_Storico(File_Storico_2, 1)), layout));
    ASSERT_TRUE(files::write_file_atomic(files::native_path(base + "_2.DAT"), layout));
    ASSERT_TRUE(uno.Save(files::native_path(base + "_1.DAT")).ok());
    ini::IniFile f(base + "_2.DAT");
    ASSERT_TRUE(f.Write("Q-KRE", "_Data____", kVecchiaData));
    ASSERT_TRUE(f.Write("Q-KRE", "_NKey____", kChiave));
    preferiti.push_back(base + "_2.DAT");
  }
  std::string saved_4;
  ASSERT_TRUE(files::read_file(files::native_path(File_Risultato(preferiti[3])), saved_4));

  // The server refuses the layout record of the fourth run.
  ds::Fault rifiuto;
  rifiuto.type = ds::FaultType::kStatus;
  rifiuto.status = '9';
  rifiuto.on = 4;
  server_->Arm(ds::RequestKind::kLayout, rifiuto);
  host.expect("Errore 022 - Richiesta_ESEGUI");
  int ridisegni = 0;
  const std::vector<std::string> falliti = Aggiorna_Preferiti(preferiti, [&] { ++ridisegni; });
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(falliti, std::vector<std::string>{preferiti[3]});
  EXPECT_EQ(ridisegni, 10);

  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(preferiti[static_cast<size_t>(i)]);
    const std::string& p = preferiti[static_cast<size_t>(i)];
    const std::string data = ini::IniFile(p).Read("Q-KRE", "_Data____", "");
    if (i == 3) {
      std::string adesso;
      ASSERT_TRUE(files::read_file(files::native_path(File_Risultato(p)), adesso));
      EXPECT_EQ(adesso, saved_4);
      EXPECT_EQ(data, kVecchiaData);
    } else {
      EXPECT_EQ(Righe(File_Risultato(p)), righe);
      EXPECT_NE(data, kVecchiaData);
    }
  }
  // Every run took its own history number, the refused one too.
  EXPECT_EQ(Storico_Ultimo, 11);
}

}  // namespace
}  // namespace kyx
