#pragma once
// Our real data server (tools/dataserver) on 127.0.0.1, serving the generated small sample from
// its SQLite file in the test's folder, with the profile set to log in to it as the sample user.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/stato.h"
#include "platform/text/cp1252.h"
#include "tests/support/temp_dir.h"
#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace kyx::test {

// Generates the sample into `dir`, starts the server on it and points the profile at it.
inline std::unique_ptr<dataserver::DataServer> Avvia_Server_Dati(const TempDir& dir) {
  namespace ds = dataserver;
  const auto esito = ds::GenerateSample(dir.file("server.db"), ds::SizeOptions(ds::SampleSize::kSmall, 1));
  EXPECT_TRUE(esito.ok());
  ds::ServerOptions o;
  o.database = dir.file("server.db");
  o.code_table = dir.file("KYX.Tbl");
  o.clock = [] { return std::string("20240701120000"); };
  auto server = std::make_unique<ds::DataServer>(o);
  std::string errore;
  EXPECT_TRUE(server->Start(&errore)) << errore;
  Server_Porta = std::to_string(server->port());
  Nome_Utente = ds::sample::kUser;
  Password_Utente = text::fixed(ds::sample::kPassword, 10, '^');
  Sistema_Informativo = ds::sample::kSales;
  return server;
}

}  // namespace kyx::test
