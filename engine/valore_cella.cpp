#include "engine/valore_cella.h"

#include <string_view>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/sostituisci_variabili.h"
#include "common/stato.h"
#include "engine/stato_motore.h"
#include "engine/x_evaluate.h"
#include "platform/data/recordset.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

size_t C(int n) { return static_cast<size_t>(n); }

bool Inizia(const std::string& testo, size_t lunghezza, std::string_view modello) {
  return vb::Like(vb::Left(testo, static_cast<long>(lunghezza)), modello);
}

int Numero(const std::string& testo, long da, long quanti) {
  return static_cast<int>(vb::Val(vb::Mid(testo, da, quanti)));
}

std::string Cella(const data::Recordset& Rs, int colonna) {
  if (colonna < 0 || colonna >= Rs.FieldCount()) return "";
  return Rs.Field(colonna).AsText();
}

// The tokens of data, text and derived columns: their cells come from elsewhere.
bool Colonna_Dati(const std::string& t) {
  for (std::string_view m : {"[#]@*", "[#]NR(###)*", "[#]C[1-9](?\?\?)[#]*", "[#]P[1-9]C###[#]*", "[#]PC###[#]*",
                             "[#]KC###[#]*", "[#]+V###[#]*"})
    if (vb::Like(t, m)) return true;
  return false;
}

// The formatted code of row level n for this row (its code is in the column the label describes).
std::string Codice_Livello(int colonna, int n, int modo, const data::Recordset& Rs) {
  return Formatta_Valore(Liv_Riga_Chiave[C(n - 1)], Cella(Rs, Col_Descrizione[C(colonna)]), modo, -1, "");
}

void Formula(int colonna, const std::string& formula, const std::string& c000, data::Recordset& Rs) {
  const std::string tipo = vb::Mid(c000, 7, 1);
  if (tipo != "2" && Col_Totale[C(colonna)] != 2) return;  // subtotal and total rows keep their sums
  Valori_Riga.fill(0);
  for (int i = 1; i <= Numero_Colonne && i < Rs.FieldCount(); ++i) {
    const data::Value& v = Rs.Field(i);
    if (Col_Tipo[C(i)] == 0 && !v.is_null()) Valori_Riga[C(i)] = v.AsDouble();
  }
  // The level whose subtotals the s references read; rows without a level digit read level 0.
  Livello_Subtotale = 0;
  const std::string cifra = vb::Mid(c000, 8, 1);
  if (vb::Like(cifra, "[1-9]")) {
    const int d = cifra[0] - '0';
    if (tipo == "1" || tipo == "2") Livello_Subtotale = d - 1;
    else if (tipo == "3") Livello_Subtotale = 9 - d;
  }
  // A value the cell cannot take (a text column too narrow for it) leaves 0 there, and the
  // pass goes on with the next cell.
  if (!Rs.Set(colonna, data::Value(Evaluate(Sostituisci_Variabili(formula)))).ok()) (void)Rs.Set(colonna, data::Value(0.0));
}

}  // namespace

void Valore_Cella(int16_t& Colonna, std::string& Formula_, data::Recordset& Rs) {
  if (Colonna < 0 || Colonna > 255 || Colonna >= Rs.FieldCount()) return;
  const int colonna = Colonna;
  const std::string& t = Formula_;
  const std::string c000 = Cella(Rs, 0);
  const std::string tipo = vb::Mid(c000, 7, 1);
  const bool visibile = Col_Visibile[C(colonna)] != 0;

  if (Inizia(t, 8, "[#]D[RDE](###)") || Inizia(t, 4, "[#][LR][1-9](")) return;

  if (Inizia(t, 7, "[#]L[1-9]<##>")) {
    if (!visibile) return;
    const int n = Numero(t, 3, 1), modo = Numero(t, 5, 2);
    if (tipo == "4") {
      if (n == 1 && modo == 1) (void)Rs.Set(colonna, data::Value("Totale"));
    } else if (tipo == "3") {
      // A subtotal shows the codes of the levels it belongs to, not those it totals over.
      if (Numero_Livelli - Numero(c000, 8, 1) >= n) (void)Rs.Set(colonna, data::Value(Codice_Livello(colonna, n, modo, Rs)));
    } else if (tipo == "2") {
      (void)Rs.Set(colonna, data::Value(Codice_Livello(colonna, n, modo, Rs)));
    }
    return;
  }

  if (Inizia(t, 7, "[#]R1<##>")) {
    if (!visibile) return;
    const int modo = Numero(t, 5, 2);
    if (tipo == "4") {
      if (modo == 1) (void)Rs.Set(colonna, data::Value("Totale generale"));
      return;
    }
    std::string testo;
    if (vb::Mid(c000, 9, 3) != "999") {
      if (tipo == "3" && modo != 1) return;
      // The code is the outline column's (the column this one describes); the level of the row
      // key picks the key whose description is shown.
      const int16_t codice = Col_Descrizione[C(colonna)];
      testo = Formatta_Valore(0, Cella(Rs, codice >= 0 ? codice : colonna), modo, codice, c000);
      if (tipo == "3") testo = "Totale " + testo;
    } else {
      // A detail without a level key of its own: the codes of its "D" description levels.
      if (modo == 1) {
        for (int m = 1; m <= Livello_Contatore_1 && m <= 256; ++m)
          if (Col_Lavoro_3[C(m - 1)] == "D") testo += Cella(Rs, Col_Lavoro_2[C(m - 1)]) + " ";
        testo = vb::Left(testo, 40);
      }
      if (testo.empty()) testo = " ";
    }
    (void)Rs.Set(colonna, data::Value(testo));
    return;
  }

  if (Inizia(t, 4, "[#]R1L")) {
    if (tipo == "4") return;
    int d = Numero(c000, 8, 1);
    if (tipo == "3") d = 10 - d;
    // Keys without a level digit (or with digit 0) name no level: nothing to indent.
    if (d < 1 || d > 9) return;
    const std::string nome = vb::Mid(c000, 9, 3) == "999" ? "" : Liv_Riga_Testo[C(d - 1)];
    (void)Rs.Set(colonna, data::Value(Nomi_Livello[C(d - 1)] + nome));
    return;
  }

  if (Inizia(t, 10, "[#]DC###<##>")) {
    if (!visibile || tipo != "2") return;
    const int r = Numero(t, 4, 3);
    if (r > 255 || !Inizia(Col_Calcolo[C(r)], 8, "[#]D[RDE](###)")) return;
    const auto chiave = static_cast<int16_t>(Numero(Col_Calcolo[C(r)], 5, 3));
    (void)Rs.Set(colonna, data::Value(Formatta_Valore(chiave, Cella(Rs, r), Numero(t, 8, 2), -1, "")));
    return;
  }

  if (Colonna_Dati(t)) return;
  Formula(colonna, t, c000, Rs);
}

}  // namespace kyx
