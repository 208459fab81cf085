#pragma once
// The last phase of an elaboration: once DATI holds every row, the subtotals are summed again,
// the display recordset Rs_Griglia is opened on DATI and disconnected, the column model is
// completed (headings, computation levels), the derived columns are computed around the final
// display sort, hidden levels are dropped, the user's column settings of the same layout are
// applied again, the columns are fitted, the elaboration is saved into the history and the main
// window is brought up to date.
namespace kyx {

// Phase R. Every step runs, in its order, whatever the one before it did. True when the display
// recordset was opened on the result (also an empty one); false when DATI could not be read.
bool Termina_Elaborazione();

}  // namespace kyx
