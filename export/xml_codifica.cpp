#include "export/xml_codifica.h"

#include "platform/text/cp1252.h"

namespace kyx {

std::string XML_Codifica(std::string_view Testo) {
  std::string out;
  out.reserve(Testo.size() * 2);
  for (char c : Testo) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      out += c;
    } else {
      out += "&#" + std::to_string(static_cast<uint32_t>(text::code_point(static_cast<unsigned char>(c)))) + ";";
    }
  }
  return out;
}

}  // namespace kyx
