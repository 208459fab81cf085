#include "common/sostituisci_variabili.h"

#include <gtest/gtest.h>

#include "common/modello.h"
#include "common/stato.h"
#include "tests/common/definizioni.h"

namespace kyx {
namespace {

class SostituisciVariabili : public test::Definizioni {
 protected:
  void SetUp() override {
    Definizioni::SetUp();
    Anno_Riferimento = 2015;
    Oggi(3);
  }
  static void Oggi(int mese) {
    sostituisci_variabili::set_clock([mese] {
      vb::DateTime d;
      d.year = 2020;
      d.month = mese;
      d.day = 15;
      return d;
    });
  }
  // Layout 1 with parameter 1 on key 7 and parameter 2 on key 8, and the recordset on it.
  void Layout() {
    Inserisci(*Cn_MDB0, "LAYOUT", {"IDX", "PKEY_1", "PKEY_2"}, {1, 7, 8});
    ASSERT_TRUE(Rs_Layout->Seek({data::Value(1)}).ok());
    ASSERT_FALSE(Rs_Layout->AfterLast());
  }
};

TEST_F(SostituisciVariabili, YearsMonthsParametersAndLevels) {
  Parametri_Valore[0] = "  12  ";
  Parametri_Valore[8] = "nove";
  Liv_Riga_Testo[1] = " Area Nord ";
  const std::pair<const char*, const char*> casi[] = {
      {"Anno #A??", "Anno 2015"},
      {"#A-1/#A??", "2014/2015"},
      {"#A+0", "2015"},
      {"#A+9 #A-9", "2024 2006"},
      {"#Anno", "2015o"},  // any two characters after "#A" make the plain year
      {"#M+1", "  04"},
      {"#M-2", "  01"},
      {"#M??|#M+0", "  03|  03"},
      {"Par. #X1.", "Par. 12."},
      {"#X9", "nove"},
      {"#L2D|#R2D", " Area Nord | Area Nord "},
      {"#", "#"},
      {"#X0 #L0D #XAC ##", "#X0 #L0D #XAC ##"},
      {"", ""},
      {"senza segnaposti", "senza segnaposti"},
  };
  for (const auto& [testo, atteso] : casi) {
    bool ok = false;
    EXPECT_EQ(Sostituisci_Variabili(testo, &ok), atteso) << testo;
    EXPECT_TRUE(ok) << testo;
  }
}

TEST_F(SostituisciVariabili, MonthsStayWithinTheYear) {
  Oggi(12);
  EXPECT_EQ(Sostituisci_Variabili("#M+3"), "  12");
  EXPECT_EQ(Sostituisci_Variabili("#M-3"), "  09");
  Oggi(1);
  EXPECT_EQ(Sostituisci_Variabili("#M-2"), "  01");
  EXPECT_EQ(Sostituisci_Variabili("#M+9"), "  10");
}

TEST_F(SostituisciVariabili, ParameterKeysFromTheCurrentLayout) {
  Layout();
  Chiave("SI1", 7, "1", "", 7, "Agenti   ");
  Descrizione(7, "A01", " ", "Bianchi");
  Parametri_Valore[0] = " A01 ";
  const std::pair<const char*, const char*> casi[] = {
      {"#X1C", "007"},
      {"#X2C-#X1C", "008-007"},
      {"Per #X1D", "Per Agenti"},
      {"#X1<01>", "Bianchi"},
      {"#X1<00>", "A01"},
      {"#X1<1>", "A01<1>"},  // not two digits: the plain parameter
      {"#X2D", ""},           // key 8 has no row
  };
  for (const auto& [testo, atteso] : casi) {
    bool ok = false;
    EXPECT_EQ(Sostituisci_Variabili(testo, &ok), atteso) << testo;
    EXPECT_TRUE(ok) << testo;
  }
}

TEST_F(SostituisciVariabili, NoLayoutRowIsAFailure) {
  bool ok = true;
  EXPECT_EQ(Sostituisci_Variabili("Chiave #X1C", &ok), "");
  EXPECT_FALSE(ok);
  // Placeholders that do not read the layout still work.
  Parametri_Valore[0] = "P";
  EXPECT_EQ(Sostituisci_Variabili("#X1 #A??", &ok), "P 2015");
  EXPECT_TRUE(ok);
  // A parameter without its key.
  Inserisci(*Cn_MDB0, "LAYOUT", {"IDX"}, {2});
  ASSERT_TRUE(Rs_Layout->Seek({data::Value(2)}).ok());
  EXPECT_EQ(Sostituisci_Variabili("#X1D", &ok), "");
  EXPECT_FALSE(ok);
}

TEST_F(SostituisciVariabili, EveryPlaceholderOfTheTextIsExpandedOnce) {
  // A long parameter must not push the next placeholder out of the scan, nor an empty one make
  // the scan step over it.
  Parametri_Valore[0] = "ABCDEFGHIJKLMNOP";
  Parametri_Valore[1] = "Z";
  EXPECT_EQ(Sostituisci_Variabili("#X1#X2"), "ABCDEFGHIJKLMNOPZ");
  Parametri_Valore[0] = "";
  EXPECT_EQ(Sostituisci_Variabili("#X1#X2#A??"), "Z2015");
  // An expansion is text, not a caption: it is not scanned again.
  Parametri_Valore[0] = "x#A??";
  EXPECT_EQ(Sostituisci_Variabili("#X1"), "x#A??");
}

}  // namespace
}  // namespace kyx
