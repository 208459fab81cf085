// frmOpzioni: the numbered slots of KYX.INI ("001", "002", ... up to Numero_Profili, no gaps).
// Moving and adding save the slot being left; deleting moves the whole sections that follow one
// number down, so that the slots stay without gaps.
#include <string>
#include <vector>

#include "common/impostazioni.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/ini/ini_file.h"
#include "platform/ui/pointer.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

// The buffer of a whole-section read: the entries "key=value", each ended by a null character,
// and a second null character after the last. A longer section comes back cut where the buffer
// ends, as the read returns it.
constexpr size_t kBuffer_Sezione = 32768;

std::vector<std::string> Leggi_Sezione(const ini::IniFile& File, const std::string& Sezione) {
  std::vector<std::string> righe;
  size_t usati = 0;
  const size_t spazio = kBuffer_Sezione - 2;
  for (const std::string& r : File.ReadSection(Sezione)) {
    if (usati + r.size() + 1 > spazio) {
      // The cut entry keeps its own ending null character inside the buffer.
      if (usati + 1 < spazio) righe.push_back(r.substr(0, spazio - usati - 1));
      break;
    }
    righe.push_back(r);
    usati += r.size() + 1;
  }
  return righe;
}

}  // namespace

void FrmOpzioni::Inizio_Cambio() {
  SetEnabled(false);
  Imposta_Puntatore(ui::vbHourglass);
  host::DoEvents();
}

void FrmOpzioni::Fine_Cambio() {
  SetEnabled(true);
  Imposta_Puntatore(ui::vbDefault);
  host::DoEvents();
}

void FrmOpzioni::Sposta(int16_t Nuovo) {
  bool Esito = false;
  Controlla_Opzioni(false, Esito);
  if (!Esito) return;
  Inizio_Cambio();
  Salva_Opzioni(Profilo_Corrente);
  Profilo_Corrente = Nuovo;
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Visualizza_Opzioni();
  Fine_Cambio();
  // The new slot is checked at once: it may ask for its missing folders and marks its first
  // invalid box.
  Controlla_Opzioni(false, Esito);
}

void FrmOpzioni::UpDown_UpClick() {
  if (Profilo_Corrente < Numero_Profili) Sposta(static_cast<int16_t>(Profilo_Corrente + 1));
}

void FrmOpzioni::UpDown_DownClick() {
  if (Profilo_Corrente > 1) Sposta(static_cast<int16_t>(Profilo_Corrente - 1));
}

void FrmOpzioni::cmdAggiunta_Click() {
  bool Esito = false;
  Controlla_Opzioni(false, Esito);
  if (!Esito) return;
  Inizio_Cambio();
  Salva_Opzioni(Profilo_Corrente);
  Numero_Profili = static_cast<int16_t>(Numero_Profili + 1);
  Profilo_Corrente = Numero_Profili;
  // The new slot is a copy of every field shown, with a description date that makes its first
  // login reload every description.
  txtDataDesc->SetText("01/01/2000");
  txtOraDesc->SetText("01:01:01");
  Salva_Opzioni(Profilo_Corrente);
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Visualizza_Opzioni();
  Fine_Cambio();
  Controlla_Opzioni(false, Esito);
  Elaborazione_Corrente = 0;
}

void FrmOpzioni::cmdElimina_Click() {
  // No question: the button is enabled only while more than one slot exists. Over a running
  // program the slot in use stays: its windows and databases are open on it, and a cancel must
  // find it again to go on with it.
  if (Modo > 1 && Profilo_Corrente == Profilo_Salvato) {
    host::MsgBox("Il sistema informativo in uso\rnon pu\xF2 essere eliminato.", host::vbExclamation, Titolo_Programma);
    return;
  }
  ini::IniFile File(File_Ini);
  File.set_private(true);
  File.WriteSection(Numero_Cifre(Profilo_Corrente, 3), {});
  const int16_t Ultimo = Numero_Profili;
  for (int n = Profilo_Corrente + 1; n <= Ultimo; ++n) {
    const std::string Sezione = Numero_Cifre(n, 3);
    File.WriteSection(Numero_Cifre(n - 1, 3), Leggi_Sezione(File, Sezione));
    File.WriteSection(Sezione, {});
  }
  Numero_Profili = static_cast<int16_t>(Numero_Profili - 1);
  // The slot in use, when it came after the deleted one, has moved down with the others.
  if (Modo > 1 && Profilo_Salvato > Profilo_Corrente) Profilo_Salvato = static_cast<int16_t>(Profilo_Salvato - 1);
  if (Profilo_Corrente > Numero_Profili) Profilo_Corrente = Numero_Profili;
  int32_t hDC = hWnd();
  Carica_Opzioni(Profilo_Corrente, hDC);
  Visualizza_Opzioni();
  bool Esito = false;
  Controlla_Opzioni(false, Esito);
  Elaborazione_Corrente = 0;
}

}  // namespace kyx
