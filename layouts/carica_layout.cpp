// Carica_Layout: a layout file pair back into the shared state, as saved or run again.
#include <memory>

#include "common/modello.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "engine/agganci_motore.h"
#include "engine/elaborazione.h"
#include "engine/ricalcola_colonne.h"
#include "engine/stato_motore.h"
#include "layouts/agganci_layout.h"
#include "layouts/file_layout.h"
#include "layouts/layout.h"
#include "layouts/stato_layout.h"
#include "platform/data/static_recordset.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

void Chiama(const std::function<void()>& f) {
  if (f) f();
}

void Avviso(const std::string& file, const std::string& motivo) {
  host::MsgBox("Impossibile caricare l'elaborazione" + std::string("\r") + file + "\r" + motivo, host::vbExclamation,
               Titolo_Programma);
}

// The column model from the file: every column to the loader's defaults, then the file's values.
void Applica_Colonne(const Contenuto_Layout& L) {
  for (size_t c = 0; c < 256; ++c) {
    const Colonna_Layout& k = L.Colonne[c];
    Col_Intestazione[c] = k.Intestazione;
    Col_Allineamento[c] = k.Allineamento;
    Col_Larghezza[c] = k.Larghezza;
    Col_Larghezza_Stampa[c] = k.Larghezza_Stampa;
    Col_Visibile[c] = k.Visibile;
    Col_Visibile_Memoria[c] = k.Visibile;
    Col_Ordine[c] = k.Ordine;
    Col_Chiave[c] = k.Chiave;
    Col_Descrizione[c] = k.Descrizione;
    Col_Calcolo[c] = k.Calcolo;
    Col_Tipo[c] = k.Tipo;
    Col_VCK[c] = k.VCK;
    Col_VCC[c] = k.VCC;
    Col_Testo[c] = k.VCC;
    Col_Formato[c] = k.Formato;
    if (k.Attributo) Col_Attributo[c] = *k.Attributo;
    if (k.Kde) Col_Kde[c] = *k.Kde;
    Col_Totale[c] = k.Totale;
    Col_Sistema[c] = k.Sistema;
    Col_Where[c] = k.Where;
    for (size_t j = 0; j < 64; ++j) Col_Where_Flag[c][j] = k.Where_Flag[j] ? int16_t{-1} : int16_t{0};
    Col_Precedenza[c] = k.Precedenza;
  }
}

template <typename T>
void Se(const std::optional<T>& v, T& destinazione) {
  if (v) destinazione = *v;
}

void Applica_Intestazione(const Contenuto_Layout& L) {
  Se(L.Anno_Riferimento, Anno_Riferimento);
  Numero_Colonne = L.Numero_Colonne;
  if (L.Colonne_Bloccate) Colonne_Bloccate = Colonne_Bloccate_Memoria = *L.Colonne_Bloccate;
  if (L.Colonna_Ordinamento) Colonna_Ordinamento = Colonna_Ordinamento_Memoria = *L.Colonna_Ordinamento;
  if (L.Verso_Ordinamento) Verso_Ordinamento = Verso_Ordinamento_Memoria = *L.Verso_Ordinamento;
  Se(L.Numero_Livelli, Numero_Livelli);
  Se(L.Livelli_Visibili, Livelli_Visibili);
  Se(L.Precedenza_P, Precedenza_P);
  for (size_t i = 0; i < 9; ++i) {
    if (L.Liv_Riga_Chiave[i]) Liv_Riga_Chiave[i] = Liv_Riga_Precedente[i] = *L.Liv_Riga_Chiave[i];
    if (L.Liv_Colonna_Chiave[i]) Liv_Colonna_Chiave[i] = Liv_Colonna_Precedente[i] = *L.Liv_Colonna_Chiave[i];
    Se(L.Liv_Riga_Testo[i], Liv_Riga_Testo[i]);
    Se(L.Liv_Colonna_Testo[i], Liv_Colonna_Testo[i]);
    Se(L.Parametri_Descrizione[i], Parametri_Descrizione[i]);
    Se(L.Parametri_Valore[i], Parametri_Valore[i]);
  }
}

// The filter table as the file holds it: every filter cleared, then the saved values added.
void Applica_Filtri(const Contenuto_Layout& L) {
  const auto& f = agganci_layout::Carica_Filtro_Modifica;
  if (!f) return;
  f(0, "", "", 0, "T-", false);
  for (const Filtro_Salvato& v : L.Filtri) f(v.Chiave, v.Valore_1, v.Valore_2, v.Operatore, "E+", false);
}

// Layout_Corrente, Area_Corrente and Chiave_Corrente from the tree key: "L###A###[GKI]###" when
// layouts come first, else "A###[GKI]###L###".
void Decodifica_Chiave(const std::string& chiave) {
  const auto n = [&](long da) { return static_cast<int16_t>(vb::CInt(vb::Val(vb::Mid(chiave, da, 3)))); };
  if (Ordinamento_Layout != 0) {
    Layout_Corrente = n(2);
    Area_Corrente = n(6);
    Chiave_Corrente = n(10);
  } else {
    Area_Corrente = n(2);
    Chiave_Corrente = n(6);
    Layout_Corrente = n(10);
  }
  Layout_Precedente = Layout_Corrente;
}

// The favourite's saved result replaced by the new one: written beside it and renamed over it,
// so that the old result stays whole until the new one is.
bool Sostituisci_Risultato(const std::string& file_layout) {
  auto* rs = dynamic_cast<data::StaticRecordset*>(Rs_Griglia.get());
  if (!rs || !rs->IsOpen()) return false;
  const std::string file_1 = files::native_path(File_Risultato(file_layout));
  const std::string lavoro = file_1.substr(0, file_1.size() - 4) + ".TMP";
  if (!rs->Save(lavoro).ok() || !files::rename_file(lavoro, file_1)) {
    files::remove_file(lavoro);
    return false;
  }
  return ini::IniFile(file_layout).Write("Q-KRE", "_Data____", Data_Salvataggio());
}

}  // namespace

bool Carica_Layout(int16_t Passo, const std::string& Nome_File, bool Aggiorna) {
  // 1. Which file: a step through the history passes over numbers without a layout file.
  int32_t numero = Elaborazione_Corrente;
  std::string file = Nome_File;
  if (Passo != 0) {
    const int32_t verso = Passo > 0 ? 1 : -1;
    numero = Elaborazione_Corrente + Passo;
    while (numero >= Storico_Primo && numero <= Storico_Ultimo &&
           !files::file_exists(files::native_path(File_Storico(File_Storico_2, numero))))
      numero += verso;
    if (numero < Storico_Primo || numero > Storico_Ultimo || numero < 1) {
      Chiama(agganci_motore::Imposta_Bar);
      return false;
    }
    file = File_Storico(File_Storico_2, numero);
  }

  // Read and check everything before anything changes.
  std::string byte;
  if (!files::read_file(files::native_path(file), byte)) {
    Avviso(file, "il file non esiste o non \xE8 leggibile");
    return false;
  }
  Contenuto_Layout L;
  std::string motivo;
  if (!Leggi_Contenuto_Layout(byte, L, motivo)) {
    Avviso(file, motivo);
    return false;
  }
  std::unique_ptr<data::StaticRecordset> risultato;
  if (!Aggiorna) {
    const std::string file_1 = Passo != 0 ? File_Storico(File_Storico_1, numero) : File_Risultato(Nome_File);
    risultato = std::make_unique<data::StaticRecordset>();
    const data::Status s = risultato->Load(files::native_path(file_1));
    if (!s.ok()) {
      Avviso(file_1, s.ToString());
      return false;
    }
  }

  if (Passo != 0) {
    Elaborazione_Corrente = numero;
    Chiama(agganci_motore::Imposta_Bar);
  }
  // 2. - 7.
  Modo_Griglia = 3;
  Chiave_Elenco = -1;
  const int16_t ordinamento_prima = Ordinamento_Layout;
  Ordinamento_Layout = L.Ordinamento_Layout;
  Applica_Colonne(L);
  const int32_t corrente = Elaborazione_Corrente;
  Applica_Intestazione(L);
  std::string chiave_layout = agganci_layout::Leggi_Chiave_Layout ? agganci_layout::Leggi_Chiave_Layout() : "";
  if (L.Chiave_Layout) chiave_layout = *L.Chiave_Layout;
  Applica_Filtri(L);
  Chiama(agganci_layout::Carica_Albero_Chiavi);
  Elaborazione_Corrente = corrente;
  if (Ordinamento_Layout != ordinamento_prima) Chiama(agganci_layout::Carica_Albero_Struttura);

  // 8., 9. The layout node of the tree, marked; a layout the tree no longer has is forgotten.
  Decodifica_Chiave(chiave_layout);
  const bool segnato = agganci_layout::Segna_Layout && agganci_layout::Segna_Layout(chiave_layout);
  if (!segnato) {
    chiave_layout.clear();
    Numero_Record = 0;
  }
  if (agganci_layout::Imposta_Chiave_Layout) agganci_layout::Imposta_Chiave_Layout(chiave_layout);
  if (!segnato) Chiama(agganci_motore::Imposta_Bar);

  bool riuscito = true;
  if (Aggiorna) {
    // 10. Run again; a favourite keeps its saved result unless the run went through to its end.
    riuscito = false;
    if (!vb::Trim(chiave_layout).empty()) {
      riuscito = Esegui_Elaborazione();
      if (riuscito && Passo == 0) riuscito = Sostituisci_Risultato(Nome_File);
    }
  } else {
    // 11. The saved result shown as it was.
    if (agganci_motore::Imposta_Titolo) agganci_motore::Imposta_Titolo(L.Titolo);
    Rs_Griglia = std::move(risultato);
    Numero_Record = static_cast<int32_t>(Rs_Griglia->RecordCount());
    Filtro_Griglia = static_cast<data::StaticRecordset*>(Rs_Griglia.get())->Filter();
    Colonna_Ordinamento_Memoria = Colonna_Ordinamento;
    Verso_Ordinamento_Memoria = Verso_Ordinamento;
    int16_t modo = -1;
    Ricalcola_Colonne(modo);
    if (Numero_Livelli != 1) {
      Grafico_Visibile = false;
      Chiama(agganci_layout::Ridimensiona);
    }
    Chiama(agganci_motore::Imposta_Bar);
  }
  // 12.
  Conta_Righe_Intestazione();
  return riuscito;
}

}  // namespace kyx
