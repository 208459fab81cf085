// The sheet in memory: reading the delimited text, cell values, range formats and the structural
// changes (deleting the first row and column, fitting column widths).
#include "platform/xls/libro.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
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

constexpr int kRighe = 65536, kColonne = 256;

// A number as the text file writes it: optional sign, digits with optional thousands dots, one
// decimal separator. Anything else stays text.
bool Leggi_Numero(const std::string& t, char Decimale, double& v) {
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
  for (size_t i = 0; i < 56; ++i) {
    const uint32_t c = kTavolozza[i];
    tavolozza_[i] = static_cast<int32_t>(((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16));
  }
}

bool Libro::Apri_Testo(const std::string& File, char Separatore, char Decimale, const std::vector<int>& Tipi,
                       std::string& Errore) {
  std::ifstream in(File, std::ios::binary);
  if (!in) {
    Errore = "impossibile leggere " + File;
    return false;
  }
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string testo = ss.str();
  celle_.clear();
  int riga = 0;
  size_t inizio = 0;
  while (inizio < testo.size()) {
    size_t fine = testo.find('\n', inizio);
    if (fine == std::string::npos) fine = testo.size();
    std::string linea = testo.substr(inizio, fine - inizio);
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    inizio = fine + 1;
    if (++riga > kRighe) {
      Errore = "il foglio non contiene pi\xF9 di 65536 righe";
      return false;
    }
    size_t p = 0;
    for (int k = 0; p <= linea.size(); ++k) {
      std::string campo;
      bool citato = false;
      if (p < linea.size() && linea[p] == '"') {
        const size_t chiude = linea.find('"', p + 1);
        campo = linea.substr(p + 1, chiude == std::string::npos ? std::string::npos : chiude - p - 1);
        citato = true;
        p = chiude == std::string::npos ? linea.size() : chiude + 1;
        const size_t sep = linea.find(Separatore, p);
        p = sep == std::string::npos ? linea.size() + 1 : sep + 1;
      } else {
        const size_t sep = linea.find(Separatore, p);
        campo = linea.substr(p, sep == std::string::npos ? std::string::npos : sep - p);
        p = sep == std::string::npos ? linea.size() + 1 : sep + 1;
      }
      if (campo.empty()) continue;
      if (k >= kColonne) {
        Errore = "il foglio non contiene pi\xF9 di 256 colonne";
        return false;
      }
      Cella& c = celle_[{riga, k + 1}];
      const bool testo_fisso = static_cast<size_t>(k) < Tipi.size() && Tipi[static_cast<size_t>(k)] == 2;
      double v = 0;
      if (!testo_fisso && !citato && Leggi_Numero(campo, Decimale, v)) {
        c.Numero = true;
        c.Valore = v;
      } else {
        c.Testo = campo;
      }
    }
  }
  return true;
}

void Libro::Valore(int Riga, int Colonna, const std::string& Testo) {
  Cella& c = celle_[{Riga, Colonna}];
  c.Numero = false;
  c.Valore = 0;
  c.Testo = !Testo.empty() && Testo[0] == '\'' ? Testo.substr(1) : Testo;
}

const Cella* Libro::Trova(int Riga, int Colonna) const {
  const auto it = celle_.find({Riga, Colonna});
  return it == celle_.end() ? nullptr : &it->second;
}

std::string Libro::Testo(int Riga, int Colonna) const {
  const Cella* c = Trova(Riga, Colonna);
  if (!c) return "";
  if (!c->Numero) return c->Testo;
  std::ostringstream os;
  os << c->Valore;
  return os.str();
}

void Libro::Bordo(const Zona& z, int Posizione, int Colore) {
  for (int r = z.R1; r <= z.R2; ++r) {
    for (int c = z.C1; c <= z.C2; ++c) {
      auto& b = celle_[{r, c}].F.Bordo;
      switch (Posizione) {
        case xlEdgeLeft: if (c == z.C1) b[0] = Colore; break;
        case xlEdgeTop: if (r == z.R1) b[1] = Colore; break;
        case xlEdgeBottom: if (r == z.R2) b[2] = Colore; break;
        case xlEdgeRight: if (c == z.C2) b[3] = Colore; break;
        case xlInsideVertical:
          if (c > z.C1) b[0] = Colore;
          if (c < z.C2) b[3] = Colore;
          break;
        case xlInsideHorizontal:
          if (r > z.R1) b[1] = Colore;
          if (r < z.R2) b[2] = Colore;
          break;
        default: break;
      }
    }
  }
}

void Libro::Elimina_Riga_1() {
  std::map<std::pair<int, int>, Cella> nuove;
  for (auto& [pos, c] : celle_)
    if (pos.first > 1) nuove[{pos.first - 1, pos.second}] = std::move(c);
  celle_ = std::move(nuove);
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
  std::map<std::pair<int, int>, Cella> nuove;
  for (auto& [pos, c] : celle_)
    if (pos.second > 1) nuove[{pos.first, pos.second - 1}] = std::move(c);
  celle_ = std::move(nuove);
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
  for (const auto& [pos, c] : celle_) {
    if (unita(pos.first, pos.second)) continue;
    const size_t n = Testo(pos.first, pos.second).size();
    if (n == 0) continue;
    const int w = std::min(255, static_cast<int>(n) + 2) * 256;
    int& l = larghezze_[pos.second];
    l = std::max(l, w);
  }
}

}  // namespace kyx::xls
