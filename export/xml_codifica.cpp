#include "export/xml_codifica.h"

#include <array>

#include "platform/text/cp1252.h"

namespace kyx {
namespace {

// The written form of each of the 256 bytes, built once.
const std::array<std::string, 256>& Forme() {
  static const std::array<std::string, 256> forme = [] {
    std::array<std::string, 256> f;
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
        f[b] = std::string(1, c);
      } else if (b < 0x20 && b != 0x09 && b != 0x0A && b != 0x0D) {
        f[b] = "&#32;";
      } else {
        f[b] = "&#" + std::to_string(static_cast<uint32_t>(text::code_point(static_cast<unsigned char>(b)))) + ";";
      }
    }
    return f;
  }();
  return forme;
}

}  // namespace

void XML_Codifica_In(std::string& Uscita, std::string_view Testo) {
  const auto& forme = Forme();
  for (char c : Testo) {
    const std::string& f = forme[static_cast<unsigned char>(c)];
    if (f.size() == 1) {
      Uscita.push_back(c);
    } else {
      Uscita.append(f);
    }
  }
}

std::string XML_Codifica(std::string_view Testo) {
  std::string out;
  out.reserve(Testo.size() * 2);
  XML_Codifica_In(out, Testo);
  return out;
}

}  // namespace kyx
