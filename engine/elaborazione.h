#pragma once
// Esegui_Elaborazione: one elaboration of the current layout, from the checks of the structure
// tables to the result shown and saved into the history. It takes everything from the shared
// state (layout, levels, parameters, the user's filter, the connection) and leaves everything
// there (column model, result, display recordset, history number).
//
// Phases, in order:
//   A  checks and positions the structure tables, numbers the elaboration
//   B  the row levels (select-key and group-by texts)
//   C  the user's filter and the caption
//   D-G  the column model from the layout's elements, the default sort, code/description pairs
//   H  the layout request to the data server (when connected to it)
//   I  the list of queries
//   K..R  column-key queries, result table, query runs and merge, totals, finishing
// A layout, system or structure table that is missing ends the run at once and silently, before
// anything changes.
namespace kyx {

// True when the run went through to its end (its result opened for display and saved); false
// when it ended early: a missing layout, system or structure table, a refused request to the data
// server, or a result table that could not be read.
bool Esegui_Elaborazione();

}  // namespace kyx
