#include "layouts/preferiti.h"

#include "common/impostazioni.h"
#include "common/stato.h"
#include "layouts/file_layout.h"
#include "layouts/layout.h"
#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {

int32_t Ultimo_Preferito = 0;

namespace preferiti {
void reset() { Ultimo_Preferito = 0; }
}  // namespace preferiti

namespace {

// The name after the last "\" of a path in the system's form (the folder list's names).
std::string Nome_Finale(const std::string& percorso) {
  const auto p = percorso.find_last_of("\\/");
  return p == std::string::npos ? percorso : percorso.substr(p + 1);
}

// The path of a folder's entry in the system's form.
std::string Unisci(const std::string& cartella, const std::string& nome) { return cartella + "\\" + nome; }

void Scansione(const std::string& cartella, std::vector<Voce_Preferito>& voci) {
  if (!files::folder_exists(cartella)) return;
  for (const std::string& nome : files::list_folders(cartella)) {
    Voce_Preferito v;
    v.Tag = 'C';
    v.Chiave = Unisci(cartella, nome);
    v.Padre = cartella;
    v.Testo = nome;
    voci.push_back(v);
    Scansione(v.Chiave, voci);
  }
  for (const std::string& nome : files::list_files(cartella, "KYX_E_*_2.DAT")) {
    const std::string completo = Unisci(cartella, nome);
    int32_t numero = 0;
    if (!Preferito_Valido(completo, numero)) continue;
    if (numero > Ultimo_Preferito) Ultimo_Preferito = numero;
    Voce_Preferito v;
    v.Tag = 'F';
    v.Chiave = completo;
    v.Padre = cartella;
    v.Testo = Valore_Preferito(completo, "_Elab____");
    v.Link = Valore_Preferito(completo, "_Link____");
    v.Anno = Valore_Preferito(completo, "_Anno____");
    voci.push_back(v);
  }
}

bool Ha_Controllo(const std::string& testo) {
  for (const char c : testo) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

}  // namespace

bool Preferito_Valido(const std::string& Percorso, int32_t& Numero) {
  const auto p = Percorso.find("KYX_E_");
  if (p == std::string::npos) return false;
  const std::string dodici = Percorso.substr(p + 6, 12);
  if (!vb::Like(dodici, "######_2.DAT")) return false;
  Numero = static_cast<int32_t>(std::stol(dodici.substr(0, 6)));
  return true;
}

std::vector<Voce_Preferito> Elenco_Preferiti(const std::string& Cartella) {
  Ultimo_Preferito = 0;
  std::vector<Voce_Preferito> voci;
  Scansione(Cartella, voci);
  return voci;
}

std::string Valore_Preferito(const std::string& File_Layout, const std::string& Chiave) {
  return vb::Trim(ini::IniFile(File_Layout).Read("Q-KRE", Chiave, ""));
}

int32_t Numero_Libero(const std::string& Cartella) {
  int32_t n = Ultimo_Preferito + 1;
  while (n < 999999 && !files::list_files(Cartella, "KYX_E_" + Numero_Cifre(n, 6) + "*.DAT").empty()) ++n;
  return n;
}

bool Nome_Cartella_Valido(const std::string& Nome, std::string& Messaggio) {
  const std::string motivo =
      Nome.empty() || Nome == "." || Nome == ".."        ? "il nome \xE8 vuoto o riservato"
      : Nome.find_first_of("\\/") != std::string::npos    ? "il nome non pu\xF2 contenere \\ o /"
      : Ha_Controllo(Nome)                                ? "il nome contiene caratteri di controllo"
      : text::to_utf8(Nome).size() > 255                   ? "il nome \xE8 troppo lungo"
                                                          : "";
  if (motivo.empty()) return true;
  Messaggio = "Nome di cartella non valido: " + motivo;
  return false;
}

bool Testo_Preferito_Valido(const std::string& Testo, std::string& Messaggio) {
  if (!Ha_Controllo(Testo)) return true;
  Messaggio = "Il testo contiene caratteri di controllo";
  return false;
}

bool Sposta_Preferito(const std::string& File_Layout, const std::string& Destinazione, std::string& Nuovo,
                      std::string& Messaggio, const std::function<void()>& Tra_Gli_Spostamenti) {
  const std::string nuovo_2 = Unisci(Destinazione, Nome_Finale(File_Layout));
  const std::string vecchio_1 = File_Risultato(File_Layout);
  const std::string nuovo_1 = File_Risultato(nuovo_2);
  const std::string intestazione = "Impossibile spostare l'elaborazione\r";
  if (files::exists(nuovo_2) || files::exists(nuovo_1)) {
    Messaggio = intestazione + "la cartella contiene gi\xE0 un file con lo stesso nome";
    return false;
  }
  if (!files::move_no_replace(File_Layout, nuovo_2)) {
    Messaggio = intestazione + "il file " + Nome_Finale(File_Layout) + " non pu\xF2 essere spostato";
    return false;
  }
  if (Tra_Gli_Spostamenti) Tra_Gli_Spostamenti();
  // A favourite without its saved result moves alone; one whose result cannot follow goes back.
  if (files::exists(vecchio_1) && !files::move_no_replace(vecchio_1, nuovo_1)) {
    files::move_no_replace(nuovo_2, File_Layout);
    Messaggio = intestazione + "il file " + Nome_Finale(vecchio_1) + " non pu\xF2 essere spostato";
    return false;
  }
  Nuovo = nuovo_2;
  return true;
}

bool Rinomina_Cartella(const std::string& Vecchio, const std::string& Nuovo) {
  return files::move_no_replace(Vecchio, Nuovo);
}

bool Copia_Preferito(int32_t Numero, const std::string& Cartella, int32_t Numero_Nuovo, std::string& Nuovo) {
  const std::string base = Cartella_Storico + "KYX_E_" + Numero_Cifre(Numero, 6);
  const std::string destinazione = Unisci(Cartella, "KYX_E_" + Numero_Cifre(Numero_Nuovo, 6));
  if (!files::copy_file(base + "_1.DAT", destinazione + "_1.DAT")) return false;
  if (!files::copy_file(base + "_2.DAT", destinazione + "_2.DAT")) {
    files::remove_file(destinazione + "_1.DAT");
    return false;
  }
  Nuovo = destinazione + "_2.DAT";
  return true;
}

bool Elimina_Preferito(const std::string& File_Layout) {
  if (File_Layout.size() < 5) return false;
  const std::string base = File_Layout.substr(0, File_Layout.size() - 5);
  const std::string cartella = base.substr(0, base.find_last_of("\\/") == std::string::npos ? 0 : base.find_last_of("\\/"));
  const std::string modello = Nome_Finale(base) + "*.DAT";
  files::remove_files(cartella, modello);
  return files::list_files(cartella, modello).empty();
}

std::vector<std::string> Aggiorna_Preferiti(const std::vector<std::string>& File_Layout,
                                            const std::function<void()>& Dopo_Ognuno) {
  std::vector<std::string> falliti;
  for (const std::string& f : File_Layout) {
    if (!Carica_Layout(0, f, true)) falliti.push_back(f);
    if (Dopo_Ognuno) Dopo_Ognuno();
  }
  return falliti;
}

}  // namespace kyx
