#pragma once
// The last phase of an elaboration, once DATI holds every row with its totals: the subtotals
// re-summed, the display recordset opened, the headings and computation levels completed, the
// remembered column settings applied, the derived columns computed around the display sort, the
// hidden levels dropped, the widths fitted, the history entry saved and the main window brought
// up to date. The order matters: the headings and computation levels must be known before the
// derived columns are computed, and the display sort must be final before the order-dependent
// columns are.
namespace kyx {

void Termina_Elaborazione();

}  // namespace kyx
