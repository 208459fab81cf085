// Saving the workbook as an Excel 97 file: the BIFF8 record stream "Workbook" (globals with
// fonts, number formats, cell formats, palette and the sheet's directory entry, then the sheet
// with column widths, cells and merged ranges) inside a compound document of 512-byte sectors.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/text/cp1252.h"
#include "platform/xls/libro.h"

namespace kyx::xls {
namespace {

class Flusso {
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
  void Byte(const std::string& s) { b_ += s; }
  std::string& Dati() { return b_; }
  size_t Size() const { return b_.size(); }

 private:
  std::string b_;
};

// A system text as UTF-16 code units (Windows-1252 maps 0x80..0x9F outside Latin-1).
std::u16string Unicode(const std::string& cp1252) {
  const std::string u8 = text::to_utf8(cp1252);
  std::u16string out;
  for (size_t i = 0; i < u8.size();) {
    const auto c = static_cast<unsigned char>(u8[i]);
    uint32_t cp = c;
    size_t n = 1;
    if (c >= 0xE0 && i + 2 < u8.size()) {
      cp = ((c & 0x0F) << 12) | ((u8[i + 1] & 0x3F) << 6) | (u8[i + 2] & 0x3F);
      n = 3;
    } else if (c >= 0xC0 && i + 1 < u8.size()) {
      cp = ((c & 0x1F) << 6) | (u8[i + 1] & 0x3F);
      n = 2;
    }
    out.push_back(static_cast<char16_t>(cp));
    i += n;
  }
  return out;
}

// A BIFF8 string: character count (8 or 16 bits), option byte, UTF-16 characters.
void Stringa(Flusso& f, const std::string& s, bool Lungo, size_t Massimo) {
  std::u16string u = Unicode(s);
  if (u.size() > Massimo) u.resize(Massimo);
  if (Lungo) f.U16(static_cast<uint32_t>(u.size())); else f.U8(static_cast<uint32_t>(u.size()));
  f.U8(1);
  for (char16_t ch : u) f.U16(ch);
}

void Record(Flusso& f, uint16_t Tipo, Flusso& Corpo) {
  f.U16(Tipo);
  f.U16(static_cast<uint32_t>(Corpo.Size()));
  f.Byte(Corpo.Dati());
}

void Bof(Flusso& f, uint16_t Tipo) {
  Flusso c;
  c.U16(0x0600);
  c.U16(Tipo);
  c.U16(0x0DBB);
  c.U16(0x07CC);
  c.U32(0);
  c.U32(0x06);
  Record(f, 0x0809, c);
}

void Eof(Flusso& f) {
  Flusso c;
  Record(f, 0x000A, c);
}

int Allineamento(int a) {
  switch (a) {
    case xlLeft: return 1;
    case xlCenter: return 2;
    case xlRight: return 3;
    default: return 0;
  }
}

// The compound document with the one stream "Workbook".
bool Documento(std::string Flusso_Libro, std::string& Uscita, std::string& Errore) {
  if (Flusso_Libro.size() < 4096) Flusso_Libro.resize(4096, '\0');  // no mini stream needed
  Flusso_Libro.resize((Flusso_Libro.size() + 511) / 512 * 512, '\0');
  const uint32_t settori = static_cast<uint32_t>(Flusso_Libro.size() / 512);
  uint32_t fat = 1;
  while ((settori + fat + 1) > fat * 128) ++fat;
  if (fat > 109) {
    Errore = "cartella di lavoro troppo grande";
    return false;
  }
  const uint32_t dir = settori + fat;
  Flusso h;
  h.Byte(std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  h.Byte(std::string(16, '\0'));
  h.U16(0x3E); h.U16(3); h.U16(0xFFFE); h.U16(9); h.U16(6);
  h.Byte(std::string(6, '\0'));
  h.U32(0); h.U32(fat); h.U32(dir); h.U32(0); h.U32(4096);
  h.U32(0xFFFFFFFE); h.U32(0); h.U32(0xFFFFFFFE); h.U32(0);
  for (uint32_t i = 0; i < 109; ++i) h.U32(i < fat ? settori + i : 0xFFFFFFFF);
  Flusso t;
  for (uint32_t i = 0; i < settori; ++i) t.U32(i + 1 < settori ? i + 1 : 0xFFFFFFFE);
  for (uint32_t i = 0; i < fat; ++i) t.U32(0xFFFFFFFD);
  t.U32(0xFFFFFFFE);
  while (t.Size() < fat * 512) t.U32(0xFFFFFFFF);
  Flusso d;
  auto voce = [&d](const std::u16string& nome, uint8_t tipo, uint32_t figlio, uint32_t inizio, uint32_t dim) {
    Flusso v;
    for (char16_t ch : nome) v.U16(ch);
    v.Dati().resize(64, '\0');
    v.U16(nome.empty() ? 0 : static_cast<uint32_t>((nome.size() + 1) * 2));
    v.U8(tipo); v.U8(1);
    v.U32(0xFFFFFFFF); v.U32(0xFFFFFFFF); v.U32(figlio);
    v.Byte(std::string(16 + 4 + 16, '\0'));
    v.U32(inizio); v.U32(dim); v.U32(0);
    d.Byte(v.Dati());
  };
  voce(u"Root Entry", 5, 1, 0xFFFFFFFE, 0);
  voce(u"Workbook", 2, 0xFFFFFFFF, 0, static_cast<uint32_t>(Flusso_Libro.size()));
  voce(u"", 0, 0xFFFFFFFF, 0, 0);
  voce(u"", 0, 0xFFFFFFFF, 0, 0);
  Uscita = h.Dati() + Flusso_Libro + t.Dati() + d.Dati();
  return true;
}

}  // namespace

bool Libro::Componi(std::string& documento, std::string& Errore) const {
  // Fonts (one per colour and weight used) and cell formats (one per distinct Formato).
  std::map<std::pair<int, bool>, int> font = {{{0, false}, 0}};
  std::map<std::string, int> numeri;
  std::map<Formato, int> formati;
  std::vector<Formato> elenco;
  auto indice_formato = [&](const Formato& f) {
    auto it = formati.find(f);
    if (it != formati.end()) return it->second;
    font.emplace(std::make_pair(f.Colore_Font, f.Grassetto), static_cast<int>(font.size()));
    if (f.Formato_Numero != "General" && f.Formato_Numero != "@")
      numeri.emplace(f.Formato_Numero, 164 + static_cast<int>(numeri.size()));
    elenco.push_back(f);
    return formati[f] = 14 + static_cast<int>(elenco.size());  // after the 15 style formats
  };
  Formato normale;
  indice_formato(normale);
  for (const auto& [pos, c] : celle_) indice_formato(c.F);

  Flusso g;
  Bof(g, 0x0005);
  { Flusso c; c.U16(1200); Record(g, 0x0042, c); }
  { Flusso c; c.U16(0x168); c.U16(0x10E); c.U16(0x3A98); c.U16(0x2328); c.U16(0x38); c.U16(0); c.U16(0); c.U16(1); c.U16(0x258); Record(g, 0x003D, c); }
  // Fonts in index order; index 4 does not exist in the file's numbering.
  std::vector<std::pair<int, bool>> fonts(font.size());
  for (const auto& [k, i] : font) fonts[static_cast<size_t>(i)] = k;
  auto numero_font = [](int i) { return i >= 4 ? i + 1 : i; };
  for (const auto& [colore, grassetto] : fonts) {
    Flusso c;
    c.U16(static_cast<uint32_t>(Font_Dimensione * 20 + 0.5));
    c.U16(grassetto ? 1 : 0);
    c.U16(colore ? static_cast<uint32_t>(colore + 7) : 0x7FFF);
    c.U16(grassetto ? 700 : 400);
    c.U16(0); c.U8(0); c.U8(0); c.U8(0); c.U8(0);
    Stringa(c, Font_Nome, false, 255);
    Record(g, 0x0031, c);
  }
  for (const auto& [testo, i] : numeri) {
    Flusso c;
    c.U16(static_cast<uint32_t>(i));
    Stringa(c, testo, true, 255);
    Record(g, 0x041E, c);
  }
  for (int i = 0; i < 15; ++i) {  // style formats
    Flusso c;
    c.U16(0); c.U16(0); c.U16(0xFFF5); c.U16(0x20); c.U32(0); c.U32(0); c.U32(0); c.U16(0x20C0);
    Record(g, 0x00E0, c);
  }
  for (const Formato& f : elenco) {
    Flusso c;
    c.U16(static_cast<uint32_t>(numero_font(font[{f.Colore_Font, f.Grassetto}])));
    const int num = f.Formato_Numero == "General" ? 0 : f.Formato_Numero == "@" ? 49 : numeri[f.Formato_Numero];
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
    Record(g, 0x00E0, c);
  }
  { Flusso c; c.U16(0x8000); c.U8(0); c.U8(0xFF); Record(g, 0x0293, c); }
  {
    Flusso c;
    c.U16(56);
    for (int32_t rgb : tavolozza_) {
      c.U8(rgb & 0xFF); c.U8((rgb >> 8) & 0xFF); c.U8((rgb >> 16) & 0xFF); c.U8(0);
    }
    Record(g, 0x0092, c);
  }
  const size_t pos_foglio = g.Size() + 4 + 4;  // where BOUNDSHEET keeps the sheet's offset
  { Flusso c; c.U32(0); c.U16(0); Stringa(c, "Foglio1", false, 31); Record(g, 0x0085, c); }
  Eof(g);

  Flusso s;
  const uint32_t inizio = static_cast<uint32_t>(g.Size());
  Bof(s, 0x0010);
  int ultima_riga = 0, ultima_colonna = 0;
  for (const auto& [pos, c] : celle_) {
    ultima_riga = std::max(ultima_riga, pos.first);
    ultima_colonna = std::max(ultima_colonna, pos.second);
  }
  if (ultima_riga > 65536 || ultima_colonna > 256) {
    Errore = "il foglio supera 65536 righe o 256 colonne";
    return false;
  }
  { Flusso c; c.U32(0); c.U32(static_cast<uint32_t>(ultima_riga)); c.U16(0); c.U16(static_cast<uint32_t>(ultima_colonna)); c.U16(0); Record(s, 0x0200, c); }
  for (const auto& [col, w] : larghezze_) {
    Flusso c;
    c.U16(static_cast<uint32_t>(col - 1)); c.U16(static_cast<uint32_t>(col - 1));
    c.U16(static_cast<uint32_t>(w)); c.U16(15); c.U16(0); c.U16(0);
    Record(s, 0x007D, c);
  }
  for (const auto& [pos, cella] : celle_) {
    Flusso c;
    c.U16(static_cast<uint32_t>(pos.first - 1));
    c.U16(static_cast<uint32_t>(pos.second - 1));
    c.U16(static_cast<uint32_t>(formati[cella.F]));
    if (cella.Numero) {
      c.F64(cella.Valore);
      Record(s, 0x0203, c);
    } else if (!cella.Testo.empty()) {
      Stringa(c, cella.Testo, true, 4000);  // one record holds up to 8224 bytes
      Record(s, 0x0204, c);
    } else {
      Record(s, 0x0201, c);
    }
  }
  for (size_t i = 0; i < unioni_.size(); i += 1000) {
    Flusso c;
    const size_t n = std::min<size_t>(1000, unioni_.size() - i);
    c.U16(static_cast<uint32_t>(n));
    for (size_t k = i; k < i + n; ++k) {
      const Zona& z = unioni_[k];
      c.U16(static_cast<uint32_t>(z.R1 - 1)); c.U16(static_cast<uint32_t>(z.R2 - 1));
      c.U16(static_cast<uint32_t>(z.C1 - 1)); c.U16(static_cast<uint32_t>(z.C2 - 1));
    }
    Record(s, 0x00E5, c);
  }
  { Flusso c; c.U16(0x06B6); c.U16(0); c.U16(0); c.U16(0x40); c.U16(0); c.U16(0); c.U16(0); c.U32(0); Record(s, 0x023E, c); }
  Eof(s);
  std::string flusso = g.Dati() + s.Dati();
  for (int i = 0; i < 4; ++i) flusso[pos_foglio - 4 + static_cast<size_t>(i)] = static_cast<char>((inizio >> (8 * i)) & 0xFF);

  return Documento(std::move(flusso), documento, Errore);
}

bool Libro::Salva(const std::string& File, std::string& Errore) const {
  std::string documento;
  if (!Componi(documento, Errore)) return false;
  files::AtomicFile f;
  if (!f.open(File) || !f.write(documento) || !f.commit()) {
    Errore = "impossibile scrivere " + File;
    return false;
  }
  return true;
}

}  // namespace kyx::xls
