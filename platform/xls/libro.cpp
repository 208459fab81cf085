// The sheet in memory: reading the delimited text, cell values, range formats and the structural
// changes (deleting the first row and column, fitting column widths).
#include "platform/xls/libro.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <tuple>

namespace kyx::xls {
namespace {

// The spreadsheet's default palette (RRGGBB).
constexpr std::array<uint32_t, 56> kTavolozza = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000,
    0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF,
    0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000,
    0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696, 0x003366, 0x339966,
    0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

// A number as the general format shows it: six significant digits, as printf's %g.
std::string Testo_Numero(double v) {
  char buf[32];
  const auto [fine, errore] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6);
  return errore == std::errc() ? std::string(buf, fine) : std::string();
}

}  // namespace

bool Formato::operator<(const Formato& o) const {
  return std::tie(Colore_Font, Grassetto, Allineamento, Formato_Numero, Colore_Sfondo, Pieno, Bordo) <
         std::tie(o.Colore_Font, o.Grassetto, o.Allineamento, o.Formato_Numero, o.Colore_Sfondo, o.Pieno, o.Bordo);
}

Libro::Libro() {
  formati_.emplace_back();
  indici_.emplace(formati_[0], 0);
  stili_.emplace_back();
  indice_stili_.emplace(stili_[0], 0);
  for (size_t i = 0; i < 56; ++i) {
    const uint32_t c = kTavolozza[i];
    tavolozza_[i] = static_cast<int32_t>(((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16));
  }
}

bool Libro::Apri_Testo(const std::string& File, char Separatore, char Decimale, const std::vector<int>& Tipi,
                       std::string& Errore) {
  // The file is only looked through here: its cells are read again when they are needed.
  valori_.clear();
  stile_riga_.clear();
  riga0_ = colonna0_ = 0;
  separatore_ = Separatore;
  decimale_ = Decimale;
  tipi_ = Tipi;
  return testo_.Apri(File, Errore, [&](size_t i, std::string_view Linea) {
    if (i >= static_cast<size_t>(kRighe)) {
      Errore = "il foglio non contiene pi\xF9 di 65536 righe";
      testo_.Chiudi();
      return false;
    }
    const bool ok = Per_Campi(Linea, Separatore, [](int k, std::string_view Campo, bool) {
      return Campo.empty() || k < kColonne;
    });
    if (!ok) {
      Errore = "il foglio non contiene pi\xF9 di 256 colonne";
      testo_.Chiudi();
    }
    return ok;
  });
}

size_t Libro::Righe_Interne() const {
  size_t n = std::max(testo_.Linee(), stile_riga_.size());
  if (!valori_.empty()) n = std::max(n, valori_.rbegin()->first.first + 1);
  return n;
}

void Libro::Celle(size_t i, std::vector<Casella>& Celle) const {
  Celle.clear();
  auto metti = [&](size_t c) -> Casella* {
    if (c < colonna0_) return nullptr;
    c -= colonna0_;
    if (Celle.size() <= c) Celle.resize(c + 1);
    return &Celle[c];
  };
  if (i < testo_.Linee()) {
    Per_Campi(testo_.Linea(i), separatore_, [&](int k, std::string_view Campo, bool Citato) {
      if (Campo.empty() || k >= kColonne) return true;
      Casella* x = metti(static_cast<size_t>(k));
      if (!x) return true;
      const bool testo_fisso = static_cast<size_t>(k) < tipi_.size() && tipi_[static_cast<size_t>(k)] == 2;
      double v;
      if (!testo_fisso && !Citato && Leggi_Numero(Campo, decimale_, v)) {
        x->Genere = kNumero;
        x->Dato = Campo;
      } else {
        // A text longer than a cell holds is cut to what a cell record can carry anyway.
        x->Genere = kTesto;
        x->Dato = Campo.substr(0, 0xFFFF);
      }
      return true;
    });
  }
  for (auto it = valori_.lower_bound({i, 0}); it != valori_.end() && it->first.first == i; ++it) {
    if (Casella* x = metti(it->first.second)) {
      x->Genere = it->second.empty() ? kVuota : kTesto;
      x->Dato = it->second;
    }
  }
  if (i < stile_riga_.size()) {
    const std::vector<uint32_t>& v = stili_[stile_riga_[i]];
    for (size_t c = colonna0_; c < v.size(); ++c) {
      if (v[c] == kNessuno) continue;
      Casella* x = metti(c);
      if (x->Genere == kAssente) x->Genere = kVuota;
      x->Formato = v[c];
    }
  }
  while (!Celle.empty() && Celle.back().Genere == kAssente) Celle.pop_back();
}

const Libro::Casella Libro::Cella(int Riga, int Colonna) const {
  if (!Nel_Foglio(Riga, Colonna)) return {};
  std::vector<Casella> celle;
  Celle(Riga_Interna(Riga), celle);
  const auto c = static_cast<size_t>(Colonna - 1);
  return c < celle.size() ? celle[c] : Casella{};
}

double Libro::Numero_Di(const Casella& k) const {
  double v = 0;
  Leggi_Numero(k.Dato, decimale_, v);
  return v;
}

void Libro::Cambia_Formati(const Zona& z, const std::function<uint32_t(uint32_t)>& Nuovo) {
  const int r1 = std::max(z.R1, 1), r2 = std::min(z.R2, static_cast<int>(kRighe));
  const int c1 = std::max(z.C1, 1), c2 = std::min(z.C2, static_cast<int>(kColonne));
  if (r1 > r2 || c1 > c2) return;
  const size_t da = Colonna_Interna(c1), a = Colonna_Interna(c2);
  if (stile_riga_.size() <= Riga_Interna(r2)) stile_riga_.resize(Riga_Interna(r2) + 1, 0);
  // Rows formatted alike stay alike: each distinct row of the range is changed once.
  std::map<uint32_t, uint32_t> cambiati;
  for (size_t i = Riga_Interna(r1); i <= Riga_Interna(r2); ++i) {
    uint32_t& stile = stile_riga_[i];
    const auto [it, nuovo] = cambiati.emplace(stile, 0);
    if (nuovo) {
      std::vector<uint32_t> v = stili_[stile];
      if (v.size() <= a) v.resize(a + 1, kNessuno);
      for (size_t c = da; c <= a; ++c) v[c] = Nuovo(v[c] == kNessuno ? 0 : v[c]);
      it->second = Interna_Stile(v);
    }
    stile = it->second;
  }
}

uint32_t Libro::Interna(const Formato& f) {
  const auto [it, nuovo] = indici_.emplace(f, static_cast<uint32_t>(formati_.size()));
  if (nuovo) formati_.push_back(f);
  return it->second;
}

uint32_t Libro::Interna_Stile(const std::vector<uint32_t>& v) {
  const auto [it, nuovo] = indice_stili_.emplace(v, static_cast<uint32_t>(stili_.size()));
  if (nuovo) stili_.push_back(v);
  return it->second;
}

void Libro::Valore(int Riga, int Colonna, const std::string& Testo) {
  if (!Nel_Foglio(Riga, Colonna)) return;
  const std::string_view t = !Testo.empty() && Testo[0] == '\'' ? std::string_view(Testo).substr(1) : Testo;
  // A text longer than a cell holds is cut to what a cell record can carry anyway.
  valori_[{Riga_Interna(Riga), Colonna_Interna(Colonna)}] = std::string(t.substr(0, 0xFFFF));
}

bool Libro::Numero(int Riga, int Colonna) const { return Cella(Riga, Colonna).Genere == kNumero; }

const Formato& Libro::Formato_Di(int Riga, int Colonna) const { return formati_[Cella(Riga, Colonna).Formato]; }

std::string Libro::Testo(int Riga, int Colonna) const {
  const Casella c = Cella(Riga, Colonna);
  if (c.Genere == kTesto) return std::string(c.Dato);
  if (c.Genere != kNumero) return "";
  return Testo_Numero(Numero_Di(c));
}

void Libro::Bordo(const Zona& z, int Posizione, int Colore) {
  auto lato = [&](const Zona& parte, size_t i) {
    if (parte.R1 > parte.R2 || parte.C1 > parte.C2) return;
    Formatta(parte, [&](Formato& f) { f.Bordo[i] = Colore; });
  };
  switch (Posizione) {
    case xlEdgeLeft: lato({z.R1, z.C1, z.R2, z.C1}, 0); break;
    case xlEdgeTop: lato({z.R1, z.C1, z.R1, z.C2}, 1); break;
    case xlEdgeBottom: lato({z.R2, z.C1, z.R2, z.C2}, 2); break;
    case xlEdgeRight: lato({z.R1, z.C2, z.R2, z.C2}, 3); break;
    case xlInsideVertical:
      lato({z.R1, z.C1 + 1, z.R2, z.C2}, 0);
      lato({z.R1, z.C1, z.R2, z.C2 - 1}, 3);
      break;
    case xlInsideHorizontal:
      lato({z.R1 + 1, z.C1, z.R2, z.C2}, 1);
      lato({z.R1, z.C1, z.R2 - 1, z.C2}, 2);
      break;
    default: break;
  }
}

void Libro::Elimina_Riga_1() {
  ++riga0_;
  std::vector<Zona> unioni;
  for (Zona z : unioni_) {
    if (z.R2 < 2) continue;
    z.R1 = std::max(1, z.R1 - 1);
    z.R2 -= 1;
    unioni.push_back(z);
  }
  unioni_ = std::move(unioni);
}

void Libro::Elimina_Colonna_A() {
  ++colonna0_;
  std::vector<Zona> unioni;
  for (Zona z : unioni_) {
    if (z.C2 < 2) continue;
    z.C1 = std::max(1, z.C1 - 1);
    z.C2 -= 1;
    unioni.push_back(z);
  }
  unioni_ = std::move(unioni);
  std::map<int, int> larghezze;
  for (const auto& [c, w] : larghezze_)
    if (c > 1) larghezze[c - 1] = w;
  larghezze_ = std::move(larghezze);
}

void Libro::Adatta_Colonne() {
  // Cells inside a merged range do not widen their column.
  auto unita = [this](int r, int c) {
    for (const Zona& z : unioni_)
      if (r >= z.R1 && r <= z.R2 && c >= z.C1 && c <= z.C2 && z.C1 != z.C2) return true;
    return false;
  };
  larghezze_.clear();
  std::vector<Casella> celle;
  for (size_t i = riga0_; i < Righe_Interne(); ++i) {
    const int r = static_cast<int>(i - riga0_) + 1;
    if (r > kRighe) break;
    Celle(i, celle);
    for (size_t j = 0; j < celle.size(); ++j) {
      const int c = static_cast<int>(j) + 1;
      const Casella& k = celle[j];
      if (k.Genere != kTesto && k.Genere != kNumero) continue;
      const size_t n = k.Genere == kTesto ? k.Dato.size() : Testo_Numero(Numero_Di(k)).size();
      if (n == 0 || unita(r, c)) continue;
      const int w = std::min(255, static_cast<int>(n) + 2) * 256;
      int& l = larghezze_[c];
      l = std::max(l, w);
    }
  }
}

}  // namespace kyx::xls
