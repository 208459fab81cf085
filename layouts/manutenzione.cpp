#include "layouts/manutenzione.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <system_error>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

// Depth first: every sub-folder, then each file of the folder that matches the pattern. The
// walk stops at the first file that `tratta` cannot handle, which goes to Non_Riuscito.
bool Visita(const std::string& cartella, const std::string& modello, bool dall_ultimo,
            const std::function<bool(const std::string&)>& tratta, std::string& Non_Riuscito) {
  std::vector<std::string> sotto;
  int32_t numero = 0;
  Elenco_Sottocartelle(cartella, sotto, numero);
  for (int32_t j = 0; j < numero; ++j)
    if (!Visita(sotto[static_cast<size_t>(j)], modello, dall_ultimo, tratta, Non_Riuscito)) return false;
  std::vector<std::string> nomi = files::list_files(files::native_path(cartella), modello);
  if (dall_ultimo) std::reverse(nomi.begin(), nomi.end());
  for (const std::string& nome : nomi) {
    const std::string file = cartella + vb::Trim(nome);
    if (!tratta(file)) {
      Non_Riuscito = file;
      return false;
    }
  }
  return true;
}

std::vector<std::string> Righe(const std::string& byte) {
  std::vector<std::string> righe;
  size_t inizio = 0;
  while (inizio < byte.size()) {
    size_t fine = byte.find('\n', inizio);
    if (fine == std::string::npos) fine = byte.size();
    std::string r = byte.substr(inizio, fine - inizio);
    if (!r.empty() && r.back() == '\r') r.pop_back();
    righe.push_back(std::move(r));
    inizio = fine + 1;
  }
  return righe;
}

std::vector<std::string> Elementi(const std::string& elenco) {
  std::vector<std::string> e;
  size_t inizio = 0;
  for (;;) {
    const size_t v = elenco.find(',', inizio);
    e.push_back(elenco.substr(inizio, v == std::string::npos ? std::string::npos : v - inizio));
    if (v == std::string::npos) return e;
    inizio = v + 1;
  }
}

// Val of a count line; -1, which the checks below refuse, for a number too large for a Double.
double Conteggio(const std::string& v) { return vb::TryVal(v).value_or(-1); }

// The keyed form of an old positional file, or false when the file ends before the lines its
// counts announce or holds a range filter with fewer than two values.
bool Converti_Testo(const std::vector<std::string>& r, std::string& t) {
  size_t k = 0;
  bool corto = false;
  const auto prossima = [&]() -> std::string {
    if (k >= r.size()) {
      corto = true;
      return {};
    }
    return r[k++];
  };
  const auto riga = [&t](const std::string& chiave, const std::string& valore) { t += chiave + valore + "\r\n"; };
  t = "[Q-KRE]\r\n";
  static const char* const kTesta[] = {"_Elab____=", "_Link____=", "_Tito____=", "_Data____=", "_NKey____=",
                                       "_Anno____=", "_CMax____=", "_CFix____=", "_COrd____=", "_CVer____="};
  double colonne = 0;
  for (const char* chiave : kTesta) {
    const std::string v = prossima();
    if (std::string(chiave) == "_CMax____=") colonne = Conteggio(v);
    riga(chiave, v);
  }
  prossima();  // a value with no counterpart in the keyed form
  riga("_Liv_____=", prossima());
  riga("_LivV____=", prossima());
  riga("_PreP____=", "-1");
  // The count cannot exceed the lines there are: a bigger one means a damaged file.
  if (corto || colonne < 0 || colonne > 255) return false;
  static const char* const kCampi[] = {"Hea=", "Ali=", "Dim=", "DSt=", "Vis=", "Ord=", "Key=",
                                       "Des=", "Cal=", "Def=", "VCK=", "VCC=", "Fmt="};
  const int n = static_cast<int>(colonne);
  for (int c = 1; c <= n; ++c) {
    const std::string p = "C_" + Numero_Cifre(c, 3) + "_";
    for (const char* campo : kCampi) riga(p + campo, prossima());
    prossima();
    prossima();
    riga(p + "VTo=", prossima());
    riga(p + "Sin=", "");
    std::string where;
    Converti_Filtro(prossima(), where);
    riga(p + "Whe=", where);
    prossima();
    riga(p + "Pre=", vb::Format(int64_t{c - 1}, "#0"));
  }
  const double filtri = Conteggio(prossima());
  if (corto || filtri < 0 || filtri > static_cast<double>(r.size())) return false;
  for (int f = 1; f <= static_cast<int>(filtri); ++f) {
    const std::string p = "UF_" + Numero_Cifre(f, 4) + "_";
    const std::string chiave = prossima(), operatore = prossima(), elenco = prossima();
    const std::vector<std::string> e = Elementi(elenco);
    if (operatore == "=" || operatore == "N") {
      if (elenco.empty()) continue;  // an empty list gives no value
      for (const std::string& v : e) {
        riga(p + "K=", chiave);
        riga(p + "O=", operatore);
        riga(p + "U=", "");
        riga(p + "V=", v);
      }
    } else if (operatore == "R") {
      if (e.size() < 2) return false;
      riga(p + "K=", chiave);
      riga(p + "O=", "D");
      riga(p + "U=", e[1]);
      riga(p + "V=", e[0]);
    }
  }
  for (int i = 1; i <= 9; ++i) {
    const std::string d = std::to_string(i);
    riga("LV_" + d + "____K=", prossima());
    riga("LV_" + d + "____V=", prossima());
    riga("VC_" + d + "____K=", prossima());
    riga("VC_" + d + "____V=", prossima());
  }
  for (int i = 1; i <= 9; ++i) {
    const std::string d = std::to_string(i);
    riga("PA_" + d + "____D=", "");
    riga("PA_" + d + "____V=", "");
  }
  return !corto;
}

// Converts one file; a file it leaves as it is counts as handled, so the walk goes on.
bool Converti_File(const std::string& file) {
  const std::string percorso = files::native_path(file);
  std::string byte;
  if (!files::read_file(percorso, byte) || byte.empty()) return true;
  const std::vector<std::string> r = Righe(byte);
  if (r.empty() || vb::UCase(vb::Trim(r[0])) == "[Q-KRE]") return true;
  std::string testo;
  if (!Converti_Testo(r, testo)) return true;
  // The work file is renamed over the old one only once it is whole.
  const std::string lavoro = vb::Replace(percorso, "_2.DAT", "_2.TMP");
  if (lavoro == percorso) return true;
  if (!files::write_file_atomic(lavoro, testo) || !files::rename_file(lavoro, percorso)) files::remove_file(lavoro);
  return true;
}

}  // namespace

void Elenco_Sottocartelle(const std::string& Cartella, std::vector<std::string>& Elenco_Cartelle,
                          int32_t& Numero_Cartelle) {
  std::vector<std::string> nomi;
  std::error_code e;
  for (std::filesystem::directory_iterator it(files::native_path(Cartella), e), fine; !e && it != fine;
       it.increment(e)) {
    if (it->is_directory(e)) nomi.push_back(it->path().filename().string());
  }
  std::sort(nomi.begin(), nomi.end());
  Numero_Cartelle = static_cast<int32_t>(nomi.size());
  if (nomi.empty()) return;
  Elenco_Cartelle.clear();
  const std::string base = Cartella.empty() || Cartella.back() == '\\' || Cartella.back() == '/' ? Cartella : Cartella + "\\";
  for (const std::string& n : nomi) Elenco_Cartelle.push_back(base + vb::Trim(n) + "\\");
}

void Converti_Preferiti(const std::string& Cartella) {
  std::string nessuno;
  Visita(Cartella, "KYX_E_*_2.DAT", false, Converti_File, nessuno);
}

bool Imposta_Anno_Preferiti(const std::string& Cartella, std::string& Non_Aggiornato) {
  const std::string anno = Numero_Cifre(Anno_Riferimento, 4);
  return Visita(
      Cartella, "KYX_E_*_2.DAT", false,
      [&](const std::string& f) { return ini::IniFile(f).Write("Q-KRE", "_Anno____", anno); }, Non_Aggiornato);
}

bool Elimina_Preferiti(const std::string& Cartella, std::string& Non_Eliminato) {
  return Visita(
      Cartella, "KYX_E_*.DAT", true, [](const std::string& f) { return files::remove_file(files::native_path(f)); },
      Non_Eliminato);
}

void Converti_Filtro(const std::string& Testo, std::string& Risultato) {
  std::string s = " " + Testo;
  long i = 1;
  while (i < static_cast<long>(s.size())) {
    if (vb::Like(vb::Mid(s, i, 5), "k_###")) {
      const long trovato = vb::InStr(i + 5, s, "and");
      const bool ultima = trovato == 0;
      const long p = ultima ? static_cast<long>(s.size()) + 1 : trovato;
      // The tail from the blank before "and"; after the last condition there is none.
      const std::string coda = ultima ? std::string() : vb::Mid(s, p - 1);
      if (vb::InStr(vb::Mid(s, i + 5, 3), "=") > 0) {
        s = vb::Left(s, i - 1) + "((" + vb::Mid(s, i, 6) + "in(" + vb::Mid(s, i + 8, std::max(0L, p - i - 8)) + ")))" + coda;
      } else if (vb::InStr(vb::Mid(s, i + 5, 4), "<>") > 0) {
        s = vb::Left(s, i - 1) + "((" + vb::Mid(s, i, 6) + "not in(" + vb::Mid(s, i + 9, std::max(0L, p - i - 9)) + ")))" + coda;
      } else if (vb::InStr(vb::Mid(s, i + 5, 4), "in") > 0) {
        s = vb::Left(s, i - 1) + "((" + vb::Mid(s, i, 6) + "in(" + vb::Mid(s, i + 10, std::max(0L, p - i - 10)) + "))" + coda;
      } else if (vb::InStr(vb::Mid(s, i + 5, 8), "not in") > 0) {
        s = vb::Left(s, i - 1) + "(" + vb::Mid(s, i, 6) + "not in(" + vb::Mid(s, i + 14, std::max(0L, p - i - 14)) + ")" + coda;
      }
      i = p + 2;
    } else {
      ++i;
    }
  }
  Risultato = s;
}

}  // namespace kyx
