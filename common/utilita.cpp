#include "common/utilita.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "common/modello.h"
#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/system_colours.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {

std::string Testo_Non_Vuoto(std::string_view Valore) {
  std::string t(text::rtrim_blanks(Valore));
  return t.empty() ? std::string(" ") : t;
}

// A number turns into text as BASIC's CStr does it: up to 15 significant digits, the exponent
// form for very large and very small values, the locale's decimal separator.
std::string Testo_Non_Vuoto(double Valore) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15G", Valore);
  std::string t(buffer);
  for (char& c : t) {
    if (c == '.') c = vb::locale().decimal;
  }
  return Testo_Non_Vuoto(std::string_view(t));
}

std::string Testo_Non_Vuoto(int64_t Valore) { return Testo_Non_Vuoto(std::to_string(Valore)); }

int16_t Minimo(int16_t A, int16_t B) { return A < B ? A : B; }

int32_t Distanza_Colore(int32_t Colore1, int32_t Colore2) {
  int32_t massimo = 0;
  for (int spostamento : {0, 8, 16}) {
    const int32_t a = (Colore1 >> spostamento) & 0xFF;
    const int32_t b = (Colore2 >> spostamento) & 0xFF;
    massimo = std::max(massimo, std::abs(a - b));
  }
  return massimo;
}

int32_t Colore_Reale(int32_t Colore) {
  if (Colore < 0) return static_cast<int32_t>(host::system_colour(Colore & 31));
  return Colore;
}

std::string Colore_Html(int32_t Colore) {
  const uint32_t c = static_cast<uint32_t>(Colore_Reale(Colore));
  // Each byte is masked: a value with bits above the blue byte would otherwise give a blue part
  // of three or more digits and a malformed HTML colour.
  const unsigned parti[3] = {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
  static const char cifre[] = "0123456789ABCDEF";
  std::string html;
  for (unsigned parte : parti) {
    html += cifre[parte >> 4];
    html += cifre[parte & 0xF];
  }
  return html;
}

void Conta_Righe_Intestazione() {
  int32_t righe = 1;
  for (int i = 0; i <= Numero_Colonne; ++i) {
    const auto& t = Col_Intestazione[static_cast<size_t>(i)];
    righe = std::max<int32_t>(righe, 1 + static_cast<int32_t>(std::count(t.begin(), t.end(), '|')));
  }
  Righe_Intestazione = righe;
}

bool Verifica_Permessi_Cartella(const std::string& Cartella, bool* Disco_Pieno) {
  if (Disco_Pieno) *Disco_Pieno = false;
  const std::string prova =
      files::native_path(std::string(text::trim_blanks(Cartella)) + "KYX_PERMESSO_.TXT");
  // The write is flushed at once, so that a full disk shows in errno here.
  const auto pieno = [&] {
    if (Disco_Pieno) *Disco_Pieno = errno == ENOSPC || errno == EDQUOT;
  };
  {
    errno = 0;
    std::ofstream out(prova, std::ios::binary | std::ios::trunc);
    if (!out) {
      pieno();
      return false;
    }
    out << "{prova}\r\n";
    out.flush();
    if (!out) pieno();
    out.close();
    if (!out) {
      if (Disco_Pieno && !*Disco_Pieno) pieno();
      files::remove_file(prova);
      return false;
    }
  }
  std::string riga;
  {
    std::ifstream in(prova, std::ios::binary);
    if (!in || !std::getline(in, riga)) {
      files::remove_file(prova);
      return false;
    }
  }
  if (!riga.empty() && riga.back() == '\r') riga.pop_back();
  const bool cancellato = files::remove_file(prova);
  return riga == "{prova}" && cancellato;
}

}  // namespace kyx
