#pragma once
// Printed PDF files read back by poppler's tools: the page count and size (pdfinfo), the text of
// each page as laid out (pdftotext -layout), the words with their boxes in points (pdftotext
// -bbox) and a page's pixels (pdftoppm).
#include <array>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace kyx::test {

inline std::string Esegui(const std::string& comando) {
  std::string out;
  FILE* p = popen(comando.c_str(), "r");
  if (!p) return out;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) out.append(buf.data(), n);
  pclose(p);
  return out;
}

// Number of pages; -1 when pdfinfo cannot read the file.
inline int Pagine(const std::string& pdf) {
  std::smatch m;
  const std::string info = Esegui("pdfinfo '" + pdf + "' 2>/dev/null");
  if (!std::regex_search(info, m, std::regex("Pages:\\s+(\\d+)"))) return -1;
  return std::stoi(m[1]);
}

// Page size in points (width, height).
inline std::pair<double, double> Formato(const std::string& pdf) {
  std::smatch m;
  const std::string info = Esegui("pdfinfo '" + pdf + "' 2>/dev/null");
  if (!std::regex_search(info, m, std::regex("Page size:\\s+([0-9.]+) x ([0-9.]+)"))) return {0, 0};
  return {std::stod(m[1]), std::stod(m[2])};
}

// The text of page n (1-based).
inline std::string Testo(const std::string& pdf, int n) {
  return Esegui("pdftotext -layout -f " + std::to_string(n) + " -l " + std::to_string(n) + " '" + pdf + "' -");
}

struct Parola {
  int pagina;
  double x1, y1, x2, y2;  // points from the page's top left corner
  std::string testo;
};

inline std::vector<Parola> Parole(const std::string& pdf) {
  std::vector<Parola> out;
  const std::string html = Esegui("pdftotext -bbox '" + pdf + "' -");
  const std::regex pagina("<page "), parola(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  int n = 0;
  std::istringstream righe(html);
  std::string riga;
  std::smatch m;
  while (std::getline(righe, riga)) {
    if (std::regex_search(riga, pagina)) ++n;
    if (std::regex_search(riga, m, parola)) {
      out.push_back({n, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
  }
  return out;
}

// Page n rendered at `dpi` as RGB pixels.
struct Immagine {
  int larghezza = 0, altezza = 0;
  std::string rgb;
  std::array<int, 3> operator()(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * larghezza + x) * 3;
    return {static_cast<unsigned char>(rgb[i]), static_cast<unsigned char>(rgb[i + 1]), static_cast<unsigned char>(rgb[i + 2])};
  }
};

inline Immagine Rendi(const std::string& pdf, int n, int dpi, const std::string& base) {
  Esegui("pdftoppm -r " + std::to_string(dpi) + " -f " + std::to_string(n) + " -l " + std::to_string(n) +
         " -singlefile '" + pdf + "' '" + base + "'");
  Immagine img;
  std::ifstream f(base + ".ppm", std::ios::binary);
  std::string magic;
  int massimo;
  f >> magic >> img.larghezza >> img.altezza >> massimo;
  f.get();
  img.rgb.assign(static_cast<size_t>(img.larghezza) * img.altezza * 3, '\0');
  f.read(img.rgb.data(), static_cast<std::streamsize>(img.rgb.size()));
  if (magic != "P6") img = {};
  return img;
}

}  // namespace kyx::test
