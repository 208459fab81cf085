#include "layouts/drill_livelli.h"

#include "common/formatta_valore.h"
#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/campi.h"
#include "engine/stato_motore.h"
#include "layouts/stato_layout.h"
#include "platform/vb/vb.h"

namespace kyx::livelli {
namespace {

using motore::Cerca;
using motore::Numero;
using motore::Testo;

bool Sta_Su_Riga(const data::TableRecordset& Rs) { return !Rs.AfterLast() && !Rs.BeforeFirst(); }

std::string Sezione_Profilo() { return Numero_Cifre(Profilo_Corrente, 3); }

}  // namespace

Livello Livello_Calc(const std::string& Calc) {
  struct Forma {
    const char* Modello;
    Origine Da;
    bool Colonna;
  };
  static const Forma Forme[] = {
      {"[#][LR][1-9]([?][?][?])*", Origine::Scelta, false},
      {"[#][LR][1-9]([!][!][!])*", Origine::Drill, false},
      {"[#][LR][1-9](###)*", Origine::Fissa, false},
      {"[#]C[1-9]([?][?][?])[#]+V###[#]*", Origine::Scelta, true},
      {"[#]C[1-9]([!][!][!])[#]+V###[#]*", Origine::Drill, true},
      {"[#]C[1-9](###)[#]+V###[#]*", Origine::Fissa, true},
  };
  Livello l;
  for (const Forma& f : Forme) {
    if (!vb::Like(Calc, f.Modello)) continue;
    l.Da = f.Da;
    l.Colonna = f.Colonna;
    l.n = static_cast<int>(vb::Val(vb::Mid(Calc, 3, 1)));
    if (f.Da == Origine::Fissa) l.Chiave = static_cast<int16_t>(vb::Val(vb::Mid(Calc, 5, 3)));
    break;
  }
  return l;
}

std::string Chiave_Parametro(int16_t Layout, int i) {
  return "Par L" + Numero_Cifre(Layout, 3) + " " + std::to_string(i);
}

Preparazione Prepara(uint8_t Modo) {
  Preparazione P;
  for (int i = 0; i < 9; ++i) {
    if (Liv_Riga_Chiave[i] >= 0) Liv_Riga_Precedente[i] = Liv_Riga_Chiave[i];
    if (Liv_Colonna_Chiave[i] >= 0) Liv_Colonna_Precedente[i] = Liv_Colonna_Chiave[i];
    Liv_Riga_Chiave[i] = Liv_Colonna_Chiave[i] = -1;
    Liv_Riga_Testo[i].clear();
    Liv_Colonna_Testo[i].clear();
    Liv_Attributo[i].clear();
    Liv_Kde[i] = 0;
    Liv_Formato[i].clear();
  }

  // Parameters: the labels of the layout, the values last entered for it.
  if (!Cerca(Rs_Layout.get(), {int64_t{Layout_Corrente}})) return P;
  P.Trovato = true;
  for (int i = 1; i <= 9; ++i) {
    Parametri_Descrizione[i - 1] = vb::Trim(Testo(*Rs_Layout, "PARM_" + std::to_string(i)));
    P.Valore[i] = vb::Trim(Leggi_Ini(Sezione_Profilo(), Chiave_Parametro(Layout_Corrente, i), ""));
  }

  // Levels: the first level taken from the drill gets the key of the layout node; any later one
  // starts unchosen.
  bool Drill_Visto = false;
  data::TableRecordset* Elem = Rs_Lay_Elem.get();
  if (!motore::Vuota(Elem) && Cerca(Elem, {int64_t{Layout_Corrente}})) {
    while (Sta_Su_Riga(*Elem) && Numero(*Elem, "LAY") == Layout_Corrente) {
      const Livello l = Livello_Calc(Testo(*Elem, "CALC"));
      if (l.Da != Origine::Nessuna) {
        auto& Chiavi = l.Colonna ? Liv_Colonna_Chiave : Liv_Riga_Chiave;
        auto& Testi = l.Colonna ? Liv_Colonna_Testo : Liv_Riga_Testo;
        const int i = l.n - 1;
        if (l.Da == Origine::Scelta) {
          Chiavi[i] = 0;
        } else {
          Chiavi[i] = l.Da == Origine::Fissa ? l.Chiave : (Drill_Visto ? int16_t{0} : Chiave_Corrente);
          if (l.Da == Origine::Drill) Drill_Visto = true;
          Testi[i] = Leggi_Descrizione(Sistema_Informativo, Chiavi[i]);
        }
      }
      if (!Elem->MoveNext().ok()) break;
    }
  }

  // Proposals for the levels still to choose, and the parameters a drill definition brings.
  const bool Da_Drill = (Modo == 3 || Modo == 4) && Rs_Lay_Drill && Sta_Su_Riga(*Rs_Lay_Drill);
  for (int i = 1; i <= 9; ++i) {
    if (Modo == 3 || Modo == 4) {
      if (!Da_Drill) continue;
      const std::string n = std::to_string(i);
      if (Liv_Riga_Chiave[i - 1] != -1) P.Proposta_Riga[i] = static_cast<int16_t>(Numero(*Rs_Lay_Drill, "KEYV" + n));
      if (Liv_Colonna_Chiave[i - 1] != -1)
        P.Proposta_Colonna[i] = static_cast<int16_t>(Numero(*Rs_Lay_Drill, "KEYO" + n));
      const std::string Valore = vb::Trim(Testo(*Rs_Lay_Drill, "PRM" + n));
      if (!Valore.empty()) P.Valore[i] = Valore;
    } else {
      P.Proposta_Riga[i] = Liv_Riga_Precedente[i - 1];
      P.Proposta_Colonna[i] = Liv_Colonna_Precedente[i - 1];
    }
  }

  // What is left to settle: a level to choose, a key repeated further down, a parameter to fill.
  for (int i = 0; i < 9; ++i) {
    if (Liv_Riga_Chiave[i] == 0) P.Da_Scegliere_Righe = true;
    if (Liv_Colonna_Chiave[i] == 0) P.Da_Scegliere_Colonne = true;
    for (int j = i + 1; j < 9; ++j) {
      if (Liv_Riga_Chiave[j] > 0 && Liv_Riga_Chiave[j] == Liv_Riga_Chiave[i]) P.Da_Scegliere_Righe = true;
      if (Liv_Colonna_Chiave[j] > 0 && Liv_Colonna_Chiave[j] == Liv_Colonna_Chiave[i]) P.Da_Scegliere_Colonne = true;
    }
    const bool Etichetta = !vb::Trim(Parametri_Descrizione[i]).empty();
    if (Etichetta && (vb::Trim(P.Valore[i + 1]).empty() || Modo != 3)) {
      P.Mostra_Parametro[i + 1] = true;
      P.Da_Compilare_Parametri = true;
    }
  }
  return P;
}

Verifica Verifica_Livelli() {
  Verifica v;
  int Ultima_Riga = 0, Ultima_Colonna = 0;
  for (int i = 1; i <= 9; ++i) {
    const int16_t r = Liv_Riga_Chiave[i - 1];
    const int16_t c = Liv_Colonna_Chiave[i - 1];
    if (r > 0) {
      if (i > Ultima_Riga + 1) v.Abilita = false;
      Ultima_Riga = i;
    }
    if (c > 0) {
      if (i > Ultima_Colonna + 1) v.Abilita = false;
      Ultima_Colonna = i;
    }
    for (int j = i + 1; j <= 9; ++j) {
      if (r > 0 && Liv_Riga_Chiave[j - 1] == r) {
        v.Riga_Rossa[i - 1] = v.Riga_Rossa[j - 1] = true;
        v.Abilita = false;
      }
      if (c > 0 && Liv_Colonna_Chiave[j - 1] == c) {
        v.Colonna_Rossa[i - 1] = v.Colonna_Rossa[j - 1] = true;
        v.Abilita = false;
      }
    }
    for (int j = 1; j <= 9; ++j) {
      if (c >= 1 && c == Liv_Riga_Chiave[j - 1] && c == Sinf_Idx_Key) {
        v.Colonna_Rossa[i - 1] = v.Riga_Rossa[j - 1] = true;
        v.Abilita = false;
      }
    }
  }
  return v;
}

void Salva_Parametri(const std::array<std::string, 10>& Valore) {
  for (int i = 1; i <= 9; ++i) {
    Parametri_Valore[i - 1] = vb::Trim(Valore[i]);
    Scrivi_Ini(Sezione_Profilo(), Chiave_Parametro(Layout_Corrente, i), Parametri_Valore[i - 1]);
  }
}

}  // namespace kyx::livelli
