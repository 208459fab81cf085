// One hostile result written in all four formats and read back by independent readers: every
// file opens, holds every row, and each cell holds the screen's text after the substitution its
// format documents (text file: TAB, CR and LF as blanks; .xls: those and the double quote as
// blanks; web page: every control character as a blank, blanks as non-breaking spaces; .xlsx:
// the control characters below 0x20 that XML 1.0 cannot carry, all but TAB, LF and CR, as blanks).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "export/esporta_htm.h"
#include "export/esporta_txt.h"
#include "export/esporta_xls.h"
#include "export/esporta_xlsx.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/text/cp1252.h"
#include "tests/export/formati/ambiente_formati.h"

namespace kyx::test {
namespace {

// The texts no format may lose a row or a cell to (Windows-1252).
std::vector<std::string> Testi_Ostili() {
  std::string controlli = "a";
  for (int c = 1; c < 0x20; ++c) controlli += static_cast<char>(c);
  controlli += "\x7F" "z";
  std::string lungo;
  while (lungo.size() < 3000) lungo += "lungo \xE8 <&> \"" + std::to_string(lungo.size()) + "\" ";
  return {
      controlli,
      "riga 1\r\nriga 2\rriga 3\nriga 4",
      "\"citato\" e 'apice' \"",
      "<b>x</b> &amp; < > & <!-- -->",
      "tab\tin\tmezzo",
      lungo,
      "\xE0\xE8\xE9\xEC\xF2\xF9 \x80 \x9C",
      "",
      "=1+2",
      "'apice iniziale",
      "00123",
      "ABCDEFGHIJKL",  // as wide as its field where it is the widest
  };
}

// The screen's text of a text column: trimmed of blanks.
std::string Schermo(const std::string& t) {
  const size_t a = t.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return t.substr(a, t.find_last_not_of(' ') - a + 1);
}

std::string Sostituisci(std::string t, const std::function<bool(unsigned char)>& via) {
  for (char& c : t)
    if (via(static_cast<unsigned char>(c))) c = ' ';
  return t;
}
bool Controllo(unsigned char b) {
  const char32_t cp = text::code_point(b);
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}
std::string Per_Txt(const std::string& t) {
  return Sostituisci(t, [](unsigned char b) { return b == '\t' || b == '\r' || b == '\n'; });
}
std::string Per_Xls(const std::string& t) {
  return Sostituisci(t, [](unsigned char b) { return b == '\t' || b == '\r' || b == '\n' || b == '"'; });
}
std::string Per_Htm(const std::string& t) {
  std::string s = Sostituisci(t, Controllo);
  if (s.empty()) s = " ";
  for (char& c : s)
    if (c == ' ') c = '\xA0';
  return s;
}
std::string Per_Xlsx(const std::string& t) {
  return Sostituisci(t, [](unsigned char b) { return b < 0x20 && b != '\t' && b != '\r' && b != '\n'; });
}

// A cell as the reader script writes it.
std::string Codifica(const std::string& cp1252) {
  std::string out;
  char buf[16];
  for (char c : cp1252) {
    const char32_t cp = text::code_point(static_cast<unsigned char>(c));
    if (cp == '\\') {
      out += "\\\\";
    } else if (cp < 0x20 || (cp >= 0x7F && cp <= 0x9F)) {
      std::snprintf(buf, sizeof buf, "\\x%02x", static_cast<unsigned>(cp));
      out += buf;
    } else if (cp > 0x7E) {
      std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
      out += buf;
    } else {
      out += static_cast<char>(cp);
    }
  }
  return out;
}

class Formati : public AmbienteFormati {
 protected:
  // A result of detail rows whose cell (r, c), both from 0, holds Testo(r, c); every column a
  // text column as wide as its widest text.
  void Tabella(int righe, int colonne, const std::function<std::string(int, int)>& Testo) {
    auto rs = std::make_unique<data::StaticRecordset>();
    ASSERT_TRUE(rs->AppendField(data::TextField("c000", 12)).ok());
    for (int c = 0; c < colonne; ++c) {
      size_t larghezza = 1;
      for (int r = 0; r < righe; ++r) larghezza = std::max(larghezza, Testo(r, c).size());
      ASSERT_TRUE(rs->AppendField(data::TextField("c" + std::to_string(c + 1), static_cast<int>(larghezza))).ok());
    }
    ASSERT_TRUE(rs->OpenFabricated().ok());
    atteso.assign(static_cast<size_t>(righe), {});
    for (int r = 0; r < righe; ++r) {
      ASSERT_TRUE(rs->AddNew().ok());
      ASSERT_TRUE(rs->Set(0, data::Value(std::string("0000012"))).ok());
      for (int c = 0; c < colonne; ++c) {
        ASSERT_TRUE(rs->Set(c + 1, data::Value(Testo(r, c))).ok());
        atteso[static_cast<size_t>(r)].push_back(Schermo(Testo(r, c)));
      }
      ASSERT_TRUE(rs->Update().ok());
    }
    Rs_Griglia = std::move(rs);
    Numero_Record = righe;
    Modo_Griglia = 3;
    Numero_Colonne = colonne;
    Col_Visibile = {};
    Col_Tipo = {};
    Col_Allineamento = {};
    Col_Totale = {};
    for (int c = 1; c <= colonne; ++c) {
      const auto k = static_cast<size_t>(c);
      Col_Visibile[k] = 2;
      Col_Tipo[k] = 10;
      Col_Attributo[k] = "";
      Col_Formato[k] = "";
      Col_Larghezza[k] = 1500;
      Col_Intestazione[k] = "C" + std::to_string(c);
    }
    Righe_Intestazione = 1;
  }

  // The reader's rows of a file, each split into its cells.
  static std::vector<std::vector<std::string>> Celle(const std::string& tipo, const std::string& file) {
    std::vector<std::vector<std::string>> righe;
    for (const std::string& r : Righe_Lettore(std::string(KYX_LEGGI_CELLE) + " " + tipo, file)) {
      std::vector<std::string> celle;
      for (size_t a = 0;;) {
        const size_t b = r.find('\t', a);
        celle.push_back(r.substr(a, b == std::string::npos ? std::string::npos : b - a));
        if (b == std::string::npos) break;
        a = b + 1;
      }
      righe.push_back(std::move(celle));
    }
    return righe;
  }

  // The last rows of a sheet or page are the data rows, right after the heading row.
  void Verifica(const std::string& tipo, const std::vector<std::vector<std::string>>& letto,
                const std::function<std::string(const std::string&)>& Sostituzione) {
    SCOPED_TRACE(tipo);
    const size_t n = atteso.size(), colonne = atteso[0].size();
    ASSERT_GT(letto.size(), n);
    const std::vector<std::string>& testata = letto[letto.size() - n - 1];
    ASSERT_GE(testata.size(), colonne);
    EXPECT_EQ(testata[0], "C1") << "the heading right before the data rows";
    for (size_t r = 0; r < n; ++r) {
      const std::vector<std::string>& riga = letto[letto.size() - n + r];
      ASSERT_GE(riga.size(), colonne) << "row " << r;
      for (size_t c = 0; c < colonne; ++c) {
        // The sheets leave an empty cell out; the reader gives it as "".
        EXPECT_EQ(riga[c], Codifica(Sostituzione(atteso[r][c]))) << "row " << r << ", column " << c;
      }
      for (size_t c = colonne; c < riga.size(); ++c) EXPECT_EQ(riga[c], "") << "row " << r << ", column " << c;
    }
  }

  // The text file line by line: the data lines follow the dash line, cut at its columns.
  void Verifica_Txt(const std::string& file) {
    SCOPED_TRACE("txt");
    const std::vector<std::string> righe = Righe_File(dir.read(file));
    size_t trattini = 0;
    while (trattini < righe.size() && (righe[trattini].empty() || righe[trattini].find_first_not_of("- ") != std::string::npos))
      ++trattini;
    ASSERT_LT(trattini, righe.size());
    std::vector<std::pair<size_t, size_t>> colonne;
    const std::string& t = righe[trattini];
    for (size_t a = 0; a < t.size();) {
      const size_t b = std::min(t.find(' ', a), t.size());
      colonne.push_back({a, b - a});
      a = b + 1;
    }
    ASSERT_EQ(colonne.size(), atteso[0].size());
    ASSERT_EQ(righe.size(), trattini + 1 + atteso.size()) << "one line per row";
    for (size_t r = 0; r < atteso.size(); ++r) {
      const std::string& riga = righe[trattini + 1 + r];
      for (size_t c = 0; c < colonne.size(); ++c) {
        std::string cella = riga.substr(std::min(colonne[c].first, riga.size()), colonne[c].second);
        cella.erase(cella.find_last_not_of(' ') + 1);
        std::string voluto = Per_Txt(atteso[r][c]);
        voluto.erase(voluto.find_last_not_of(' ') + 1);
        EXPECT_EQ(Codifica(cella), Codifica(voluto)) << "row " << r << ", column " << c;
      }
    }
  }

  void Tutti_I_Formati(const std::string& nome) {
    std::string txt = dir.file(nome + ".txt"), htm = dir.file(nome + ".htm"), xls = dir.file(nome + ".xls"),
                xlsx = dir.file(nome + ".xlsx");
    Esporta_TXT(txt);
    Esporta_HTM(htm);
    Esporta_XLS(xls);
    Esporta_XLSX(xlsx);
    Verifica_Txt(nome + ".txt");
    Verifica("htm", Celle("htm", htm), Per_Htm);
    Verifica("xls", Celle("xls", xls), Per_Xls);
    Verifica("xlsx", Celle("xlsx", xlsx), Per_Xlsx);
    // LibreOffice opens both workbooks too; without it that reading is left out, and said so.
    if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
      std::cerr << "LibreOffice (soffice) is not installed: the workbooks are not opened with it\n";
      return;
    }
    // LibreOffice keeps a line break inside a cell as one LF, whether the file holds CR LF or CR.
    const auto Righe_LibreOffice = [](const std::string& t) {
      std::string r;
      for (size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '\r') r += t[i];
        else if (i + 1 >= t.size() || t[i + 1] != '\n') r += '\n';
      }
      return r;
    };
    Verifica("xls (LibreOffice)", Celle("lo-xls", xls), [&](const std::string& t) { return Righe_LibreOffice(Per_Xls(t)); });
    Verifica("xlsx (LibreOffice)", Celle("lo-xlsx", xlsx),
             [&](const std::string& t) { return Righe_LibreOffice(Per_Xlsx(t)); });
  }

  std::vector<std::vector<std::string>> atteso;
};

TEST_F(Formati, AHostileResultReadsBackWholeInEveryFormat) {
  const std::vector<std::string> t = Testi_Ostili();
  const int n = static_cast<int>(t.size());
  // Three columns, each text once in each: the rows shifted by one per column.
  ASSERT_NO_FATAL_FAILURE(Tabella(n, 3, [&](int r, int c) { return t[static_cast<size_t>((r + c) % n)]; }));
  Tutti_I_Formati("ostile");
  // One column.
  ASSERT_NO_FATAL_FAILURE(Tabella(n, 1, [&](int r, int) { return t[static_cast<size_t>(r)]; }));
  Tutti_I_Formati("una");
  // 252 columns, the most the Excel 97 sheet holds beside its code column.
  ASSERT_NO_FATAL_FAILURE(Tabella(3, 252, [&](int r, int c) {
    return c % 25 == 0 ? t[static_cast<size_t>((r + c / 25) % n)] : "r" + std::to_string(r) + "c" + std::to_string(c);
  }));
  Tutti_I_Formati("larga");
}

}  // namespace
}  // namespace kyx::test
