#include "common/formatta_valore.h"

#include <gtest/gtest.h>

#include "common/modello.h"
#include "tests/common/definizioni.h"

namespace kyx {
namespace {

using FormattaValore = test::Definizioni;
using Periodi = test::Ambiente;  // a clean program with English number separators

// Column 1 with its own key of the given attributes.
void Colonna_Con(const std::string& attr, const std::string& formato) {
  Col_Attributo[1] = attr;
  Col_Formato[1] = formato;
  Col_Kde[1] = 0;
  Col_Chiave[1] = 0;
  Col_Calcolo[1] = "";
}

TEST_F(FormattaValore, EveryAttributeAndFormat) {
  struct Caso {
    const char* attr;
    const char* formato;
    const char* codice;
    const char* atteso;
  };
  const Caso casi[] = {
      {"A", "", "20150307", "07-03-2015"},
      {"A", " ", "20150307", "07-03-2015"},  // a blank format is no format
      {"A", "dd/mm/yyyy", "20150307", "07/03/2015"},
      {"A", "", "00000000", "0"},
      {"A", "", "20151399", "0"},  // no such day
      {"B", "", "201503", "03-2015"},
      {"B", "mmmm yyyy", "201503", "marzo 2015"},
      {"B", "", "000000", "0"},
      {"C", "", "201507", "2015-07"},
      {"D", "", "201524", "2015-24"},
      {"E", "", "201537", "2015-37"},
      {"F", "", "2015031", "2015-03-1"},
      {"G", "", "2015123", "2015-12-3"},
      {"H", "", "20156", "2015-6"},
      {"I", "", "20154", "2015-4"},
      {"J", "", "20153", "2015-3"},
      {"K", "", "20152", "2015-2"},
      {"K", "", "00000", "0"},
      {"Z", "", "20152", "0"},  // an unknown letter shows as no period
      {"2", "#MID(1,2)#", "  ab c ", "  ab c "},
      {"3", "", "00042", "42"},
      {"3", " ", "7", "7"},
      {"3", "000000", "42", "000042"},
      {"3", "", "4x2", "4x2"},  // not a number: the code as it is
      {"1", "", "ABC", "ABC"},
      {"1", "#MID(3,2)#", "ABCDEF", "CD"},
      {"1", "#mid(1,6)#", "ABCDEF", "ABCDEF"},
      {"1", "#MID(5,3)#", "ABCDEF", "ABCDEF"},  // the slice would end past the code
      {"1", "#MID(0,2)#", "ABCDEF", "ABCDEF"},
      {"1", "#MID(x,2)#", "ABCDEF", "ABCDEF"},
      {"1", "#MID(2,)#", "ABCDEF", "ABCDEF"},
      {"1", "#MID(2,2)", "ABCDEF", "ABCDEF"},
  };
  for (const Caso& c : casi) {
    Colonna_Con(c.attr, c.formato);
    EXPECT_EQ(Formatta_Valore(0, c.codice, 0, 1, ""), c.atteso) << c.attr << " " << c.formato << " " << c.codice;
  }
}

TEST_F(FormattaValore, DescriptionsOfACodedKey) {
  Chiave("SI1", 1, "1", "", 11);
  Descrizione(11, "C01", " ", "Rossi", "Milano");
  Descrizione(11, "C02", "A", "Vecchio");
  Descrizione(11, "ABC", " ", "Alfa");
  Descrizione(1, "C01", " ", "of the wrong key");

  EXPECT_EQ(Formatta_Valore(1, "C01", 0, -1, ""), "C01");
  EXPECT_EQ(Formatta_Valore(1, "C01", 1, -1, ""), "Rossi");  // descriptions of KEY_D, not of the key
  EXPECT_EQ(Formatta_Valore(1, "C01", 2, -1, ""), "Milano");
  EXPECT_EQ(Formatta_Valore(1, "C99", 1, -1, ""), "*** non codificato ***");
  EXPECT_EQ(Formatta_Valore(1, "C99", 2, -1, ""), " ");
  EXPECT_EQ(Formatta_Valore(1, "C02", 1, -1, ""), "*** annullato ***");
  EXPECT_EQ(Formatta_Valore(1, "C01", 17, -1, ""), "C01");
  // The descriptions are found as the local databases compare codes: without regard to case
  // and to trailing blanks.
  EXPECT_EQ(Formatta_Valore(1, "abc", 1, -1, ""), "Alfa");
  EXPECT_EQ(Formatta_Valore(1, "C01      ", 1, -1, ""), "Rossi");
  EXPECT_EQ(Formatta_Valore(0, "C01", 1, -1, ""), "C01");  // no key
}

TEST_F(FormattaValore, KeyWithoutRowOrDescriptionKeyFallsBack) {
  Chiave("SI1", 14, "1", "", data::Value::Null());  // KEY_D Null: the key's own descriptions
  Descrizione(14, "X", " ", "Ics");
  Descrizione(15, "X", " ", "Ics di 15");
  EXPECT_EQ(Formatta_Valore(14, "X", 1, -1, ""), "Ics");
  // A key missing from CHIAVI is a coded key with its own descriptions.
  EXPECT_EQ(Formatta_Valore(15, "X", 1, -1, ""), "Ics di 15");
  // Without the descriptions table the code is shown.
  Rs_Descrizioni.reset();
  EXPECT_EQ(Formatta_Valore(14, "X", 1, -1, ""), "X");
}

TEST_F(FormattaValore, AttributeCacheFollowsTheInformationSystem) {
  Chiave("SI1", 20, "2", "", 20);
  Chiave("SI2", 20, "A", "", 20);
  EXPECT_EQ(Formatta_Valore(20, "20150307", 0, -1, ""), "20150307");
  Sistema_Informativo = "SI2";
  EXPECT_EQ(Formatta_Valore(20, "20150307", 0, -1, ""), "07-03-2015");
  // A blank-padded system code finds its trimmed rows.
  Sistema_Informativo = "SI1       ";
  EXPECT_EQ(Formatta_Valore(20, "20150307", 0, -1, ""), "20150307");
}

TEST_F(FormattaValore, ColumnCallReplacesTheCachedKey) {
  Chiave("SI1", 5, "A", "", 5);
  EXPECT_EQ(Formatta_Valore(5, "20150307", 0, -1, ""), "07-03-2015");
  Colonna_Con("2", "");
  EXPECT_EQ(Formatta_Valore(5, "20150307", 0, 1, ""), "20150307");
  // The same key number again is read from CHIAVI, not taken from the column's attributes.
  EXPECT_EQ(Formatta_Valore(5, "20150307", 0, -1, ""), "07-03-2015");
}

TEST_F(FormattaValore, RowKindsAndLevelColumns) {
  Colonna_Con("C", "");
  EXPECT_EQ(Formatta_Valore(0, "201507", 0, 1, "000000" "21"), "2015-07");
  EXPECT_EQ(Formatta_Valore(0, "201507", 0, 1, "000000" "41"), "201507");  // total row
  EXPECT_EQ(Formatta_Valore(0, "  totale", 0, 1, "000000" "21"), "  totale");
  // A column of "D"-token levels is decoded on detail rows only.
  Col_Calcolo[1] = "#DR(001)+x";
  EXPECT_EQ(Formatta_Valore(0, "201507", 0, 1, "000000" "31"), "201507");
  EXPECT_EQ(Formatta_Valore(0, "201507", 0, 1, "000000" "21"), "2015-07");

  // A column showing the row's level key: level d on kind "2", level 10 - d on kind "3".
  Col_Attributo[2] = "*";
  Liv_Attributo[0] = "K";
  Liv_Attributo[7] = "I";
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 2, "000000" "21"), "2015-2");
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 2, "000000" "32"), "2015-2");
  Liv_Attributo[7] = "2";
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 2, "000000" "32"), "20152");
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 2, "000000" "41"), "20152");
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 2, "000000" "2x"), "20152");  // no level digit
  EXPECT_EQ(Formatta_Valore(0, "20152", 0, 300, ""), "20152");            // no such column
}

TEST_F(FormattaValore, KeyFormatIsBorrowedFromTheCodeKey) {
  Chiave("SI1", 12, "1", "#MID(3,2)#", 12);
  Colonna_Con("1", "#Key#");
  Col_Chiave[1] = 12;
  EXPECT_EQ(Formatta_Valore(0, "ABCDEF", 0, 1, ""), "CD");
  Col_Chiave[1] = 99;  // no row to borrow from: "#Key#" is no format
  EXPECT_EQ(Formatta_Valore(0, "ABCDEF", 0, 1, ""), "ABCDEF");
}

TEST_F(FormattaValore, LeggiDescrizione) {
  Chiave("SI1", 1, "1", "", 1, "Clienti   ");
  EXPECT_EQ(Leggi_Descrizione("SI1", 1), "Clienti");
  EXPECT_EQ(Leggi_Descrizione("si1       ", 1), "Clienti");
  EXPECT_EQ(Leggi_Descrizione("SI1", 2), "");
  EXPECT_EQ(Leggi_Descrizione("SI2", 1), "");
  Rs_Chiavi.reset();
  EXPECT_EQ(Leggi_Descrizione("SI1", 1), "");
}

TEST_F(Periodi, TypedPeriods) {
  struct Caso {
    const char* attr;
    const char* formato;
    const char* testo;
    const char* testo_dopo;  // nullptr: refused
    const char* codice;
  };
  const Caso casi[] = {
      {"A", "", "7/3/2015", "07-03-2015", "20150307"},
      {"A", "dd/mm/yyyy", "07-03-2015", "07/03/2015", "20150307"},
      {"A", "yyyy", "07-03-2015", "07-03-2015", "20150307"},  // not a day mask: the default
      {"A", "", "0", "0", "00000000"},
      {"A", "", "31/04/2015", nullptr, nullptr},
      {"B", "", "3-2015", "03-2015", "201503"},
      {"B", "", "03/2015", "03-2015", "201503"},
      {"B", "mm/yyyy", "03-2015", "03/2015", "201503"},
      {"B", "", "0", "0", "000000"},
      {"B", "", "13-2015", nullptr, nullptr},
      {"C", "", "2015-07", "2015-07", "201507"},
      {"C", "", "2015/54", "2015-54", "201554"},
      {"C", "", "2015-55", nullptr, nullptr},
      {"C", "", "2015/7x", nullptr, nullptr},
      {"C", "", "0", "0", "000000"},
      {"C", "", "0999-07", nullptr, nullptr},
      {"D", "", "2015-24", "2015-24", "201524"},
      {"D", "", "2015-25", nullptr, nullptr},
      {"E", "", "2015 37", "2015-37", "201537"},
      {"E", "", "2015-00", nullptr, nullptr},
      {"F", "", "2015-03-2", "2015-03-2", "2015032"},
      {"F", "", "2015-03-3", nullptr, nullptr},
      {"F", "", "0", "0", "0000000"},
      {"G", "", "2015.12.3", "2015-12-3", "2015123"},
      {"G", "", "2015-13-1", nullptr, nullptr},
      {"H", "", "2015-6", "2015-6", "20156"},
      {"H", "", "2015-7", nullptr, nullptr},
      {"I", "", "2015-5", nullptr, nullptr},
      {"J", "", "2015-3", "2015-3", "20153"},
      {"K", "", "2015-2", "2015-2", "20152"},
      {"K", "", "0", "0", "00000"},
      {"K", "", "2015-22", nullptr, nullptr},
  };
  for (const Caso& c : casi) {
    std::string testo = c.testo, codice = "prima", messaggio = "prima";
    const bool ok = Verifica_Periodo(testo, c.attr, c.formato, codice, messaggio);
    SCOPED_TRACE(std::string(c.attr) + " " + c.testo);
    if (c.testo_dopo) {
      EXPECT_TRUE(ok);
      EXPECT_EQ(testo, c.testo_dopo);
      EXPECT_EQ(codice, c.codice);
      EXPECT_EQ(messaggio, "");
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(testo, c.testo);
      EXPECT_NE(messaggio, "");
    }
  }
}

TEST_F(Periodi, Messages) {
  const std::pair<const char*, const char*> messaggi[] = {
      {"1", ".1."},
      {"2", ".2."},
      {"3", ".3."},
      {"A", "deve essere compilato come GG-MM-AAAA\r\ndove GG=Giorno, MM=Mese, AAAA=Anno"},
      {"B", "deve essere compilato come MM-AAAA\r\ndove MM=Mese, AAAA=Anno"},
      {"C", "deve essere compilato come AAAA-SS\r\ndove AAAA=Anno, SS=Settimana (01-54)"},
      {"D", "deve essere compilato come AAAA-QQ\r\ndove AAAA=Anno, QQ=Quindicina (01-24)"},
      {"E", "deve essere compilato come AAAA-DD\r\ndove AAAA=Anno, DD=Decade (01-37)"},
      {"F", "deve essere compilato come AAAA-MM-Q\r\ndove AAAA=Anno, M=Mese, Q=Quindicina (1-2)"},
      {"G", "deve essere compilato come AAAA-MM-D\r\ndove AAAA=Anno, M=Mese, D=Decade (1-3)"},
      {"H", "deve essere compilato come AAAA-B\r\ndove AAAA=Anno, B=Bimestre (1-6)"},
      {"I", "deve essere compilato come AAAA-T\r\ndove AAAA=Anno, T=Trimestre (1-4)"},
      {"J", "deve essere compilato come AAAA-Q\r\ndove AAAA=Anno, Q=Quadrimestre (1-3)"},
      {"K", "deve essere compilato come AAAA-S\r\ndove AAAA=Anno, S=Semestre (1-2)"},
      {"X", "tipo campo non previsto"},
      {"", "tipo campo non previsto"},
  };
  for (const auto& [attr, atteso] : messaggi) {
    std::string testo = "x';--", codice, messaggio;
    EXPECT_FALSE(Verifica_Periodo(testo, attr, "", codice, messaggio)) << attr;
    EXPECT_EQ(messaggio, atteso) << attr;
  }
}

TEST_F(Periodi, DateAndTimeAtFixedPositions) {
  vb::set_locale({',', '.'});  // the Italian separators: "12.30.15" is still three numbers
  const std::pair<const char*, bool> date[] = {
      {"29/02/2016", true}, {"29/02/2015", false}, {"31/04/2015", false}, {"30/04/2015", true},
      {"31/12/2999", true}, {"01/01/1980", true},  {"31/12/1979", false}, {"01/01/3000", false},
      {"1/1/2015", false},  {"  07-03-2015 ", true}, {"07x03y2015", true}, {"00/01/2015", false},
      {"01/13/2015", false}, {"", false},          {"ab/cd/efgh", false},
  };
  for (const auto& [testo, atteso] : date) EXPECT_EQ(Data_Valida(testo), atteso) << testo;
  const std::pair<const char*, bool> ore[] = {
      {"23:59:59", true}, {"00:00:00", true}, {"24:00:00", false}, {"12:60:00", false},
      {"12:00:60", false}, {"1:00:00", false}, {"12.30.15", true}, {"", false},
  };
  for (const auto& [testo, atteso] : ore) EXPECT_EQ(Ora_Valida(testo), atteso) << testo;
}

}  // namespace
}  // namespace kyx
