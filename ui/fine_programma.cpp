// Fine_Programma: the orderly shut-down of the main program.
#include <cmath>
#include <string>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ui/ky_form.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/frm_debug.h"
#include "ui/impostazioni_generali.h"

namespace kyx {

namespace {

std::string Flag(bool v) { return v ? "S" : "N"; }

std::string Intero(double v, const char* Maschera) {
  return vb::Format(static_cast<int64_t>(std::llround(v)), Maschera);
}

}  // namespace

void Fine_Programma() {
  FrmBase* f = frmBase.peek();
  if (vb::InStr(Riga_Comando, "/NOHOOK") == 0) {
    if (f) f->Hook_Rimuovi();
    host::DoEvents();
  }

  // The placement is written only for a normal window: a minimised or maximised one leaves the
  // last normal placement in the file.
  if (f) {
    const int Stato = f->WindowState();
    Scrivi_Ini("Generale", "WindowState", vb::Format(int64_t{Stato}, "0"));
    if (Stato == ui::vbNormal) {
      Scrivi_Ini("Generale", "Left", Intero(f->Left(), "0"));
      Scrivi_Ini("Generale", "Top", Intero(f->Top(), "0"));
      Scrivi_Ini("Generale", "Width", Intero(f->Width(), "0"));
      Scrivi_Ini("Generale", "Height", Intero(f->Height(), "0"));
    }
  }
  // Twelve decimals with the locale's separator, which the next start reads back.
  Scrivi_Ini("Generale", "per_altezza", vb::Format(Per_Altezza, "0.000000000000"));
  Scrivi_Ini("Generale", "per_larghezza", vb::Format(Per_Larghezza, "0.000000000000"));

  const std::string Sezione = Numero_Cifre(Profilo_Corrente, 3);
  for (int i = 0; i <= 13; ++i) {
    Scrivi_Ini(Sezione, "Dim Desc " + Numero_Cifre(i, 3),
               vb::Format(int64_t{Larghezze_Codici[i]}, "000000"));
  }
  for (int i = 0; i <= 6; ++i) {
    Scrivi_Ini(Sezione, "Dim Dati " + Numero_Cifre(i, 3),
               vb::Format(int64_t{Larghezze_Caricati[i]}, "000000"));
  }

  Scrivi_Ini("Generale", "Anno riferimento", vb::Format(int64_t{Anno_Riferimento}, "0000"));
  Scrivi_Ini("Generale", "Grafico tipo", vb::Format(int64_t{Grafico_Tipo}, "00"));
  Scrivi_Ini("Generale", "Grafico percentuale", Flag(Grafico_Percentuale));
  Scrivi_Ini("Generale", "Grafico serie", Flag(Grafico_Serie));
  Scrivi_Ini("Generale", "Grafico in righe", Flag(Grafico_In_Righe));
  Scrivi_Ini("Generale", "Grafico Etichette Y", Flag(Grafico_Etichette_Y));
  Scrivi_Ini("Generale", "Grafico Etichette Y2", Flag(Grafico_Etichette_Y2));
  Scrivi_Ini("Generale", "Grafico Etichette X", Flag(Grafico_Etichette_X));
  Scrivi_Ini("Generale", "Grafico Divisioni Y", Flag(Grafico_Divisioni_Y));
  Scrivi_Ini("Generale", "Grafico Divisioni X", Flag(Grafico_Divisioni_X));
  Scrivi_Ini("Generale", "Elementi Grafico", vb::Format(int64_t{Elementi_Grafico}, "0000"));
  Scrivi_Ini("Generale", "Ordinamento Layout", vb::Format(int64_t{Ordinamento_Layout}, "0"));
  Scrivi_Ini("Generale", "Funzione Mouse", vb::Format(int64_t{Funzione_Mouse}, "0"));

  for (auto& Chiudi : agganci_base::Chiudi_MDB) {
    if (Chiudi) Chiudi();
  }
  if (agganci_base::Sock_Stop) agganci_base::Sock_Stop();

  // The help viewer is asked to close while it is still a window.
  if (Finestra_Aiuto != 0) {
    if (ui::KyForm* aiuto = ui::KyForm::FromHwnd(Finestra_Aiuto)) {
      aiuto->close();
      host::DoEvents();
      host::DoEvents();
    }
  }
  if (Debug_Attivo && frmDebug.Loaded()) frmDebug->Unload();
}

}  // namespace kyx
