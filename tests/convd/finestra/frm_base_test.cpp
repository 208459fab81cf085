#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "convd/finestra/frm_base.h"
#include "tests/convd/ambiente_convd.h"

namespace kyx::test {
namespace {

class FinestraConversione : public AmbienteConvd {
 protected:
  FinestraConversione() : prima(std::filesystem::current_path()) {}
  ~FinestraConversione() override {
    std::filesystem::current_path(prima);
    if (convd::frmBase.Loaded()) convd::frmBase->Unload();
  }
  std::filesystem::path prima;
};

// The program works on the database of the folder it starts in; its window shows the last step
// and stays open.
TEST_F(FinestraConversione, LoadingTheWindowConvertsTheCurrentFolderAndShowsTheLastStep) {
  Crea_Vecchio();
  Righe_00F({{"' '", "1", "'A1'", "'Uno'"}});
  std::filesystem::current_path(Cartella());

  convd::FrmBase& f = *convd::frmBase;
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(f.Caption(), "Conversione Descrizioni");
  EXPECT_EQ(f.Label1->Caption(), " Conversione completata ");
  EXPECT_EQ(f.Ultimo.esito, convd::Esito::kConvertito);
  EXPECT_EQ(Righe_Nuove(), (std::vector<std::string>{" |1|A1|01=Uno"}));

  // A second start finds the table made and changes nothing.
  f.Converti_Descrizioni(Cartella());
  EXPECT_EQ(f.Label1->Caption(), " Conversione gi\xE0 effettuata ");
}

}  // namespace
}  // namespace kyx::test
