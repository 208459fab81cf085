// The sheet in memory: reading the delimited text, cell values, range formats and the structural
// changes (deleting the first row and column, fitting column widths).
#include "platform/xls/libro.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
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

// A number as the text file writes it: optional sign, digits with optional thousands dots, one
// decimal separator. Anything else stays text.
bool Leggi_Numero(std::string_view t, char Decimale, double& v) {
  std::string s;
  bool cifre = false, decimale = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const char ch = t[i];
    if (ch >= '0' && ch <= '9') {
      s += ch;
      cifre = true;
    } else if ((ch == '-' || ch == '+') && i == 0) {
      s += ch;
    } else if (ch == Decimale && !decimale) {
      s += '.';
      decimale = true;
    } else if (ch == (Decimale == ',' ? '.' : ',') && !decimale && cifre) {
      // thousands separator
    } else {
      return false;
    }
  }
  if (!cifre) return false;
  v = std::strtod(s.c_str(), nullptr);
  return true;
}

}  // namespace

bool Formato::operator<(const Formato& o) const {
  return std::tie(Colore_Font, Grassetto, Allineamento, Formato_Numero, Colore_Sfondo, Pieno, Bordo) <
         std::tie(o.Colore_Font, o.Grassetto, o.Allineamento, o.Formato_Numero, o.Colore_Sfondo, o.Pieno, o.Bordo);
}

Libro::Libro() {
  formati_.emplace_back();
  indici_.emplace(formati_[0], 0);
  for (size_t i = 0; i < 56; ++i) {
    const uint32_t c = kTavolozza[i];
    tavolozza_[i] = static_cast<int32_t>(((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16));
  }
}

bool Libro::Apri_Testo(const std::string& File, char Separatore, char Decimale, const std::vector<int>& Tipi,
                       std::string& Errore) {
  // Line by line: the file may be as big as a whole sheet.
  std::ifstream in(File, std::ios::binary);
  if (!in) {
    Errore = "impossibile leggere " + File;
    return false;
  }
  righe_.clear();
  testi_.clear();
  int riga = 0;
  std::string linea;
  while (std::getline(in, linea)) {
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    if (++riga > kRighe) {
      Errore = "il foglio non contiene pi\xF9 di 65536 righe";
      return false;
    }
    size_t p = 0;
    for (int k = 0; p <= linea.size(); ++k) {
      std::string_view campo;
      bool citato = false;
      if (p < linea.size() && linea[p] == '"') {
        const size_t chiude = linea.find('"', p + 1);
        campo = std::string_view(linea).substr(p + 1, chiude == std::string::npos ? std::string::npos : chiude - p - 1);
        citato = true;
        p = chiude == std::string::npos ? linea.size() : chiude + 1;
        const size_t sep = linea.find(Separatore, p);
        p = sep == std::string::npos ? linea.size() + 1 : sep + 1;
      } else {
        const size_t sep = linea.find(Separatore, p);
        campo = std::string_view(linea).substr(p, sep == std::string::npos ? std::string::npos : sep - p);
        p = sep == std::string::npos ? linea.size() + 1 : sep + 1;
      }
      if (campo.empty()) continue;
      if (k >= kColonne) {
        Errore = "il foglio non contiene pi\xF9 di 256 colonne";
        return false;
      }
      Casella& c = *Prendi(riga, k + 1);
      const bool testo_fisso = static_cast<size_t>(k) < Tipi.size() && Tipi[static_cast<size_t>(k)] == 2;
      double v = 0;
      if (!testo_fisso && !citato && Leggi_Numero(campo, Decimale, v)) {
        c.Genere = kNumero;
        std::memcpy(&c.Dato, &v, sizeof v);
      } else {
        Metti_Testo(c, campo);
      }
    }
  }
  if (in.bad()) {
    Errore = "impossibile leggere " + File;
    return false;
  }
  return true;
}

Libro::Casella* Libro::Prendi(int Riga, int Colonna) {
  if (Riga < 1 || Riga > kRighe || Colonna < 1 || Colonna > kColonne) return nullptr;
  if (righe_.size() < static_cast<size_t>(Riga)) righe_.resize(static_cast<size_t>(Riga));
  std::vector<Casella>& r = righe_[static_cast<size_t>(Riga - 1)];
  if (r.size() < static_cast<size_t>(Colonna)) r.resize(static_cast<size_t>(Colonna));
  Casella& k = r[static_cast<size_t>(Colonna - 1)];
  if (k.Genere == kAssente) k.Genere = kVuota;
  return &k;
}

const Libro::Casella* Libro::Cerca(int Riga, int Colonna) const {
  if (Riga < 1 || Colonna < 1 || static_cast<size_t>(Riga) > righe_.size()) return nullptr;
  const std::vector<Casella>& r = righe_[static_cast<size_t>(Riga - 1)];
  if (static_cast<size_t>(Colonna) > r.size()) return nullptr;
  const Casella& k = r[static_cast<size_t>(Colonna - 1)];
  return k.Genere == kAssente ? nullptr : &k;
}

uint32_t Libro::Interna(const Formato& f) {
  const auto [it, nuovo] = indici_.emplace(f, static_cast<uint32_t>(formati_.size()));
  if (nuovo) formati_.push_back(f);
  return it->second;
}

void Libro::Metti_Testo(Casella& k, std::string_view Testo) {
  // A text longer than a cell holds is cut to what a cell record can carry anyway.
  const size_t n = std::min<size_t>(Testo.size(), 0xFFFF);
  k.Genere = kTesto;
  k.Dato = (static_cast<uint64_t>(testi_.size()) << 16) | n;
  testi_.append(Testo.substr(0, n));
}

std::string_view Libro::Testo_Di(const Casella& k) const {
  return std::string_view(testi_).substr(static_cast<size_t>(k.Dato >> 16), static_cast<size_t>(k.Dato & 0xFFFF));
}

double Libro::Numero_Di(const Casella& k) const {
  double v;
  std::memcpy(&v, &k.Dato, sizeof v);
  return v;
}

void Libro::Valore(int Riga, int Colonna, const std::string& Testo) {
  Casella* c = Prendi(Riga, Colonna);
  if (!c) return;
  const std::string_view t = !Testo.empty() && Testo[0] == '\'' ? std::string_view(Testo).substr(1) : Testo;
  c->Dato = 0;
  c->Genere = kVuota;
  if (!t.empty()) Metti_Testo(*c, t);
}

bool Libro::Numero(int Riga, int Colonna) const {
  const Casella* c = Cerca(Riga, Colonna);
  return c && c->Genere == kNumero;
}

const Formato& Libro::Formato_Di(int Riga, int Colonna) const {
  const Casella* c = Cerca(Riga, Colonna);
  return formati_[c ? c->Formato : 0];
}

std::string Libro::Testo(int Riga, int Colonna) const {
  const Casella* c = Cerca(Riga, Colonna);
  if (!c) return "";
  if (c->Genere == kTesto) return std::string(Testo_Di(*c));
  if (c->Genere != kNumero) return "";
  // As a stream writes a double by default: six significant digits.
  char buf[32];
  const int n = std::snprintf(buf, sizeof buf, "%g", Numero_Di(*c));
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
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
  if (!righe_.empty()) righe_.erase(righe_.begin());
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
  for (std::vector<Casella>& r : righe_)
    if (!r.empty()) r.erase(r.begin());
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
  for (size_t i = 0; i < righe_.size(); ++i) {
    const int r = static_cast<int>(i) + 1;
    for (size_t j = 0; j < righe_[i].size(); ++j) {
      const int c = static_cast<int>(j) + 1;
      const Casella& k = righe_[i][j];
      if (k.Genere != kTesto && k.Genere != kNumero) continue;
      const size_t n = k.Genere == kTesto ? Testo_Di(k).size() : Testo(r, c).size();
      if (n == 0 || unita(r, c)) continue;
      const int w = std::min(255, static_cast<int>(n) + 2) * 256;
      int& l = larghezze_[c];
      l = std::max(l, w);
    }
  }
}

}  // namespace kyx::xls
