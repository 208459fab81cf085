// Saving the workbook as an Excel 97 file: the BIFF8 record stream "Workbook" (globals with
// fonts, number formats, cell formats, palette and the sheet's directory entry, then the sheet
// with column widths, cells and merged ranges) inside a compound document of 512-byte sectors.
//
// The sheet's records are produced twice: a first pass only counts them and notes the formats in
// use, which gives the globals and the stream's size (so the compound document's header and
// tables); the second pass hands them on in pieces as they are made. Nothing the size of the file
// is held.
#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/text/cp1252.h"
#include "platform/xls/documento_composto.h"
#include "platform/xls/libro.h"

namespace kyx::xls {
namespace flusso_biff8 {

// A record's body.
class Corpo {
 public:
  void U8(uint32_t v) { b_.push_back(static_cast<char>(v & 0xFF)); }
  void U16(uint32_t v) { U8(v); U8(v >> 8); }
  void U32(uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void F64(double d) {
    uint64_t v;
    std::memcpy(&v, &d, 8);
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
  }
  void Zeri(size_t n) { b_.append(n, '\0'); }
  void Svuota() { b_.clear(); }
  const std::string& Dati() const { return b_; }

 private:
  std::string b_;
};

// The stream of records: collected in a buffer of some tens of kilobytes and handed to the
// output whenever it fills; without an output, only counted.
class Flusso {
 public:
  explicit Flusso(const std::function<bool(std::string_view)>* Uscita) : uscita_(Uscita) {}
  void Record(uint16_t Tipo, const Corpo& c) {
    const std::string& d = c.Dati();
    const char testa[4] = {static_cast<char>(Tipo & 0xFF), static_cast<char>(Tipo >> 8),
                           static_cast<char>(d.size() & 0xFF), static_cast<char>((d.size() >> 8) & 0xFF)};
    buf_.append(testa, 4);
    buf_ += d;
    if (buf_.size() >= kBlocco) Svuota();
  }
  // Hands on what is collected; false once the output has refused a piece.
  bool Svuota() {
    if (uscita_ && ok_ && !buf_.empty()) ok_ = (*uscita_)(buf_);
    scritti_ += buf_.size();
    buf_.clear();
    return ok_;
  }
  uint64_t Posizione() const { return scritti_ + buf_.size(); }

 private:
  static constexpr size_t kBlocco = 1 << 16;
  const std::function<bool(std::string_view)>* uscita_;
  std::string buf_;
  uint64_t scritti_ = 0;
  bool ok_ = true;
};

// A BIFF8 string: character count (8 or 16 bits), option byte, then the characters: one byte
// each when all of them are Latin-1 (the compressed form), else UTF-16.
void Stringa(Corpo& c, std::string_view s, bool Lungo, size_t Massimo) {
  const size_t n = std::min(s.size(), Massimo);  // one Windows-1252 byte, one UTF-16 unit
  bool latino = true;
  for (size_t i = 0; i < n && latino; ++i) latino = text::code_point(static_cast<unsigned char>(s[i])) <= 0xFF;
  if (Lungo) c.U16(static_cast<uint32_t>(n)); else c.U8(static_cast<uint32_t>(n));
  c.U8(latino ? 0 : 1);
  for (size_t i = 0; i < n; ++i) {
    const uint32_t cp = text::code_point(static_cast<unsigned char>(s[i]));
    if (latino) c.U8(cp); else c.U16(cp);
  }
}

void Bof(Flusso& f, Corpo& c, uint16_t Tipo) {
  c.Svuota();
  c.U16(0x0600);
  c.U16(Tipo);
  c.U16(0x0DBB);
  c.U16(0x07CC);
  c.U32(0);
  c.U32(0x06);
  f.Record(0x0809, c);
}

void Eof(Flusso& f, Corpo& c) {
  c.Svuota();
  f.Record(0x000A, c);
}

int Allineamento(int a) {
  switch (a) {
    case xlLeft: return 1;
    case xlCenter: return 2;
    case xlRight: return 3;
    default: return 0;
  }
}

}  // namespace flusso_biff8

using namespace flusso_biff8;

// What the sheet's cells need of the globals: the cell formats in use, their fonts and number
// formats, and the sheet's extent.
class Scrittura {
 public:
  explicit Scrittura(const Libro& L) : L_(L) {}

  // The whole stream, handed to Uscita after Prima (the document's header, made from the
  // stream's size); false with Errore when the sheet does not fit the format.
  bool Scrivi(const std::function<bool(std::string_view)>& Uscita,
              const std::function<bool(uint64_t Dimensione)>& Prima, std::string& Errore) {
    xf_.assign(L_.formati_.size(), -1);
    Usa(0);
    Corpo c;
    // First pass: the formats in use, the extent and the sheet's size.
    Flusso conta(nullptr);
    Foglio(conta, c, false);
    conta.Svuota();
    if (ultima_riga_ > static_cast<uint32_t>(Libro::kRighe) || ultima_colonna_ > static_cast<uint32_t>(Libro::kColonne)) {
      Errore = "il foglio supera 65536 righe o 256 colonne";
      return false;
    }
    // The globals state the sheet's offset, which is their own size.
    std::string globali;
    const std::function<bool(std::string_view)> in_memoria = [&globali](std::string_view b) {
      globali.append(b);
      return true;
    };
    for (int volta = 0; volta < 2; ++volta) {
      const uint32_t posizione = static_cast<uint32_t>(globali.size());
      globali.clear();
      Flusso g(&in_memoria);
      Globali(g, c, posizione);
      g.Svuota();
    }
    if (!Prima(globali.size() + conta.Posizione())) return false;
    if (!Uscita(globali)) return false;
    Flusso uscita(&Uscita);
    Foglio(uscita, c, true);
    return uscita.Svuota();
  }

 private:
  // Gives a format in use its cell format (XF) number, its font and its number format.
  void Usa(uint32_t i) {
    if (xf_[i] >= 0) return;
    const Formato& f = L_.formati_[i];
    xf_[i] = 15 + static_cast<int>(elenco_.size());  // after the 15 style formats
    elenco_.push_back(i);
    font_.emplace(std::make_pair(f.Colore_Font, f.Grassetto), static_cast<int>(font_.size()));
    if (f.Formato_Numero != "General" && f.Formato_Numero != "@")
      numeri_.emplace(f.Formato_Numero, 164 + static_cast<int>(numeri_.size()));
  }

  void Globali(Flusso& g, Corpo& c, uint32_t Posizione_Foglio) {
    Bof(g, c, 0x0005);
    c.Svuota(); c.U16(1200); g.Record(0x0042, c);
    c.Svuota();
    for (uint32_t v : {0x168u, 0x10Eu, 0x3A98u, 0x2328u, 0x38u, 0u, 0u, 1u, 0x258u}) c.U16(v);
    g.Record(0x003D, c);
    // Fonts in index order; index 4 does not exist in the file's numbering.
    std::vector<std::pair<int, bool>> fonts(font_.size());
    for (const auto& [k, i] : font_) fonts[static_cast<size_t>(i)] = k;
    for (const auto& [colore, grassetto] : fonts) {
      c.Svuota();
      c.U16(static_cast<uint32_t>(L_.Font_Dimensione * 20 + 0.5));
      c.U16(grassetto ? 1 : 0);
      c.U16(colore ? static_cast<uint32_t>(colore + 7) : 0x7FFF);
      c.U16(grassetto ? 700 : 400);
      c.U16(0); c.U8(0); c.U8(0); c.U8(0); c.U8(0);
      Stringa(c, L_.Font_Nome, false, 255);
      g.Record(0x0031, c);
    }
    for (const auto& [testo, i] : numeri_) {
      c.Svuota();
      c.U16(static_cast<uint32_t>(i));
      Stringa(c, testo, true, 255);
      g.Record(0x041E, c);
    }
    for (int i = 0; i < 15; ++i) {  // style formats
      c.Svuota();
      c.U16(0); c.U16(0); c.U16(0xFFF5); c.U16(0x20); c.U32(0); c.U32(0); c.U32(0); c.U16(0x20C0);
      g.Record(0x00E0, c);
    }
    auto numero_font = [](int i) { return i >= 4 ? i + 1 : i; };
    for (uint32_t i : elenco_) {
      const Formato& f = L_.formati_[i];
      c.Svuota();
      c.U16(static_cast<uint32_t>(numero_font(font_[{f.Colore_Font, f.Grassetto}])));
      const int num = f.Formato_Numero == "General" ? 0 : f.Formato_Numero == "@" ? 49 : numeri_[f.Formato_Numero];
      c.U16(static_cast<uint32_t>(num));
      c.U16(0x0001);
      c.U8(static_cast<uint32_t>(Allineamento(f.Allineamento) | (2 << 4)));
      c.U8(0); c.U8(0);
      c.U8(0xFC);
      const auto linea = [&](int i) { return f.Bordo[static_cast<size_t>(i)] ? 1u : 0u; };
      const auto col = [&](int i) { return f.Bordo[static_cast<size_t>(i)] ? static_cast<uint32_t>(f.Bordo[static_cast<size_t>(i)] + 7) : 0u; };
      c.U32(linea(0) | (linea(3) << 4) | (linea(1) << 8) | (linea(2) << 12) | (col(0) << 16) | (col(3) << 23));
      c.U32(col(1) | (col(2) << 7) | ((f.Pieno ? 1u : 0u) << 26));
      const uint32_t sfondo = f.Pieno && f.Colore_Sfondo ? static_cast<uint32_t>(f.Colore_Sfondo + 7) : 0x40;
      c.U16(sfondo | (0x41 << 7));
      g.Record(0x00E0, c);
    }
    c.Svuota(); c.U16(0x8000); c.U8(0); c.U8(0xFF); g.Record(0x0293, c);
    c.Svuota();
    c.U16(56);
    for (int32_t rgb : L_.tavolozza_) {
      c.U8(rgb & 0xFF); c.U8((rgb >> 8) & 0xFF); c.U8((rgb >> 16) & 0xFF); c.U8(0);
    }
    g.Record(0x0092, c);
    c.Svuota(); c.U32(Posizione_Foglio); c.U16(0); Stringa(c, "Foglio1", false, 31); g.Record(0x0085, c);
    Eof(g, c);
  }

  // The sheet; the first pass (Scrivi false) only counts and notes what the cells use.
  void Foglio(Flusso& s, Corpo& c, bool Scrivi) {
    Bof(s, c, 0x0010);
    c.Svuota(); c.U32(0); c.U32(ultima_riga_); c.U16(0); c.U16(ultima_colonna_); c.U16(0); s.Record(0x0200, c);
    for (const auto& [col, w] : L_.larghezze_) {
      c.Svuota();
      c.U16(static_cast<uint32_t>(col - 1)); c.U16(static_cast<uint32_t>(col - 1));
      c.U16(static_cast<uint32_t>(w)); c.U16(15); c.U16(0); c.U16(0);
      s.Record(0x007D, c);
    }
    std::vector<Libro::Casella> celle;
    for (size_t i = L_.riga0_; i < L_.Righe_Interne(); ++i) {
      const size_t r = i - L_.riga0_;
      L_.Celle(i, celle);
      for (size_t k = 0; k < celle.size(); ++k) {
        const Libro::Casella& cella = celle[k];
        if (cella.Genere == Libro::kAssente) continue;
        if (!Scrivi) {
          Usa(cella.Formato);
          ultima_riga_ = static_cast<uint32_t>(std::min<size_t>(r + 1, 0xFFFFFFFF));
          ultima_colonna_ = std::max(ultima_colonna_, static_cast<uint32_t>(k + 1));
        }
        c.Svuota();
        c.U16(static_cast<uint32_t>(r));
        c.U16(static_cast<uint32_t>(k));
        c.U16(Scrivi ? static_cast<uint32_t>(xf_[cella.Formato]) : 0);
        if (cella.Genere == Libro::kNumero) {
          c.F64(Scrivi ? L_.Numero_Di(cella) : 0);
          s.Record(0x0203, c);
        } else if (cella.Genere == Libro::kTesto) {
          Stringa(c, cella.Dato, true, 4000);  // one record holds up to 8224 bytes
          s.Record(0x0204, c);
        } else {
          s.Record(0x0201, c);
        }
      }
    }
    const std::vector<Zona>& unioni = L_.unioni_;
    for (size_t i = 0; i < unioni.size(); i += 1000) {
      c.Svuota();
      const size_t n = std::min<size_t>(1000, unioni.size() - i);
      c.U16(static_cast<uint32_t>(n));
      for (size_t k = i; k < i + n; ++k) {
        const Zona& z = unioni[k];
        c.U16(static_cast<uint32_t>(z.R1 - 1)); c.U16(static_cast<uint32_t>(z.R2 - 1));
        c.U16(static_cast<uint32_t>(z.C1 - 1)); c.U16(static_cast<uint32_t>(z.C2 - 1));
      }
      s.Record(0x00E5, c);
    }
    c.Svuota(); c.U16(0x06B6); c.U16(0); c.U16(0); c.U16(0x40); c.U16(0); c.U16(0); c.U16(0); c.U32(0); s.Record(0x023E, c);
    Eof(s, c);
  }

  const Libro& L_;
  std::vector<int> xf_;           // the sheet's format number -> cell format (XF) number, -1 unused
  std::vector<uint32_t> elenco_;  // the formats in use, in XF order
  std::map<std::pair<int, bool>, int> font_ = {{{0, false}, 0}};
  std::map<std::string, int> numeri_;
  uint32_t ultima_riga_ = 0, ultima_colonna_ = 0;
};

bool Libro::Componi(const std::function<bool(std::string_view)>& Scrivi, std::string& Errore) const {
  Scrittura w(*this);
  Pianta_Documento p;
  uint64_t scritti = 0;
  const std::function<bool(std::string_view)> conta = [&](std::string_view b) {
    scritti += b.size();
    return Scrivi(b);
  };
  const bool ok = w.Scrivi(
      conta,
      [&](uint64_t Dimensione) {
        // The header goes first; the stream follows it, then the tables.
        return Pianta(Dimensione, p, Errore) && Scrivi(Testata_Documento(p));
      },
      Errore);
  if (!ok) return false;
  // The stream's last sector filled up with zeros.
  if (const uint64_t coda = p.Dimensione - scritti; coda && !Scrivi(std::string(static_cast<size_t>(coda), '\0'))) return false;
  return Scrivi(Tabelle_Documento(p));
}

bool Libro::Componi(std::string& Dati, std::string& Errore) const {
  Dati.clear();
  return Componi([&Dati](std::string_view b) { Dati.append(b); return true; }, Errore);
}

bool Libro::Salva(const std::string& File, std::string& Errore) const {
  files::AtomicFile f;
  if (!f.open(File)) {
    Errore = "impossibile scrivere " + File;
    return false;
  }
  std::string errore;
  if (!Componi([&f](std::string_view b) { return f.write(b); }, errore)) {
    Errore = errore.empty() ? "impossibile scrivere " + File : errore;
    return false;
  }
  if (!f.commit()) {
    Errore = "impossibile scrivere " + File;
    return false;
  }
  return true;
}

}  // namespace kyx::xls
