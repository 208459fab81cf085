// frmOpzioni: the profile between the shared state and the dialog (Visualizza_Opzioni), and from
// the dialog into its section of KYX.INI (Salva_Opzioni).
#include <QFont>

#include "common/codifica_parametri.h"
#include "common/impostazioni.h"
#include "common/opzioni.h"
#include "common/stato.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "ui/dialoghi/folder.h"
#include "ui/dialoghi/frm_opzioni.h"

namespace kyx {

namespace {

// A folder as the profile shows it: inside the program folder, program-relative ("\Dati\").
// Only a leading program folder is replaced: the same text deeper in a path belongs to it.
std::string Cartella_Mostrata(const std::string& Cartella) { return Cartella_Relativa(Cartella); }

std::string Flag(const ui::CheckBox& c) { return c.Value() == 1 ? "S" : "N"; }

std::string Coppia(const ui::Label& e) {
  return Numero_Cifre(e.ForeColor(), 8) + "-" + Numero_Cifre(e.BackColor(), 8);
}

void Colori_Etichetta(ui::Label& e, int32_t Primo_Piano, int32_t Sfondo) {
  e.SetForeColor(static_cast<uint32_t>(Primo_Piano));
  e.SetBackColor(static_cast<uint32_t>(Sfondo));
}

// True when every character of `Testo` has a scrambled form.
bool Codificabile(const std::string& Testo) {
  std::string codificato, check;
  return Codifica_Parametri(Testo, codificato, check);
}

}  // namespace

void FrmOpzioni::Visualizza_Opzioni() {
  txtConnessione->SetText(Server_Nome);
  txtPorta->SetText(Server_Porta);
  txtDataBaseSQL->SetText(DataBase_SQL);
  txtUtente->SetText(Nome_Utente);
  txtPassword->SetText(vb::RTrim(vb::Replace(Password_Utente, "^", " ")));
  txtNomeSi->SetText(Sistema_Informativo);
  txtDescrizioneSi->SetText(Descrizione_Sistema);
  txtCartellaSi->SetText(Cartella_Mostrata(Cartella_Dati));
  txtDirStorico->SetText(Cartella_Mostrata(Cartella_Storico));
  txtDirSalva->SetText(Cartella_Mostrata(Cartella_Esportazione));
  txtDirPref->SetText(Cartella_Mostrata(Cartella_Preferiti));
  // The loader keeps the export kind in 1 .. 4; a fitting mode outside 0 .. 2 shows no choice.
  cmbExtSalva->SetListIndex(static_cast<int>(Esportazione_Estensione) - 1);
  cmbAdatta->SetListIndex(Adatta_Dopo_Elaborazione <= 2 ? Adatta_Dopo_Elaborazione : -1);
  txtDataDesc->SetText(vb::Mid(Data_Descrizioni, 7, 2) + "/" + vb::Mid(Data_Descrizioni, 5, 2) +
                       "/" + vb::Mid(Data_Descrizioni, 1, 4));
  txtOraDesc->SetText(vb::Mid(Data_Descrizioni, 9, 2) + ":" + vb::Mid(Data_Descrizioni, 11, 2) +
                      ":" + vb::Mid(Data_Descrizioni, 13, 2));
  for (size_t i = 0; i <= 9; ++i) {
    Colori_Etichetta(*lblColoreRiga[i], Colori[2 * i], Colori[2 * i + 1]);
  }
  for (size_t i = 0; i <= 35; ++i) {
    Colori_Etichetta(*lblColoreLiv[i + 1], Colori_Livello[2 * i], Colori_Livello[2 * i + 1]);
  }
  QFont f = lblFontDati->font();
  f.setFamily(ui::Q(Font_Nome));
  f.setBold(Font_Grassetto);
  f.setItalic(Font_Corsivo);
  if (Font_Dimensione > 0) f.setPointSizeF(Font_Dimensione);
  lblFontDati->setFont(f);
  chk01->SetValue(Profilo_Corrente == Profilo_Principale ? 1 : 0);
  chk02->SetValue(Profilo_In_Elenco ? 1 : 0);
  chk03->SetValue(Righe_Zero ? 1 : 0);
  chk04->SetValue(Messaggi_Aiuto ? 1 : 0);
  chk05->SetValue(Preferiti_Aggiorna ? 1 : 0);
  chk06->SetValue(Memorizza_Colonne ? 1 : 0);
  chk07->SetValue(Storico_Pulizia_Login ? 1 : 0);
  chk08->SetValue(Precisione_15 ? 1 : 0);
  chk09->SetValue(Visualizza_Excel ? 1 : 0);
  chk10->SetValue(Descrizioni_Aggiuntive ? 1 : 0);
  txtElemStorico->SetText(std::to_string(Elementi_Storico));
  txtPrecisioneColore->SetText(std::to_string(Precisione_Colore));
  for (size_t i = 1; i <= 9; ++i) txtLiv[i]->SetText(Nomi_Livello[i - 1]);
}

bool FrmOpzioni::Blocco_Codificabile() {
  // Only what fits its field reaches the block; the password's blanks are stored as "^".
  struct Campo {
    ui::TextBox* casella;
    size_t larghezza;
  };
  for (const Campo c : {Campo{txtConnessione, 50}, Campo{txtPorta, 5}, Campo{txtUtente, 10},
                        Campo{txtPassword, 10}}) {
    const std::string t = c.casella->Text().substr(0, c.larghezza);
    if (!Codificabile(vb::Replace(t, " ", "^"))) {
      Marca(*c.casella);
      return false;
    }
  }
  return true;
}

void FrmOpzioni::Salva_Opzioni(int16_t Profilo) {
  const std::string Non_Salvate = "Le opzioni del sistema informativo" + std::to_string(Profilo) +
                                  "\r" + "non saranno salvate";
  if (txtDataDesc->Text() == "88/88/8888" || vb::Trim(txtUtente->Text()).empty()) {
    host::MsgBox(Non_Salvate, host::vbExclamation, Titolo_Programma);
    return;
  }
  // A server, port, user or password with a character that has no scrambled form (an accented
  // letter, "|", "}", "~") would be stored damaged and fail its integrity check at every load:
  // the profile is not saved at all, and the box that holds the character is marked.
  // Every key of the profile is gathered first and the file rewritten once: a profile is never
  // left half saved, and the save costs one rewrite instead of one per key.
  std::vector<ini::IniEntry> Valori;
  if (!Blocco_Codificabile() ||
      !Parametri_Profilo(Profilo, txtConnessione->Text(), txtPorta->Text(), txtUtente->Text(),
                         txtPassword->Text(), Valori)) {
    host::MsgBox(Non_Salvate, host::vbExclamation, Titolo_Programma);
    return;
  }

  const std::string s = Numero_Cifre(Profilo, 3);
  auto scrivi = [&s, &Valori](const std::string& chiave, const std::string& valore) {
    Valori.push_back({s, chiave, valore});
  };
  scrivi("DataBase SQL", txtDataBaseSQL->Text());
  scrivi("Nome", txtNomeSi->Text());
  scrivi("Descrizione", txtDescrizioneSi->Text());
  scrivi("Cartella Dati", txtCartellaSi->Text());
  scrivi("Cartella Storico", txtDirStorico->Text());
  scrivi("Cartella Esportazione", txtDirSalva->Text());
  scrivi("Cartella Preferiti", txtDirPref->Text());
  scrivi("Esportazione Estensione", vb::Format(cmbExtSalva->ListIndex() + 1, "0"));
  scrivi("Adatta dopo Elaborazione", vb::Format(cmbAdatta->ListIndex(), "0"));
  // Date and time by character position: any separator is accepted.
  const std::string d = txtDataDesc->Text();
  const std::string o = txtOraDesc->Text();
  scrivi("Data", vb::Mid(d, 7, 4) + vb::Mid(d, 4, 2) + vb::Mid(d, 1, 2) + vb::Mid(o, 1, 2) +
                     vb::Mid(o, 4, 2) + vb::Mid(o, 7, 2));
  for (size_t i = 0; i <= 9; ++i) scrivi("Colore " + std::to_string(i), Coppia(*lblColoreRiga[i]));
  for (size_t i = 0; i <= 35; ++i) {
    scrivi("ColoreLiv " + std::to_string(i), Coppia(*lblColoreLiv[i + 1]));
  }
  const QFont f = lblFontDati->font();
  scrivi("Font Nome", ui::Cp(f.family()));
  scrivi("Font Bold", f.bold() ? "S" : "N");
  scrivi("Font Italic", f.italic() ? "S" : "N");
  scrivi("Font Size", vb::Format(f.pointSizeF(), "0000.00"));
  scrivi("Elementi Storico", vb::Format(vb::Val(txtElemStorico->Text()), "0000"));
  scrivi("Precisione Colore", vb::Format(vb::Val(txtPrecisioneColore->Text()), "000"));
  if (chk01->Value() == 1) Valori.push_back({"Generale", "Principale", s});
  scrivi("Elenco", Flag(*chk02));
  scrivi("Righe zero", Flag(*chk03));
  scrivi("Messaggi aiuto", Flag(*chk04));
  scrivi("Preferiti Aggiorna", Flag(*chk05));
  scrivi("Memorizza Colonne", Flag(*chk06));
  scrivi("Storico pulizia login", Flag(*chk07));
  scrivi("Precisione 15", Flag(*chk08));
  scrivi("Visualizza Excel", Flag(*chk09));
  scrivi("Descrizioni Aggiuntive", Flag(*chk10));
  for (size_t i = 1; i <= 9; ++i) {
    scrivi("Livello " + std::to_string(i), "#" + txtLiv[i]->Text() + "#");
  }
  if (!Scrivi_Ini_Tutte(Valori)) host::MsgBox(Non_Salvate, host::vbExclamation, Titolo_Programma);
}

}  // namespace kyx
