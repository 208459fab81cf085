#pragma once
// What the levels dialog settles before an elaboration, without widgets: the levels a layout
// declares in the CALC texts of its elements (fixed, chosen in the dialog, or taken from a
// drill-down), its parameters with the values last entered for them, the keys proposed for the
// levels still to choose, and the check of the choices that enables "Elabora".
//
// The shared level arrays (Liv_Riga_Chiave, Liv_Colonna_Chiave: -1 no such level, 0 still to
// choose, > 0 the key) and the parameter labels are written here; the dialog shows the rest.
#include <array>
#include <cstdint>
#include <string>

namespace kyx::livelli {

// Where a level's key comes from, as the three characters in the parentheses of its CALC token
// say: "???" chosen in the dialog, "!!!" taken from the drill, three digits a fixed key.
enum class Origine { Nessuna, Scelta, Drill, Fissa };

struct Livello {
  Origine Da = Origine::Nessuna;
  bool Colonna = false;  // a column level ("#C"), else a row level ("#L" or "#R")
  int n = 0;             // level number 1 .. 9
  int16_t Chiave = 0;    // the fixed key
};

// The level a CALC text declares (the first matching form); Da = Nessuna when none.
Livello Livello_Calc(const std::string& Calc);

// The settings key of parameter i (1 .. 9) of a layout: "Par L012 3" for layout 12, parameter 3.
std::string Chiave_Parametro(int16_t Layout, int i);

// The opening modes: 0 from the structure tree, 3 and 4 from a drill-down (mouse modes).
struct Preparazione {
  bool Trovato = false;                  // the layout is in LAYOUT
  std::array<std::string, 10> Valore;    // parameter fields 1 .. 9 (index 0 unused)
  std::array<bool, 10> Mostra_Parametro{};  // the parameter's label and field are shown
  std::array<int16_t, 10> Proposta_Riga{}, Proposta_Colonna{};  // proposed keys 1 .. 9
  bool Da_Scegliere_Righe = false;
  bool Da_Scegliere_Colonne = false;
  bool Da_Compilare_Parametri = false;
};

// Resets the levels (the keys in use become the previous ones), reads the parameters of
// Layout_Corrente with their stored values, walks the layout's elements for its levels, takes the
// proposals (from the drill definition Rs_Lay_Drill stands on in modes 3 and 4, else the previous
// choices) and says what is left to settle. Trovato is false when the layout is not in LAYOUT:
// the levels are reset and nothing else is read.
Preparazione Prepara(uint8_t Modo);

// The check behind "Elabora": levels filled from level 1 without gaps, no key twice among the
// row levels or among the column levels, and the system's index key not on both a row and a
// column level. The levels in conflict are marked (index level - 1).
struct Verifica {
  bool Abilita = true;
  std::array<bool, 9> Riga_Rossa{}, Colonna_Rossa{};
};
Verifica Verifica_Livelli();

// The parameter values handed to the engine (trimmed) and stored under the layout's parameter
// keys in the profile's section of the settings file.
void Salva_Parametri(const std::array<std::string, 10>& Valore);

}  // namespace kyx::livelli
