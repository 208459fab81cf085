#pragma once
// The rows of a query of the definitions database about the current information system: the
// system's code is bound to the query's only parameter, never spliced into its text, so that any
// code (quotes included) reads its own rows. Used by the two trees of the main window.
#include <memory>
#include <string>

#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/connection.h"

namespace kyx {

// Runs Sql with Sistema_Informativo bound to its "?" and hands each row to Riga (a
// data::Statement whose columns are read by position). Nothing when the database is not open or
// the query fails.
template <class F>
void Per_Ogni_Riga_Del_Sistema(const std::string& Sql, F&& Riga) {
  if (!Cn_MDB0 || !Cn_MDB0->IsOpen()) return;
  std::unique_ptr<data::Statement> st;
  if (!Cn_MDB0->Prepare(Sql, &st).ok()) return;
  if (!st->Bind(1, data::Value(Sistema_Informativo)).ok()) return;
  bool riga = false;
  while (st->Step(&riga).ok() && riga) Riga(*st);
  st->Reset();
}

}  // namespace kyx
