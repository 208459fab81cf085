#pragma once
// The options dialog frmOpzioni: edits the connection profiles of KYX.INI one slot at a time and
// applies one of them. Applying is also the second half of every login, so the dialog opens in
// three modes: 1 at start-up and 2 at a change of information system (both from the login
// dialog: a valid profile is applied at once and the dialog never shows), 3 from the main
// window's button "Opzioni" (always shown). One class over several files:
//   frm_opzioni.cpp            the controls, built in code on the dialog's help-area grid
//   frm_opzioni_carica.cpp     Carica, the keys, cancel and what closing restores
//   frm_opzioni_campi.cpp      Visualizza_Opzioni and Salva_Opzioni
//   frm_opzioni_controlla.cpp  Controlla_Opzioni, the check of the profile in its fixed order
//   frm_opzioni_aggiorna.cpp   cmdAggiorna_Click, the apply of a profile
//   frm_opzioni_profili.cpp    the slots: next, previous, add, delete
//   frm_opzioni_cartelle.cpp   the folder pictures and the folder browser
//   frm_opzioni_colori.cpp     the colour labels and the data font
//   frm_opzioni_pulizia.cpp    the maintenance buttons
#include <QRect>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/form_instance.h"
#include "platform/ui/ky_form.h"
#include "platform/ui/line_control.h"
#include "platform/ui/simple_controls.h"

namespace kyx {

class FrmOpzioni : public ui::KyForm {
 public:
  FrmOpzioni();

  // Opens the dialog in mode `Modo` with the password typed at login ("" from the toolbar).
  void Carica(int32_t& Modo, const std::string& Password);

  // Fills every profile control from the loaded profile (the shared state).
  void Visualizza_Opzioni();
  // Writes the controls into the section of slot `Profilo`. Nothing is written, after a message,
  // when the user name is blank, the date reads "88/88/8888", or the connection block holds a
  // character the scrambling cannot store (that box is marked).
  void Salva_Opzioni(int16_t Profilo);
  // Normalises and checks the controls in their fixed order, marking the first box that fails.
  // With Senza_Messaggi no box is shown: a check that would ask or report fails at once.
  void Controlla_Opzioni(bool Senza_Messaggi, bool& Esito);

  // ---- Events ----
  void cmdAggiorna_Click();
  void cmdEsci_Click();
  void Form_KeyDown(int& KeyCode, int Shift) override;
  void Form_QueryUnload(int16_t& Cancel, int UnloadMode) override;
  // The slots of KYX.INI: the arrows move to the next and previous slot, "Aggiunta" adds a copy of
  // the slot shown, "Elimina" deletes it and moves the following slots down.
  void UpDown_UpClick();
  void UpDown_DownClick();
  void cmdAggiunta_Click();
  void cmdElimina_Click();
  // The folder pictures: the folder browser on the box's folder, the choice back into the box.
  void imgCartellaSi_MouseDown();
  void imgDirStorico_MouseDown();
  void imgDirPref_MouseDown();
  void imgDirSalva_MouseDown();
  // The colour labels (colour dialog; Ctrl and the left button on a level label: font dialog)
  // and the data font.
  void lblColoreRiga_MouseUp(int Index, int Button, int Shift);
  void lblColoreLiv_MouseUp(int Index, int Button, int Shift);
  void lblFontDati_Click();
  // Maintenance: descriptions, history, detail data ("Pulizia Prefer." and "Anno Riferim." are
  // the layout files' and reach the dialog through agganci_dialoghi::Opzioni).
  void cmdDescrizioni_Click();
  void cmdStorico_Click();
  void cmdDettaglio_Click();
  // What every maintenance button does first: the check of the profile shown, then the question
  // (Yes and No, No the default, warning icon); true on Yes.
  bool Conferma_Pulizia(const std::string& Domanda);

  // ---- Display marks of a text box ----
  // Normal colours.
  static void Normale(ui::TextBox& Casella);
  // Highlight colours, and the focus when the box can take it (the dialog is visible).
  static void Marca(ui::TextBox& Casella);
  static bool Marcata(const ui::TextBox& Casella);

  // ---- Members ----
  // The opening mode; 0 after a completed apply, so that closing restores nothing.
  int32_t Modo = 0;
  // The password kept by the dialog: the one typed at login, or Password_Utente once shown.
  std::string Password_Login;
  // The folder of the box being checked, with a program-relative text made absolute.
  std::string Cartella_Risolta;
  // What the last quiet check found wrong with a folder (the message the loud check shows), or
  // empty: said before the dialog shows itself for correction, so the user knows why.
  std::string Motivo_Cartella;
  // Set when an apply met a local database it could not open and ended the program.
  bool Fine_Richiesta = false;
  // The start folder and the chosen folder of the last folder pick.
  std::string Cartella_Inizio;
  std::string Cartella_Scelta;

  // ---- Controls ----
  ui::Label* Release;
  ui::Label* lblSistema;
  ui::Label* lblNumSi;
  ui::UpDown* UpDown;
  ui::CommandButton* cmdAggiunta;
  ui::CommandButton* cmdElimina;

  ui::TextBox* txtConnessione;
  ui::TextBox* txtPorta;
  ui::TextBox* txtUtente;
  ui::TextBox* txtPassword;
  ui::TextBox* txtDataBaseSQL;
  ui::TextBox* txtNomeSi;
  ui::TextBox* txtDescrizioneSi;
  ui::TextBox* txtCartellaSi;
  ui::TextBox* txtDirStorico;
  ui::TextBox* txtDirPref;
  ui::TextBox* txtDirSalva;
  ui::Label* imgCartellaSi;
  ui::Label* imgDirStorico;
  ui::Label* imgDirPref;
  ui::Label* imgDirSalva;
  ui::ComboBox* cmbExtSalva;
  ui::ComboBox* cmbAdatta;
  ui::TextBox* txtDataDesc;
  ui::TextBox* txtOraDesc;
  ui::TextBox* txtElemStorico;
  ui::TextBox* txtPrecisioneColore;
  ui::CheckBox* chk01;  // "Principale"
  ui::CheckBox* chk02;  // "In elenco"
  ui::CheckBox* chk03;
  ui::CheckBox* chk04;
  ui::CheckBox* chk05;
  ui::CheckBox* chk06;
  ui::CheckBox* chk07;
  ui::CheckBox* chk08;
  ui::CheckBox* chk09;
  ui::CheckBox* chk10;
  std::array<ui::Label*, 10> lblColoreRiga{};  // 0 .. 9
  std::array<ui::Label*, 37> lblColoreLiv{};   // 1 .. 36 (0 unused)
  ui::Label* lblFontDati;
  std::array<ui::TextBox*, 10> txtLiv{};      // 1 .. 9 (0 unused)
  ui::CommandButton* cmdDescrizioni;
  ui::CommandButton* cmdStorico;
  ui::CommandButton* cmdDettaglio;
  ui::CommandButton* cmdPreferiti;
  ui::CommandButton* cmdAnnoRiferimento;
  ui::CommandButton* cmdAggiorna;
  ui::CommandButton* cmdEsci;
  std::array<ui::LineControl*, 8> L_twE{};

  // Every text box of the dialog, the level texts and the password included.
  std::vector<ui::TextBox*> Caselle_Testo() const;

  // The help-area rectangles 1 .. 41 of the dialog (outer-frame pixels, edges inclusive), on
  // which the controls are laid out; the context help finds its topics by them.
  static QRect Area_Aiuto(int Riga);

 private:
  void Crea_Controlli();
  void Crea_Colori_E_Livelli();
  void Collega_Gestori();
  // The check of one folder box; false stops the validation.
  bool Controlla_Cartella(ui::TextBox& Casella, bool Senza_Messaggi);
  // Whether the four fields of the connection block can be scrambled; marks the first that cannot.
  bool Blocco_Codificabile();
  // The beginning and the end of a move between slots: the dialog gated, the hourglass shown.
  void Inizio_Cambio();
  void Fine_Cambio();
  // Saves the slot shown and shows slot `Nuovo` (the arrows).
  void Sposta(int16_t Nuovo);
  // One folder picture: the browser on the box's folder, the choice back into the box.
  void Scegli_Cartella(ui::TextBox& Casella, const char* Titolo);
};

inline ui::FormInstance<FrmOpzioni> frmOpzioni;

}  // namespace kyx
