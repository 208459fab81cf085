// Imposta_Form_Base: the list widths of the current profile, the history numbers and the
// tooltips of the main window.
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/impostazioni_generali.h"

namespace kyx {

namespace {

// A stored column width (twips): 0 or less, not a number, or beyond 32767 gives 1500.
int16_t Larghezza(const std::string& Sezione, const std::string& Chiave) {
  const std::optional<int32_t> v = Valore_Intero(Leggi_Ini(Sezione, Chiave, "1500"));
  if (!v || *v <= 0 || *v > 32767) return 1500;
  return static_cast<int16_t>(*v);
}

// The number of a history file "KYX_E_nnnnnn_1.DAT": the digits after "KYX_E_" up to the next
// "_". Names whose number is not all digits are not the program's and are left alone (-1).
int64_t Numero_Storico(std::string_view Nome) {
  constexpr std::string_view kPrefisso = "KYX_E_";
  if (Nome.size() <= kPrefisso.size()) return -1;
  const std::string_view resto = Nome.substr(kPrefisso.size());
  const std::size_t fine = resto.find('_');
  if (fine == 0 || fine == std::string_view::npos || fine > 9) return -1;
  int64_t n = 0;
  for (char c : resto.substr(0, fine)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The folder part of a file text (up to and including its last separator) and the rest.
std::pair<std::string, std::string> Dividi_Percorso(const std::string& Percorso) {
  const std::size_t p = Percorso.find_last_of("\\/");
  if (p == std::string::npos) return {"", Percorso};
  return {Percorso.substr(0, p + 1), Percorso.substr(p + 1)};
}

void Imposta_Tooltip(FrmBase& f) {
  static const std::pair<const char*, const char*> kToolbar1[] = {
      {"Uscita", " Uscita "},
      {"SInf", " Scelta del sistema informativo "},
      {"Server", " Collegamento con il server "},
      {"DatiLocali", " Dati locali "},
      {"Precedente", " Elaborazione precedente "},
      {"Successivo", " Elaborazione successiva "},
      {"Preferiti", " Gestione dei preferiti "},
      {"Grafico", " Visualizzazione dei dati in forma grafica "},
      {"Visualizza", " Imposta visualizzazione "},
      {"Colonne", " Scelta delle colonne da visualizzare "},
      {"FiltroPulizia", " Pulizia del filtro "},
      {"FiltroTipo", " Cambia tipo del filtro "},
      {"MouseTipo", " Imposta tasto sinistro del mouse "},
      {"Elabora", " Aggiorna elaborazione "},
      {"SetStampa", " Imposta la stampa "},
      {"Stampa", " Stampa "},
      {"Salva", " Salvataggio dei dati "},
      {"Opzioni", " Opzioni "},
      {"Help", " Aiuto "},
      {"Help_1", " ? "},
  };
  static const std::pair<const char*, const char*> kPannelli[] = {
      {"Utente", " Nome utente "},
      {"Ambiente", " Ambiente di lavoro "},
      {"Progress", " Progressione / Tempo impiegato in sec. "},
      {"Numero", " Numero dei records "},
      {"Stato", " Messaggio di stato "},
      {"Data", " Data corrente "},
      {"Ora", " Ora corrente "},
  };
  if (Messaggi_Aiuto) {
    for (const auto& [chiave, testo] : kToolbar1) f.Toolbar1->Buttons(chiave).SetToolTipText(testo);
    f.Flt_Toolbar->Buttons("FiltroBoxPulizia").SetToolTipText(" Elimina la riga del filtro  ");
    f.Flt_Toolbar->Buttons("FiltroBoxAggiorna").SetToolTipText(" Inserisce la riga del filtro  ");
    for (const auto& [chiave, testo] : kPannelli) f.StatusBar1->Panels(chiave).SetToolTipText(testo);
    f.twL->SetToolTipText(" click su elaborazione per eseguire ");
    f.twF->SetToolTipText(" click(sinistro) elenco, click(destro) pulizia chiave ");
    f.Grafico->SetToolTipText(" click su elemento per inserirlo nel filtro ");
    f.PicLayout->SetToolTipText(" click per cambiare ordinamento all'elenco dei layout ");
  } else {
    for (int i = 1; i <= f.Toolbar1->Count(); ++i) f.Toolbar1->Buttons(i).SetToolTipText("");
    for (int i = 1; i <= f.Flt_Toolbar->Count(); ++i) f.Flt_Toolbar->Buttons(i).SetToolTipText("");
    for (int i = 1; i <= f.StatusBar1->Count(); ++i) f.StatusBar1->Panels(i).SetToolTipText("");
    f.twL->SetToolTipText("");
    f.twF->SetToolTipText("");
    f.Grafico->SetToolTipText("");
    f.PicLayout->SetToolTipText("");
  }
}

}  // namespace

void Imposta_Form_Base() {
  In_Caricamento = true;
  const std::string Sezione = Numero_Cifre(Profilo_Corrente, 3);
  for (int i = 0; i <= 13; ++i) {
    Larghezze_Codici[i] = Larghezza(Sezione, "Dim Desc " + Numero_Cifre(i, 3));
  }
  for (int i = 0; i <= 6; ++i) {
    Larghezze_Caricati[i] = Larghezza(Sezione, "Dim Dati " + Numero_Cifre(i, 3));
  }

  const std::string Cartella = files::native_path(Cartella_Storico);
  if (Storico_Pulizia_Login) {
    files::remove_files(Cartella, "KYX_E_*.DAT");
    Storico_Primo = 1;
    Storico_Ultimo = 0;
    Elaborazione_Corrente = 0;
  }

  // The history numbers come from the first file of each pair. The oldest and the newest are the
  // smallest and the largest number found (the same as the first and last name while numbers
  // have six digits, and still right beyond 999999, where name order and number order part).
  const auto [Cartella_1, Modello_1] = Dividi_Percorso(File_Storico_1);
  const std::string Modello = vb::Replace(Modello_1, "######", "*");
  std::vector<int64_t> Numeri;
  for (const std::string& nome : files::list_files(files::native_path(Cartella_1), Modello)) {
    const int64_t n = Numero_Storico(nome);
    if (n >= 0 && n <= 2147483647) Numeri.push_back(n);
  }
  if (Numeri.empty()) {
    Storico_Primo = 1;
    Storico_Ultimo = 0;
  } else {
    Storico_Primo = static_cast<int32_t>(*std::min_element(Numeri.begin(), Numeri.end()));
    Storico_Ultimo = static_cast<int32_t>(*std::max_element(Numeri.begin(), Numeri.end()));
  }
  Elaborazione_Corrente = Storico_Ultimo;

  // Pruning: only the newest Elementi_Storico numbers stay. Both files of an older number go
  // (its "_1" and "_2"); the first number kept becomes Storico_Primo. Going through the numbers
  // found, not every number of the range, keeps a gap of a million numbers from taking a million
  // folder listings.
  const int64_t Ultimo_Da_Togliere = int64_t{Storico_Ultimo} - Elementi_Storico;
  if (!Numeri.empty() && Storico_Primo <= Ultimo_Da_Togliere) {
    for (int64_t n : Numeri) {
      if (n <= Ultimo_Da_Togliere) {
        files::remove_files(Cartella, "KYX_E_" + Numero_Cifre(n, 6) + "_*.DAT");
      }
    }
    Storico_Primo = static_cast<int32_t>(Ultimo_Da_Togliere + 1);
  }

  Imposta_Tooltip(*frmBase);
  Layout_Precedente = -123;
  In_Caricamento = false;
}

}  // namespace kyx
