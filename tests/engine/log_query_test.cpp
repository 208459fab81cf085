#include "engine/log_query.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/vb/vb.h"
#include "tests/common/ambiente.h"

namespace kyx::test {
namespace {

using LogQuery = Ambiente;

// The lines of KYX.LOG, split at CR LF (a missing file gives none).
std::vector<std::string> Righe(const std::string& percorso) {
  std::string testo;
  if (!files::read_file(percorso, testo)) return {};
  std::vector<std::string> righe;
  size_t inizio = 0;
  for (size_t p; (p = testo.find("\r\n", inizio)) != std::string::npos; inizio = p + 2)
    righe.push_back(testo.substr(inizio, p - inizio));
  EXPECT_EQ(inizio, testo.size()) << "every line ends with CR LF";
  return righe;
}

TEST_F(LogQuery, OnlyTheUpperCaseSwitchWritesEntries) {
  const std::string log = dir.path() + "/KYX.LOG";
  for (const char* riga : {"", "/log", "/Log /AUTO"}) {
    Riga_Comando = riga;
    Scrivi_Log("LOCALE", 1, "SELECT 1");
  }
  EXPECT_FALSE(files::file_exists(log));

  Riga_Comando = "/AUTO/LOG";
  Scrivi_Log("LOCALE", 0, "SELECT k_001 FROM KYX_D0_00F_SI1");
  Scrivi_Log("AS400", 7, "select k_002");
  Scrivi_Log("UNA_ETICHETTA", 1234, "x");
  Scrivi_Log("SQL", 999, "");
  const std::vector<std::string> righe = Righe(log);
  ASSERT_EQ(righe.size(), 5u);
  EXPECT_EQ(righe[0], "");  // number 0 opens a group with an empty line
  const std::string data = "##/##/#### ##:##:## - ";
  EXPECT_TRUE(vb::Like(righe[1], data + "LOCALE     - 000 - SELECT k_001 FROM KYX_D0_00F_SI1")) << righe[1];
  EXPECT_TRUE(vb::Like(righe[2], data + "AS400      - 007 - select k_002")) << righe[2];
  EXPECT_TRUE(vb::Like(righe[3], data + "UNA_ETICHE - 1234 - x")) << righe[3];
  EXPECT_TRUE(vb::Like(righe[4], data + "SQL        - 999 - ")) << righe[4];

  // The file is appended to, never rewritten.
  Scrivi_Log("SQL", 2, "ancora");
  EXPECT_EQ(Righe(log).size(), 6u);
}

TEST_F(LogQuery, AnUnwritableLogIsPassedOver) {
  Riga_Comando = "/LOG";
  Cartella_Programma = dir.path() + "/manca/";  // no such folder
  Scrivi_Log("LOCALE", 1, "SELECT 1");
  EXPECT_FALSE(files::file_exists(dir.path() + "/manca/KYX.LOG"));
}

}  // namespace
}  // namespace kyx::test
