#include "layouts/file_layout.h"

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "engine/stato_motore.h"
#include "layouts/stato_layout.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

std::string Cifre(int64_t v, int cifre) { return Numero_Cifre(v, cifre); }
std::string N(int64_t v) { return Cifre(v, 1); }  // mask "#0"

// The implicit conversion of a text to a numeric target (Byte, Integer, Long): a number in the
// target's range, rounded half to even. An empty value gives nothing and the target stays; any
// other text that is not such a number (garbage, a number too large even for a Double, one out of
// the target's range) is an error: the reader calls the file damaged rather than guess.
std::optional<int64_t> Numero(std::string_view testo, int64_t minimo, int64_t massimo, bool& illeggibile) {
  if (vb::Trim(testo).empty()) return std::nullopt;
  double d = 0;
  try {
    if (vb::IsNumeric(testo)) d = vb::RoundHalfEven(vb::CDbl(testo));
    else illeggibile = true;
  } catch (const vb::VbError&) {
    illeggibile = true;
  }
  if (!illeggibile && (!std::isfinite(d) || d < static_cast<double>(minimo) || d > static_cast<double>(massimo)))
    illeggibile = true;
  if (illeggibile) return std::nullopt;
  return static_cast<int64_t>(d);
}

// Numbers as the reader takes them, remembering the first key whose value did not read.
struct Lettura {
  std::string Chiave_Illeggibile;

  template <typename T>
  std::optional<T> Leggi(std::string_view chiave, std::string_view testo) {
    bool illeggibile = false;
    const auto v = Numero(testo, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), illeggibile);
    if (illeggibile && Chiave_Illeggibile.empty()) Chiave_Illeggibile = std::string(chiave.substr(0, 9));
    if (!v) return std::nullopt;
    return static_cast<T>(*v);
  }
  template <typename T>
  void Metti(std::string_view chiave, std::string_view testo, T& destinazione) {
    if (auto v = Leggi<T>(chiave, testo)) destinazione = *v;
  }
  template <typename T>
  void Metti(std::string_view chiave, std::string_view testo, std::optional<T>& destinazione) {
    if (auto v = Leggi<T>(chiave, testo)) destinazione = *v;
  }
};

void Campo_Colonna(Lettura& L, std::string_view chiave, Colonna_Layout& c, std::string_view campo, const std::string& v) {
  if (campo == "Hea=") c.Intestazione = v;
  else if (campo == "Ali=") L.Metti(chiave, v, c.Allineamento);
  else if (campo == "Dim=") L.Metti(chiave, v, c.Larghezza);
  else if (campo == "DSt=") L.Metti(chiave, v, c.Larghezza_Stampa);
  else if (campo == "Vis=") L.Metti(chiave, v, c.Visibile);
  else if (campo == "Ord=") L.Metti(chiave, v, c.Ordine);
  else if (campo == "Key=") L.Metti(chiave, v, c.Chiave);
  else if (campo == "Des=") L.Metti(chiave, v, c.Descrizione);
  else if (campo == "Cal=") c.Calcolo = v;
  else if (campo == "Def=") L.Metti(chiave, v, c.Tipo);
  else if (campo == "VCK=") L.Metti(chiave, v, c.VCK);
  else if (campo == "VCC=") c.VCC = v;
  else if (campo == "Fmt=") c.Formato = v;
  else if (campo == "Atr=") c.Attributo = v;
  else if (campo == "Kde=") L.Metti(chiave, v, c.Kde);
  else if (campo == "VTo=") {
    L.Metti(chiave, v, c.Totale);
    if (c.Totale == 0) c.Totale = 2;  // files of earlier versions stored the grand total as 0
  } else if (campo == "Sin=") c.Sistema = v;
  else if (campo == "Whe=") c.Where = v;
  else if (campo == "WhI=") {
    for (size_t j = 0; j < 64; ++j) c.Where_Flag[j] = j < v.size() && v[j] == 'T';
  } else if (campo == "Pre=") L.Metti(chiave, v, c.Precedenza);
}

// The state of the filter group being read: "U=" comes before "V=" and marks a range.
struct Gruppo_Filtro {
  int16_t Chiave = 0;
  uint8_t Operatore = 0;
  std::string Valore_2;
  bool Con_Secondo = false;
};

void Valore_Filtro(const Gruppo_Filtro& g, const std::string& v, std::vector<Filtro_Salvato>& filtri) {
  // A group without its operator line is damaged: it gives no filter value.
  if (g.Operatore == 0) return;
  if (g.Con_Secondo) {
    filtri.push_back({g.Chiave, v, g.Valore_2, g.Operatore});
    return;
  }
  std::vector<std::string> elenco;
  size_t inizio = 0;
  for (;;) {
    const size_t virgola = v.find(',', inizio);
    elenco.push_back(v.substr(inizio, virgola == std::string::npos ? std::string::npos : virgola - inizio));
    if (virgola == std::string::npos) break;
    inizio = virgola + 1;
  }
  if (g.Operatore != 3) {
    for (const std::string& e : elenco) filtri.push_back({g.Chiave, e, "", g.Operatore});
  } else if (elenco.size() == 2) {
    filtri.push_back({g.Chiave, elenco[0], elenco[1], g.Operatore});
  }
}

}  // namespace

bool Leggi_Contenuto_Layout(std::string_view Byte, Contenuto_Layout& C, std::string& Messaggio) {
  C = Contenuto_Layout{};
  if (Byte.find('\0') != std::string_view::npos) {
    Messaggio = "il file contiene dati non di testo";
    return false;
  }
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < Byte.size()) {
    size_t fine = Byte.find('\n', inizio);
    if (fine == std::string_view::npos) fine = Byte.size();
    std::string riga(Byte.substr(inizio, fine - inizio));
    if (!riga.empty() && riga.back() == '\r') riga.pop_back();
    righe.push_back(std::move(riga));
    inizio = fine + 1;
  }
  if (righe.empty() || vb::UCase(vb::Trim(righe[0])) != "[Q-KRE]") {
    Messaggio = "il file non \xE8 un layout nel formato a chiavi";
    return false;
  }
  Gruppo_Filtro gruppo;
  Lettura L;
  for (size_t r = 1; r < righe.size(); ++r) {
    const std::string& riga = righe[r];
    const std::string chiave = riga.substr(0, 10);
    const std::string v = riga.size() > 10 ? riga.substr(10) : std::string();
    if (chiave == "_Elab____=") C.Titolo = v;
    else if (chiave == "_Data____=") C.Titolo += "  " + v;
    else if (chiave == "_NKey____=") C.Chiave_Layout = v;
    else if (chiave == "_TLay____=") L.Metti(chiave, v, C.Ordinamento_Layout);
    else if (chiave == "_Anno____=") L.Metti(chiave, v, C.Anno_Riferimento);
    else if (chiave == "_CMax____=") {
      // The count of columns is clamped to the 255 columns the arrays have.
      if (auto n = L.Leggi<int32_t>(chiave, v)) C.Numero_Colonne = static_cast<uint8_t>(std::clamp<int64_t>(*n, 0, 255));
    } else if (chiave == "_CFix____=") L.Metti(chiave, v, C.Colonne_Bloccate);
    else if (chiave == "_COrd____=") L.Metti(chiave, v, C.Colonna_Ordinamento);
    else if (chiave == "_CVer____=") C.Verso_Ordinamento = " " + v;
    else if (chiave == "_Liv_____=") L.Metti(chiave, v, C.Numero_Livelli);
    else if (chiave == "_LivV____=") L.Metti(chiave, v, C.Livelli_Visibili);
    else if (chiave == "_PreP____=") L.Metti(chiave, v, C.Precedenza_P);
    else if (vb::Like(chiave, "C_###_????")) {
      const int c = static_cast<int>(vb::Val(chiave.substr(2, 3)));
      if (c >= 1 && c <= C.Numero_Colonne) Campo_Colonna(L, chiave, C.Colonne[static_cast<size_t>(c)], chiave.substr(6), v);
    } else if (vb::Like(chiave, "UF_????_?=")) {
      const char campo = chiave[8];
      if (campo == 'K') {
        gruppo = Gruppo_Filtro{};
        L.Metti(chiave, v, gruppo.Chiave);
      } else if (campo == 'O') {
        gruppo.Operatore = v == "=" ? 1 : v == "N" ? 2 : 3;
      } else if (campo == 'U') {
        gruppo.Valore_2 = v;
        gruppo.Con_Secondo = true;
      } else if (campo == 'V') {
        Valore_Filtro(gruppo, v, C.Filtri);
      }
    } else if (vb::Like(chiave, "[LVP][VCA]_[1-9]____[KVD]=")) {
      const std::string tipo = chiave.substr(0, 2);
      const size_t i = static_cast<size_t>(chiave[3] - '1');
      const char campo = chiave[8];
      if (tipo == "LV" && campo == 'K') L.Metti(chiave, v, C.Liv_Riga_Chiave[i]);
      else if (tipo == "LV" && campo == 'V') C.Liv_Riga_Testo[i] = v;
      else if (tipo == "VC" && campo == 'K') L.Metti(chiave, v, C.Liv_Colonna_Chiave[i]);
      else if (tipo == "VC" && campo == 'V') C.Liv_Colonna_Testo[i] = v;
      else if (tipo == "PA" && campo == 'D') C.Parametri_Descrizione[i] = v;
      else if (tipo == "PA" && campo == 'V') C.Parametri_Valore[i] = v;
    }
  }
  // A key the file does not hold keeps its default: only a file that is not keyed is refused.
  // The layout key carries three numbers of three characters (layout, area, key) that the loader
  // takes as Integers: "9E9" is a number, but not one of them.
  if (C.Chiave_Layout && L.Chiave_Illeggibile.empty()) {
    for (const long da : {2L, 6L, 10L}) {
      const double n = vb::Val(vb::Mid(*C.Chiave_Layout, da, 3));
      if (n < -32768.5 || n > 32767.5) L.Chiave_Illeggibile = "_NKey____";
    }
  }
  if (!L.Chiave_Illeggibile.empty()) {
    Messaggio = "il valore di " + L.Chiave_Illeggibile + " non \xE8 un numero leggibile";
    return false;
  }
  return true;
}

std::string Testo_File_Layout(const std::string& Titolo, const std::string& Data, const std::string& Chiave) {
  std::string t = "[Q-KRE]\r\n";
  const auto riga = [&t](std::string_view chiave, std::string_view valore) {
    t.append(chiave);
    t.append(valore);
    t.append("\r\n");
  };
  riga("_Elab____=", vb::Trim(Titolo));
  riga("_Link____=", "[Link]");
  riga("_Tito____=", vb::RTrim(Titolo));
  riga("_Data____=", Data);
  riga("_NKey____=", vb::RTrim(Chiave));
  riga("_TLay____=", N(Ordinamento_Layout));
  riga("_Anno____=", Cifre(Anno_Riferimento, 4));
  riga("_CMax____=", Cifre(Numero_Colonne, 3));
  riga("_CFix____=", Cifre(Colonne_Bloccate, 3));
  riga("_COrd____=", Cifre(Colonna_Ordinamento, 3));
  riga("_CVer____=", vb::Trim(Verso_Ordinamento));
  riga("_Liv_____=", N(Numero_Livelli));
  riga("_LivV____=", N(Livelli_Visibili));
  riga("_PreP____=", N(Precedenza_P));
  for (size_t c = 1; c <= Numero_Colonne; ++c) {
    const std::string p = "C_" + Cifre(static_cast<int64_t>(c), 3) + "_";
    riga(p + "Hea=", vb::RTrim(Col_Intestazione[c]));
    riga(p + "Ali=", N(Col_Allineamento[c]));
    riga(p + "Dim=", N(Col_Larghezza[c]));
    riga(p + "DSt=", N(Col_Larghezza_Stampa[c]));
    riga(p + "Vis=", N(Col_Visibile[c]));
    riga(p + "Ord=", N(Col_Ordine[c]));
    riga(p + "Key=", N(Col_Chiave[c]));
    riga(p + "Des=", N(Col_Descrizione[c]));
    riga(p + "Cal=", vb::RTrim(Col_Calcolo[c]));
    riga(p + "Def=", N(Col_Tipo[c]));
    riga(p + "VCK=", N(Col_VCK[c]));
    riga(p + "VCC=", vb::RTrim(Col_VCC[c]));
    riga(p + "Fmt=", vb::RTrim(Col_Formato[c]));
    riga(p + "Atr=", vb::RTrim(Col_Attributo[c]));
    riga(p + "Kde=", N(Col_Kde[c]));
    riga(p + "VTo=", N(Col_Totale[c]));
    riga(p + "Sin=", vb::RTrim(Col_Sistema[c]));
    riga(p + "Whe=", vb::RTrim(Col_Where[c]));
    std::string flag(64, 'F');
    for (size_t j = 0; j < 64; ++j) flag[j] = Col_Where_Flag[c][j] != 0 ? 'T' : 'F';
    riga(p + "WhI=", flag);
    riga(p + "Pre=", N(Col_Precedenza[c]));
  }
  // Every row of the filter table in index order, the marker rows included.
  if (Rs_Filtro && Rs_Filtro->IsOpen() && Rs_Filtro->MoveFirst().ok()) {
    int n = 0;
    while (!Rs_Filtro->AfterLast() && n < 9999) {
      const std::string p = "UF_" + Cifre(++n, 4) + "_";
      const auto testo = [](const data::Value& v) { return vb::RTrim(v.AsText()); };
      riga(p + "K=", N(Rs_Filtro->Field("KEY").AsInteger()));
      riga(p + "O=", testo(Rs_Filtro->Field("OPER")));
      riga(p + "U=", testo(Rs_Filtro->Field("VALO_2")));
      riga(p + "V=", testo(Rs_Filtro->Field("VALO_1")));
      if (!Rs_Filtro->MoveNext().ok()) break;
    }
  }
  for (size_t i = 0; i < 9; ++i) {
    const std::string d(1, static_cast<char>('1' + i));
    riga("LV_" + d + "____K=", Cifre(Liv_Riga_Chiave[i], 3));
    riga("LV_" + d + "____V=", vb::RTrim(Liv_Riga_Testo[i]));
  }
  for (size_t i = 0; i < 9; ++i) {
    const std::string d(1, static_cast<char>('1' + i));
    riga("VC_" + d + "____K=", Cifre(Liv_Colonna_Chiave[i], 3));
    riga("VC_" + d + "____V=", vb::RTrim(Liv_Colonna_Testo[i]));
  }
  for (size_t i = 0; i < 9; ++i) {
    const std::string d(1, static_cast<char>('1' + i));
    riga("PA_" + d + "____D=", vb::RTrim(Parametri_Descrizione[i]));
    riga("PA_" + d + "____V=", vb::RTrim(Parametri_Valore[i]));
  }
  return t;
}

std::string File_Storico(const std::string& Modello, int64_t Numero) {
  return vb::Replace(Modello, "######", Cifre(Numero, 6));
}

std::string File_Risultato(const std::string& File_Layout) {
  return File_Layout.size() < 5 ? File_Layout : File_Layout.substr(0, File_Layout.size() - 5) + "1.DAT";
}

std::string Data_Salvataggio() {
  const vb::DateTime d = vb::Now();
  char b[32];
  std::snprintf(b, sizeof b, "%02d/%02d/%04d %02d:%02d:%02d", d.day, d.month, d.year, d.hour, d.minute, d.second);
  return b;
}

}  // namespace kyx
