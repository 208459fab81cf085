#pragma once
// A clean program for one test: the shared state reset, a program folder of its own ($KYX_HOME
// and Cartella_Programma pointing at a scratch folder), English number separators and a scripted
// host that fails the test on any message box it was not told to expect.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "common/agganci.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/scripted_host.h"
#include "platform/vb/vb.h"
#include "tests/support/temp_dir.h"

namespace kyx::test {

class Ambiente : public ::testing::Test {
 protected:
  Ambiente() {
    stato::reset();
    modello::reset();
    agganci::reset();
    setenv("KYX_HOME", dir.path().c_str(), 1);
    vb::set_locale({'.', ','});
    Cartella_Programma = dir.path() + "/";
    File_Ini = Cartella_Programma + "KYX.INI";
    File_Istanze = Cartella_Programma + "KYX.DAT";
    Separatore_Decimale = ".";
    Titolo_Programma = "Q-KRE";
  }
  ~Ambiente() override {
    unsetenv("KYX_HOME");
    stato::reset();
    modello::reset();
    agganci::reset();
  }

  // Writes KYX.INI from lines joined with CR LF, as the program's files are.
  void Ini(const std::string& righe) const { dir.write("KYX.INI", Crlf(righe)); }

  static std::string Crlf(const std::string& righe) {
    std::string out;
    for (char c : righe) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  TempDir dir;
  host::ScriptedHost host;
};

}  // namespace kyx::test
