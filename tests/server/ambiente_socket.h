#pragma once
// A clean Socket module for each test: the generated code table loaded, short waits so nothing
// hangs, a scripted host that counts pumps and collects debug lines.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/stato.h"
#include "platform/host/scripted_host.h"
#include "server/socket.h"
#include "tests/server/tabella.h"
#include "tests/support/temp_dir.h"

namespace kyx::test {

using namespace std::chrono_literals;

class AmbienteSocket : public ::testing::Test {
 protected:
  void SetUp() override {
    sock::reset();
    Debug_Attivo = false;
    Attese.Attesa_Lunga = 200ms;
    Attese.Attesa_Breve = 20ms;
    Attese.Attesa_Risposta = 800ms;
    Percorso = Genera_Tabella(dir);
    ASSERT_FALSE(Percorso.empty()) << "the table generator did not run";
    std::string Descrizione;
    ASSERT_TRUE(Sock_Start(Descrizione, Percorso));
  }
  void TearDown() override {
    sock::reset();
    Debug_Attivo = false;
  }

  // The wire bytes of a Windows-1252 text, through the loaded table.
  static std::string Wire(const std::string& testo) {
    std::string out;
    for (char c : testo) out += static_cast<char>(Tabella_Inversa[static_cast<uint8_t>(c)]);
    return out;
  }
  // The first n bytes of the record buffer.
  static std::string Record(std::size_t n) {
    return std::string(reinterpret_cast<const char*>(Buffer_Record.data()), n);
  }

  TempDir dir;
  host::ScriptedHost host;
  std::string Percorso;
};

}  // namespace kyx::test
