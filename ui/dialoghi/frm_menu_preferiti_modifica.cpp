#include "ui/dialoghi/frm_menu_preferiti_modifica.h"

#include <QDate>
#include <algorithm>

#include "common/impostazioni.h"
#include "common/stato.h"
#include "layouts/preferiti.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ini/ini_file.h"
#include "platform/ui/keyed_tree.h"
#include "platform/ui/pointer.h"
#include "platform/ui/simple_controls.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "ui/dialoghi/frm_menu_preferiti.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"

namespace kyx {
namespace {

constexpr uint32_t kSolaLettura = 0x80000000;
const char kNomePresente[] = "una cartella con questo nome \xE8 gi\xE0 presente";

bool Uguali_Senza_Maiuscole(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return vb::UCase(std::string(1, x)) == vb::UCase(std::string(1, y));
         });
}

void Sola_Lettura(ui::TextBox& t) {
  t.SetLocked(true);
  t.SetBackColor(kSolaLettura);
}

}  // namespace

FrmMenuPreferitiModifica::FrmMenuPreferitiModifica() : ui::KyForm("frmMenuPreferitiModifica") {
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  lbl1 = new ui::Label(this, "Titolo");
  txt1 = new ui::TextBox(this);
  lbl2 = new ui::Label(this, "Link");
  txt2 = new ui::TextBox(this);
  lbl_Anno_Corrente = new ui::Label(this, "Anno");
  Anno_Corrente = new ui::ComboBox(this, true);
  cmdAggiorna = new ui::CommandButton(this, "Aggiorna");
  cmdEsci = new ui::CommandButton(this, "Annulla");
  cmdEsci->setToolTip(ui::Q("Esci senza aggiornare"));
  lbl1->setGeometry(8, 10, 48, 16);
  txt1->setGeometry(60, 6, 220, 22);
  lbl2->setGeometry(8, 38, 48, 16);
  txt2->setGeometry(60, 34, 220, 22);
  lbl_Anno_Corrente->setGeometry(8, 66, 48, 16);
  Anno_Corrente->setGeometry(60, 62, 80, 22);
  cmdAggiorna->setGeometry(290, 6, 84, 24);
  cmdEsci->setGeometry(290, 34, 84, 24);
  cmdAggiorna->Click = [this] { cmdAggiorna_Click(); };
  cmdEsci->Click = [this] { cmdEsci_Click(); };
}

void FrmMenuPreferitiModifica::Carica(int Index) {
  host::host().SetPointer(host::vbDefault);
  host::DoEvents();
  Imposta_Sfondo_Finestra(*this, Colore_Sfondo);
  ui::GetCursorPos(Mouse_X, Mouse_Y);
  Cornice = (Height() - ScaleHeight() * ui::Twips_Pixel_Y()) - (Width() - ScaleWidth() * ui::Twips_Pixel_X()) / 2;
  Move((Mouse_X - 14) * ui::Twips_Pixel_X(), (Mouse_Y - 14) * ui::Twips_Pixel_Y(), 5760, Cornice + 915);

  Codice = frmMenuPreferiti->Nodo().Tag() + std::to_string(Index);
  if (Codice == "C0" || Codice == "C1" || Codice == "C2" || Codice == "R2") {
    Imposta_Cartella();
  } else if (Codice == "F0" || Codice == "L0" || Codice == "A0" || Codice == "R3" || Codice == "C3" ||
             Codice == "F1" || Codice == "L1" || Codice == "A1") {
    Imposta_Elaborazione();
  }
  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
}

void FrmMenuPreferitiModifica::Imposta_Cartella() {
  ui::TreeNode& n = frmMenuPreferiti->Nodo();
  lbl1->SetCaption("Nome");
  lbl2->setVisible(false);
  txt2->setVisible(false);
  lbl_Anno_Corrente->setVisible(false);
  Anno_Corrente->setVisible(false);
  lbl1->move(lbl1->x(), 24);
  txt1->move(txt1->x(), 20);
  if (Codice == "C0") {
    SetCaption("  Modifica cartella");
    txt1->SetText(n.Text());
  } else if (Codice == "C1") {
    SetCaption("  Elimina cartella");
    txt1->SetText(n.Text());
    Sola_Lettura(*txt1);
  } else {
    SetCaption("  Aggiunta cartella");
    txt1->SetText("nuova cartella");
  }
}

void FrmMenuPreferitiModifica::Imposta_Elaborazione() {
  lbl1->SetCaption("Titolo");
  lbl2->SetCaption("Link");
  const bool nuovo = Codice == "R3" || Codice == "C3";
  const bool elimina = Codice.size() == 2 && Codice[1] == '1';
  SetCaption(nuovo ? "  Aggiunta elaborazione" : elimina ? "  Elimina elaborazione" : "  Modifica elaborazione");
  if (nuovo) {
    txt1->SetText(vb::Trim(ui::Cp(frmBase->lbl_twE[0]->text())));
    txt2->SetText("[Link]");
  } else {
    File_Preferito = FrmMenuPreferiti::File_Del_Nodo(frmMenuPreferiti->Nodo());
    txt1->SetText(Valore_Preferito(File_Preferito, "_Elab____"));
    txt2->SetText(Valore_Preferito(File_Preferito, "_Link____"));
  }
  if (elimina) {
    Sola_Lettura(*txt1);
    Sola_Lettura(*txt2);
  }
  Anno_Corrente->Clear();
  lbl_Anno_Corrente->setVisible(Anno_In_Uso);
  Anno_Corrente->setVisible(Anno_In_Uso);
  if (!Anno_In_Uso) return;
  SetHeight(Cornice + 1260);
  const int Y = QDate::currentDate().year();
  for (int k = 0; k <= 10; ++k) Anno_Corrente->AddItem(Numero_Cifre(Y + 2 - k, 4));
  if (nuovo) {
    // A reference year outside the eleven listed leaves the box without a choice.
    const int i = Y + 2 - Anno_Riferimento;
    if (i >= 0 && i <= 10) Anno_Corrente->SetListIndex(i);
    Anno_Corrente->setEnabled(false);
  } else {
    // The stored year is offered even outside the eleven listed, so that the favourite keeps it
    // when it is saved with its other changes.
    const std::string anno = Valore_Preferito(File_Preferito, "_Anno____");
    Anno_Corrente->SetText(anno);
    if (Anno_Corrente->ListIndex() < 0 && !vb::Trim(anno).empty()) {
      Anno_Corrente->AddItem(anno);
      Anno_Corrente->SetListIndex(Anno_Corrente->NewIndex());
    }
    Anno_Corrente->setEnabled(!elimina);
  }
}

bool FrmMenuPreferitiModifica::Nome_Libero(const std::string& Padre, const std::string& Nome,
                                           const std::string& Escluso) {
  std::string messaggio;
  if (!Nome_Cartella_Valido(Nome, messaggio)) {
    host::MsgBox(messaggio, host::vbCritical, Titolo_Programma);
    txt1->setFocus();
    return false;
  }
  // Folders come from Windows, where names differ only beyond letter case: a name that matches
  // a file or folder there in any case is taken.
  std::vector<std::string> nomi = files::list_folders(Padre);
  for (const std::string& f : files::list_files(Padre, "*")) nomi.push_back(f);
  for (const std::string& presente : nomi) {
    if (presente != Escluso && Uguali_Senza_Maiuscole(presente, Nome)) {
      host::MsgBox(kNomePresente, host::vbCritical, Titolo_Programma);
      txt1->setFocus();
      return false;
    }
  }
  if (files::exists(Padre + "\\" + Nome)) {
    host::MsgBox(kNomePresente, host::vbCritical, Titolo_Programma);
    txt1->setFocus();
    return false;
  }
  return true;
}

bool FrmMenuPreferitiModifica::Testi_Validi() {
  std::string messaggio;
  if (Testo_Preferito_Valido(txt1->Text(), messaggio) && Testo_Preferito_Valido(txt2->Text(), messaggio)) return true;
  host::MsgBox(messaggio, host::vbCritical, Titolo_Programma);
  txt1->setFocus();
  return false;
}

void FrmMenuPreferitiModifica::cmdAggiorna_Click() {
  ui::KeyedTree& albero = *frmMenuPreferiti->twP;
  ui::TreeNode& nodo = frmMenuPreferiti->Nodo();
  const std::string& c = Codice;
  if (c == "F1" || c == "L1" || c == "A1") {
    if (Elimina_Preferito(File_Preferito) && albero.Exists(File_Preferito)) {
      albero.Remove(File_Preferito);
      Nodo_Preferito = albero.Nodes(1).Key();
    }
  } else if (c == "R3" || c == "C3") {
    if (!Testi_Validi()) return;
    // A number no file of the folder carries, so that nothing already there is replaced.
    const std::string cartella = nodo.Key();
    const int32_t numero = Numero_Libero(cartella);
    std::string nuovo;
    if (!Copia_Preferito(Elaborazione_Corrente, cartella, numero, nuovo)) {
      host::MsgBox("Impossibile copiare l'elaborazione nei preferiti", host::vbCritical, Titolo_Programma);
      return;
    }
    Ultimo_Preferito = numero;
    ini::IniFile f(nuovo);
    const std::string titolo = vb::RTrim(txt1->Text());
    const std::string link = vb::RTrim(txt2->Text());
    f.Write("Q-KRE", "_Elab____", titolo);
    nodo.SetExpanded(true);
    ui::TreeNode& fav = albero.Add(cartella, ui::tvwChild, nuovo, titolo, "Esegui");
    fav.SetTag("F");
    fav.EnsureVisible();
    f.Write("Q-KRE", "_Link____", link);
    albero.Add(nuovo, ui::tvwChild, nuovo + "LNK", link, "Link").SetTag("L");
    if (Anno_In_Uso) {
      const std::string anno = Anno_Corrente->Text();
      f.Write("Q-KRE", "_Anno____", anno);
      albero.Add(nuovo, ui::tvwChild, nuovo + "ANN", anno, "AnnoRiferimento").SetTag("A");
    }
  } else if (c == "F0" || c == "L0" || c == "A0") {
    if (!Testi_Validi()) return;
    ini::IniFile f(File_Preferito);
    const std::string titolo = vb::RTrim(txt1->Text());
    const std::string link = vb::RTrim(txt2->Text());
    f.Write("Q-KRE", "_Elab____", titolo);
    if (albero.Exists(File_Preferito)) albero.Nodes(File_Preferito).SetText(titolo);
    f.Write("Q-KRE", "_Link____", link);
    if (albero.Exists(File_Preferito + "LNK")) albero.Nodes(File_Preferito + "LNK").SetText(link);
    if (Anno_In_Uso) {
      const std::string anno = Anno_Corrente->Text();
      f.Write("Q-KRE", "_Anno____", anno);
      if (albero.Exists(File_Preferito + "ANN")) albero.Nodes(File_Preferito + "ANN").SetText(anno);
    }
  } else if (c == "C1") {
    if (files::remove_folder(nodo.Key())) {
      albero.Remove(nodo.Key());
      Nodo_Preferito = albero.Nodes(1).Key();
    }
  } else if (c == "C2" || c == "R2") {
    const std::string nome = vb::Trim(txt1->Text());
    nodo.SetExpanded(true);
    if (!Nome_Libero(nodo.Key(), nome, "")) return;
    const std::string percorso = nodo.Key() + "\\" + nome;
    if (!files::make_folder(percorso)) {
      host::MsgBox("Impossibile creare la cartella", host::vbCritical, Titolo_Programma);
      return;
    }
    ui::TreeNode& n = albero.Add(nodo.Key(), ui::tvwChild, percorso, nome, "Chiavi", "Chiavi1");
    n.SetTag("C");
    n.SetSelected(true);
    n.EnsureVisible();
  } else if (c == "C0") {
    const std::string nome = vb::Trim(txt1->Text());
    const std::string vecchio = nodo.Key();
    const std::string padre = nodo.Parent() ? nodo.Parent()->Key() : vecchio;
    const std::string nuovo = padre + "\\" + nome;
    if (nuovo != vecchio) {
      if (!Nome_Libero(padre, nome, "")) return;
      if (!Rinomina_Cartella(vecchio, nuovo)) {
        host::MsgBox(kNomePresente, host::vbCritical, Titolo_Programma);
        txt1->setFocus();
        return;
      }
      nodo.SetText(nome);
      // Every key below the folder names the new path.
      std::vector<std::string> chiavi;
      for (int i = 1; i <= albero.Count(); ++i) {
        const std::string& k = albero.Nodes(i).Key();
        if (k == vecchio || k.rfind(vecchio + "\\", 0) == 0) chiavi.push_back(k);
      }
      for (const std::string& k : chiavi) albero.SetKey(k, nuovo + k.substr(vecchio.size()));
      if (Nodo_Preferito.rfind(vecchio, 0) == 0) Nodo_Preferito = nuovo + Nodo_Preferito.substr(vecchio.size());
    }
  }
  Unload();
}

void FrmMenuPreferitiModifica::cmdEsci_Click() { Unload(); }

void FrmMenuPreferitiModifica::Form_Unload(int16_t&) {
  ui::SetCursorPos(Mouse_X, Mouse_Y);
  host::host().SetPointer(host::vbDefault);
  if (FrmMenuPreferiti* f = frmMenuPreferiti.peek()) {
    f->SetEnabled(true);
    f->Show();
  }
}

}  // namespace kyx
