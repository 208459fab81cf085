#pragma once
// The elaboration's conversation with the data server ("AS400" mode), on socket 1:
//   - the layout record: "l04462" and 4462 characters telling the server the layout, its levels,
//     parameters and the user's filter, answered by a bare head (status "0" accepts it);
//   - each query: "h", its length in five digits and the text; the reply comes in blocks, each a
//     six-byte head (status, payload length) and a run of fixed-width records; status "1" marks
//     the last block, "2" a query the server failed, and "i00000" asks for the next block;
//   - Traduci_Chiavi_Server, which rewrites a query of another information system into that
//     system's key numbers.
// Failures show the numbered "Errore 0NN - Richiesta_ESEGUI" messages (critical icon, program
// title). A reply that stops half-way leaves the link in an unknown place: socket 1 is closed,
// so that no later read takes the rest of this reply for its own.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kyx::data {
class Recordset;
}

namespace kyx {

// The layout record: 4462 characters, blank-filled.
//   1 "L"   2 layout (5 digits)   7 + 5(i-1) row level i   52 + 5(i-1) column level i
//   97 + 30(i-1) parameter i (30)   367 the user's whole filter (4096)
std::string Record_Layout();

// Phase H of the run: sends the layout record and reads the server's answer. False (after
// "Errore 021" when no answer came, "Errore 022" when it was refused) ends the elaboration.
bool Richiesta_Layout_Server();

// Where each item of a result record lies: Larghezze(j) the width of text item j (0 = a packed
// number of nine bytes), Posizioni(j) its 0-based start; Posizioni(Voci) is the record length.
struct Tracciato_Record {
  std::vector<int32_t> Larghezze;
  std::vector<int32_t> Posizioni;
  int16_t Voci = 0;
  // The record length; 0 when the layout is not usable (no items, inconsistent offsets).
  int32_t Lunghezza() const;
};

// How one query's reply ended.
enum class Esito_Risposta {
  Completa,         // the last block (status "1") or a length of 0
  Testa_Mancante,   // a block head did not come, or its length is no number
  Errore_Server,    // status "2" (the server failed the query) or a status the exchange does not
                    // know: never taken for an empty result
  Blocco_Mancante,  // a block's payload did not come whole
  Numero_Errato,    // a number of a record is no packed number: the block is refused whole
};

// Set when a reply of the server failed during the run (a lost link, a status the exchange does
// not know, a record that is not a number): the run then ends without a result, so that nothing
// of such a reply reaches the history. The server's own failure of a query (status "2") ends only
// that query, as it always did. Esegui_Elaborazione clears it when a run starts.
extern bool Risposta_Server_Fallita;

// The reading of a reply, apart from where its bytes come from: Leggi puts the next n bytes into
// the record buffer (false when they do not come: 1..8192 only), Continua asks for the next
// block, Scarta throws away the n payload bytes of a failed query. Each record of each block
// becomes one new row of Destinazione, item j in field j (texts through the wire table, numbers
// as Double). The rows read before a failure stay.
struct Canale_Risposta {
  std::function<bool(int32_t)> Leggi;
  std::function<void()> Continua;
  std::function<bool(int32_t)> Scarta;
};
Esito_Risposta Leggi_Risposta(const Tracciato_Record& T, const Canale_Risposta& Canale, data::Recordset& Destinazione);

// The same reading on bytes held in memory, as if they came from the socket (no request is
// sent; the reply ends where the bytes end).
Esito_Risposta Decodifica_Risposta(std::string_view Byte, const Tracciato_Record& T, data::Recordset& Destinazione);

// The codes of a column key: the value list Sql (already naming the server table) sent, its
// records of Lunghezza characters read into a new in-memory Rs_Lavoro (field "x000"), with
// "Errore 023" to "Errore 025"; the codes that arrived are returned in order.
std::vector<std::string> Valori_Chiave_Server(const std::string& Sql, int32_t Lunghezza);

// A result query Sql (already naming the server table) sent and its records read into Dati2,
// with "Errore 026" to "Errore 028". Dati2 is left on its first row.
void Righe_Server(const std::string& Sql, const Tracciato_Record& T, data::Recordset& Dati2);

// The query rewritten for the key numbers of information system Sistema through CHIAVI_EXT:
// mapped keys take the other system's number; an unmapped key in the select list becomes a
// filler literal, its condition leaves the WHERE part and it leaves the GROUP BY. "" when the
// server cannot run it: CHIAVI_EXT is empty, or the levels the other system lacks do not suit
// the layout's server type (Tipo_DB_Server). In type "2" Livello receives the number of the
// last level the system lacks before those it has. Sistema "" gives the text unchanged.
std::string Traduci_Chiavi_Server(const std::string& Sql, const std::string& Sistema, int32_t& Livello);

}  // namespace kyx
