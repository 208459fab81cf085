// frmOpzioni: the folder pictures beside the four folder boxes. A press on a picture opens the
// folder browser on the box's folder and writes the chosen folder back into the box, in the
// program-relative form the profile stores when it lies inside the program folder.
#include <algorithm>
#include <string>

#include "common/stato.h"
#include "ui/dialoghi/folder.h"
#include "ui/dialoghi/frm_opzioni.h"

namespace kyx {

void FrmOpzioni::Scegli_Cartella(ui::TextBox& Casella, const char* Titolo) {
  Casella.SetFocus();
  // A single leading "\" names a folder under the program folder.
  const std::string Testo = Casella.Text();
  Cartella_Inizio = Testo;
  if (Testo.size() >= 1 && Testo[0] == '\\' && (Testo.size() < 2 || Testo[1] != '\\')) {
    Cartella_Inizio = Cartella_Programma + Testo.substr(1);
  }
  Cartella_Scelta = Sfoglia_Cartella(*this, Titolo, Cartella_Inizio);
  if (Cartella_Scelta.empty()) return;
  // Only a leading program folder becomes "\": the same folder text met deeper inside another
  // path (a copy of the program's tree on another disk) is part of that path and stays.
  std::string Testo_Nuovo = Cartella_Relativa(Cartella_Scelta);
  // Inside the program folder the text takes the stored form, "\Dati\STORICO\".
  if (Testo_Nuovo != Cartella_Scelta) std::replace(Testo_Nuovo.begin(), Testo_Nuovo.end(), '/', '\\');
  Casella.SetText(Testo_Nuovo + "\\");
}

void FrmOpzioni::imgCartellaSi_MouseDown() { Scegli_Cartella(*txtCartellaSi, "Cartella dati"); }
void FrmOpzioni::imgDirStorico_MouseDown() { Scegli_Cartella(*txtDirStorico, "Cartella storico"); }
void FrmOpzioni::imgDirPref_MouseDown() { Scegli_Cartella(*txtDirPref, "Cartella preferiti"); }
void FrmOpzioni::imgDirSalva_MouseDown() { Scegli_Cartella(*txtDirSalva, "Cartella salvataggi"); }

}  // namespace kyx
