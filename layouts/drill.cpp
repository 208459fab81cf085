#include "layouts/drill.h"

#include "common/stato_db.h"
#include "engine/campi.h"
#include "platform/vb/vb.h"

namespace kyx::drill {
namespace {

using motore::Cerca;
using motore::Numero;
using motore::Testo;

constexpr const char* kForma_Aree = "A###[GKI]###L###*";
constexpr const char* kForma_Layout = "L###A###[GKI]###*";

int16_t Numero_A(const std::string& Chiave, long Inizio) {
  return static_cast<int16_t>(vb::Val(vb::Mid(Chiave, Inizio, 3)));
}

bool Sta_Su_Riga(const data::TableRecordset& Rs) { return !Rs.AfterLast() && !Rs.BeforeFirst(); }

}  // namespace

bool Nodo_Di_Layout(const std::string& Chiave) {
  const std::string k = vb::Trim(Chiave);
  return vb::Like(k, kForma_Layout) || vb::Like(k, kForma_Aree);
}

Numeri_Nodo Leggi_Nodo(const std::string& Chiave, int16_t Ordinamento) {
  Numeri_Nodo n;
  if (Ordinamento != 0) {
    n.Layout = Numero_A(Chiave, 2);
    n.Area = Numero_A(Chiave, 6);
    n.Chiave = Numero_A(Chiave, 10);
  } else {
    n.Area = Numero_A(Chiave, 2);
    n.Chiave = Numero_A(Chiave, 6);
    n.Layout = Numero_A(Chiave, 10);
  }
  return n;
}

bool Definizioni_Assenti() { return motore::Vuota(Rs_Lay_Drill.get()); }

std::vector<Voce> Definizioni(int16_t Layout, int16_t Chiave, int& Scelta) {
  std::vector<Voce> elenco;
  Scelta = -1;
  data::TableRecordset* Rs = Rs_Lay_Drill.get();
  if (!Cerca(Rs, {int64_t{Layout}, int64_t{Chiave}})) return elenco;
  while (Sta_Su_Riga(*Rs) && Numero(*Rs, "K_LAY") == Layout && Numero(*Rs, "K_KEY") == Chiave) {
    Voce v;
    v.Indice = static_cast<int16_t>(Numero(*Rs, "K_IDX"));
    v.Testo = vb::Format(int64_t{v.Indice}, "000") + " - " + Testo(*Rs, "DESC");
    v.Predefinita = Testo(*Rs, "ANNULL") == "D";
    elenco.push_back(v);
    if (elenco.size() == 1 || v.Predefinita) Scelta = static_cast<int>(elenco.size()) - 1;
    if (!Rs->MoveNext().ok()) break;
  }
  return elenco;
}

bool Cerca_Definizione(int16_t Layout, int16_t Chiave, int16_t Indice) {
  return Cerca(Rs_Lay_Drill.get(), {int64_t{Layout}, int64_t{Chiave}, int64_t{Indice}});
}

int32_t Chiave_Destinazione(int32_t Layout_Destinazione) {
  const data::TableRecordset& Drill = *Rs_Lay_Drill;
  int32_t Chiave = -1;
  data::TableRecordset* Elem = Rs_Lay_Elem.get();
  if (Cerca(Elem, {int64_t{Layout_Destinazione}})) {
    while (Sta_Su_Riga(*Elem) && Numero(*Elem, "LAY") == Layout_Destinazione) {
      const std::string Calc = Testo(*Elem, "CALC");
      const std::string n = vb::Mid(Calc, 3, 1);
      if (vb::Like(Calc, "[#][LR][1-9]([!][!][!])*")) {
        Chiave = static_cast<int32_t>(Numero(Drill, "KEYV" + n));
      } else if (vb::Like(Calc, "[#][C][1-9]([!][!][!])*")) {
        Chiave = static_cast<int32_t>(Numero(Drill, "KEYO" + n));
      }
      if (Chiave > 0) break;
      if (!Elem->MoveNext().ok()) break;
    }
  }
  for (int i = 1; i <= 9 && Chiave < 1; ++i) Chiave = static_cast<int32_t>(Numero(Drill, "KEYV" + std::to_string(i)));
  for (int i = 1; i <= 9 && Chiave < 1; ++i) Chiave = static_cast<int32_t>(Numero(Drill, "KEYO" + std::to_string(i)));
  return Chiave;
}

int Trova_Nodo(const std::vector<std::string>& Chiavi, int16_t Ordinamento, int32_t Layout, int32_t Chiave) {
  for (size_t i = 0; i < Chiavi.size(); ++i) {
    const std::string& K = Chiavi[i];
    const std::string k = vb::Trim(K);
    if (Ordinamento == 0 && vb::Like(k, kForma_Aree) && Numero_A(K, 6) == Chiave && Numero_A(K, 10) == Layout)
      return static_cast<int>(i);
    if (vb::Like(k, kForma_Layout) && Numero_A(K, 2) == Layout && Numero_A(K, 10) == Chiave)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace kyx::drill
