// frmOpzioni: the controls, built in code. Every control lies inside one rectangle of the dialog's
// help-area map (rows 1 .. 41, in pixels of the outer frame, title bar and border included), so
// that context help on a spot names the control that is there:
//   1 Release            2 "Sistema informativo" lblNumSi UpDown   3 cmdAggiunta   4 cmdElimina
//   left column, one field per 24-pixel row        right column
//   5 txtConnessione txtPorta                      6 txtCartellaSi
//   7 txtUtente                                    8 txtDirStorico
//   9 txtPassword                                 10 txtDirPref
//  11 txtDataBaseSQL                              12 txtDirSalva
//  13 txtNomeSi                                   14 cmbExtSalva
//  15 txtDescrizioneSi                            16 cmbAdatta
//  17 txtDataDesc txtOraDesc                      18 lblFontDati
//  19 txtElemStorico                              20 chk01   21 chk02
//  22 txtPrecisioneColore                         23 chk03   24 chk04
//  25 chk05   26 (free)                           27 chk06   28 chk07
//  29 chk09   30 chk10                            31 chk08   32 (free)
//  33 the block of colours and level texts
//  34 cmdAnnoRiferimento  35 cmdDescrizioni  36 cmdStorico  37 cmdDettaglio  38 cmdPreferiti
//  39 cmdAggiorna  40 cmdEsci  41 the rest of the window below the title bar
#include "ui/dialoghi/frm_opzioni.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QEvent>
#include <QStyle>
#include <functional>

#include "ui/dialoghi/agganci_dialoghi.h"

namespace kyx {

namespace {

// The outer frame around the inside: the map's catch-all row starts at (3, 23).
constexpr int kBordo = 3;
constexpr int kTitolo = 23;
constexpr int kLarghezza_Interna = 545;
constexpr int kAltezza_Interna = 445;
constexpr int kAltezza_Casella = 21;

struct Riga_Mappa {
  int l, t, r, b;
};
// Left, top, right, bottom of rows 1 .. 41.
constexpr std::array<Riga_Mappa, 41> kMappa = {{
    {469, 23, 547, 40},   {12, 28, 211, 54},    {220, 28, 307, 54},   {316, 28, 402, 54},
    {10, 65, 274, 89},    {275, 65, 539, 89},   {10, 89, 274, 113},   {275, 89, 539, 113},
    {10, 113, 274, 137},  {275, 113, 539, 137}, {10, 137, 274, 161},  {275, 137, 539, 161},
    {10, 161, 274, 185},  {275, 161, 539, 185}, {10, 185, 274, 209},  {275, 185, 539, 209},
    {10, 209, 274, 233},  {275, 209, 539, 233}, {10, 233, 274, 257},  {275, 233, 393, 257},
    {394, 233, 539, 257}, {10, 257, 274, 281},  {275, 257, 393, 281}, {394, 257, 539, 281},
    {10, 281, 163, 305},  {164, 281, 274, 305}, {275, 281, 393, 305}, {394, 281, 539, 305},
    {10, 305, 163, 329},  {164, 305, 274, 329}, {275, 305, 393, 329}, {394, 305, 539, 329},
    {10, 329, 539, 401},  {12, 404, 111, 430},  {120, 404, 219, 430}, {228, 404, 327, 430},
    {336, 404, 435, 430}, {441, 404, 540, 430}, {340, 440, 439, 466}, {448, 440, 547, 466},
    {3, 23, 547, 467},
}};

// The inside rectangle of a map row (the map counts from the outer corner).
QRect Dentro(int riga) {
  const QRect a = FrmOpzioni::Area_Aiuto(riga);
  return a.translated(-kBordo, -kTitolo);
}

// A control centred in the height of its cell.
int Y_Casella(const QRect& cella, int altezza = kAltezza_Casella) {
  return cella.top() + (cella.height() - altezza) / 2;
}

// The folder picture beside a folder box (the picture a click on opens the folder browser).
QPixmap Immagine_Cartella() {
  QPixmap p(16, 16);
  p.fill(Qt::transparent);
  QPainter g(&p);
  g.setRenderHint(QPainter::Antialiasing, false);
  g.setPen(QColor(128, 96, 0));
  g.setBrush(QColor(240, 200, 80));
  g.drawRect(1, 4, 13, 9);
  g.drawRect(1, 2, 5, 2);
  return p;
}

// Runs `azione` on every mouse press on `controllo` (the control's MouseDown event).
class Pressione : public QObject {
 public:
  Pressione(QWidget* controllo, std::function<void()> azione) : QObject(controllo), azione_(std::move(azione)) {
    controllo->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) azione_();
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> azione_;
};

}  // namespace

QRect FrmOpzioni::Area_Aiuto(int Riga) {
  if (Riga < 1 || Riga > static_cast<int>(kMappa.size())) return {};
  const Riga_Mappa& m = kMappa[static_cast<size_t>(Riga - 1)];
  return QRect(QPoint(m.l, m.t), QPoint(m.r, m.b));
}

FrmOpzioni::FrmOpzioni() : ui::KyForm("frmOpzioni") {
  // The dialogs' face and size: Arial's metrics (Liberation Sans) at 8 points.
  QFont f("Arial");
  f.setPointSizeF(8);
  setFont(f);
  resize(kLarghezza_Interna, kAltezza_Interna);
  SetCaption(" Opzioni");
  SetKeyPreview(true);
  Crea_Controlli();
  Crea_Colori_E_Livelli();
  Collega_Gestori();
}

void FrmOpzioni::Crea_Controlli() {
  using namespace ui;

  // A label at the left of a cell, and a text box after it.
  auto etichetta = [this](const QRect& cella, int larghezza, const char* testo) {
    auto* e = new ui::Label(this, testo);
    e->Move(cella.left() + 2, Y_Casella(cella), larghezza, kAltezza_Casella);
    return e;
  };
  auto casella = [this](int x, const QRect& cella, int larghezza) {
    auto* c = new ui::TextBox(this);
    c->Move(x, Y_Casella(cella), larghezza, kAltezza_Casella);
    return c;
  };

  // Top strip: version, slot counter with its arrows, add and delete.
  Release = new ui::Label(this, "");
  {
    QFont piccolo = font();
    piccolo.setPointSizeF(6.5);
    Release->setFont(piccolo);
    Release->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QRect c = Dentro(1);
    Release->Move(c.left(), c.top(), c.width() - 2, c.height());
  }
  {
    const QRect c = Dentro(2);
    lblSistema = etichetta(c, 104, "Sistema informativo");
    lblNumSi = new ui::Label(this, "");
    lblNumSi->setAlignment(Qt::AlignCenter);
    lblNumSi->setFrameShape(QFrame::StyledPanel);
    lblNumSi->setFrameShadow(QFrame::Sunken);
    lblNumSi->Move(c.left() + 106, Y_Casella(c), 60, kAltezza_Casella);
    lblNumSi->SetToolTipText("indice / massimo");
    UpDown = new ui::UpDown(this);
    UpDown->setGeometry(c.left() + 170, c.top() + 1, 17, c.height() - 2);
    UpDown->SetToolTipText("precedente o successivo");
  }
  cmdAggiunta = new ui::CommandButton(this, "Aggiunta");
  cmdAggiunta->setGeometry(Dentro(3).adjusted(1, 1, -1, -1));
  cmdElimina = new ui::CommandButton(this, "Elimina");
  cmdElimina->setGeometry(Dentro(4).adjusted(1, 1, -1, -1));

  // Left column: the connection and the information system.
  {
    const QRect c = Dentro(5);
    etichetta(c, 100, "Connessione/ Porta");
    txtConnessione = casella(c.left() + 104, c, 110);
    txtConnessione->SetToolTipText(
        "Nome connessione o indirizzo IP del server / nome del server SQL");
    txtPorta = casella(c.left() + 216, c, c.width() - 218);
    txtPorta->SetToolTipText("Numero della porta");
  }
  // No length limits: the save cuts each field of the connection block to its width, and the
  // checks refuse numbers out of range.
  auto campo_sinistro = [&](int riga, const char* testo) {
    const QRect c = Dentro(riga);
    etichetta(c, 100, testo);
    return casella(c.left() + 104, c, c.width() - 106);
  };
  txtUtente = campo_sinistro(7, "Utente");
  txtPassword = campo_sinistro(9, "Password");
  // The password is never shown in clear.
  txtPassword->SetPassword(true);
  txtDataBaseSQL = campo_sinistro(11, "Data Base SQL");
  txtDataBaseSQL->SetToolTipText("Nome del DataBase SQL");
  txtNomeSi = campo_sinistro(13, "Nome S.Informativo");
  txtNomeSi->SetToolTipText("Nome del sistema informativo (sul server)");
  txtDescrizioneSi = campo_sinistro(15, "Descrizione");
  txtDescrizioneSi->SetToolTipText("Descrizione locale del sistema informativo");
  {
    const QRect c = Dentro(17);
    etichetta(c, 100, "Descrizioni:  Data");
    txtDataDesc = casella(c.left() + 104, c, 74);
    auto* ora = new ui::Label(this, "Ora");
    ora->Move(c.left() + 184, Y_Casella(c), 24, kAltezza_Casella);
    txtOraDesc = casella(c.left() + 208, c, c.width() - 210);
    txtDataDesc->SetToolTipText("Ultimo aggiornamento delle descrizioni");
    txtOraDesc->SetToolTipText("Ultimo aggiornamento delle descrizioni");
  }
  txtElemStorico = campo_sinistro(19, "Elementi storico");
  txtElemStorico->SetToolTipText("Numero massimo elementi storici");
  txtPrecisioneColore = campo_sinistro(22, "Precisione colore");
  txtPrecisioneColore->SetToolTipText(
      "Precisione del colore nella esportazione in Excel (0=Massima, 255=usa i colori di Excel)");

  // Right column: the folders, each with its picture, the two lists and the data font.
  auto cartella = [&](int riga, const char* testo, ui::Label*& immagine, const char* tip) {
    const QRect c = Dentro(riga);
    etichetta(c, 92, testo);
    auto* box = casella(c.left() + 94, c, c.width() - 94 - 22);
    box->SetToolTipText(tip);
    immagine = new ui::Label(this, "");
    immagine->setPixmap(Immagine_Cartella());
    immagine->setAlignment(Qt::AlignCenter);
    immagine->Move(c.right() - 19, Y_Casella(c, 18), 18, 18);
    immagine->SetMousePointer(ui::vbArrow);
    return box;
  };
  txtCartellaSi = cartella(6, "Cartella dati", imgCartellaSi, "Cartella dei dati");
  txtDirStorico = cartella(8, "Cartella storico", imgDirStorico, "Cartella dei dati storici");
  txtDirPref = cartella(10, "Cartella preferiti", imgDirPref, "Cartella dei preferiti");
  txtDirSalva = cartella(12, "Cart.salvataggi", imgDirSalva, "Cartella per l'esportazione");
  auto elenco = [&](int riga, const char* testo) {
    const QRect c = Dentro(riga);
    etichetta(c, 92, testo);
    auto* cmb = new ui::ComboBox(this, true);
    cmb->Move(c.left() + 94, Y_Casella(c), c.width() - 96, kAltezza_Casella);
    return cmb;
  };
  cmbExtSalva = elenco(14, "Estensione");
  cmbAdatta = elenco(16, "Dopo Elaborazione");
  cmbAdatta->SetToolTipText(
      "Impostazione del tipo di adattamento delle colonne dopo una elaborazione");
  {
    const QRect c = Dentro(18);
    etichetta(c, 92, "Colore/Font video");
    lblFontDati = new ui::Label(this, "Font");
    lblFontDati->setFrameShape(QFrame::StyledPanel);
    lblFontDati->setAlignment(Qt::AlignCenter);
    lblFontDati->SetBackColor(0xFFFFFF);
    lblFontDati->Move(c.left() + 94, c.top() + 1, c.width() - 96, c.height() - 2);
    lblFontDati->SetToolTipText("click per cambiare il font dei dati numerici");
  }

  // The check boxes in their half cells.
  struct Spunta {
    ui::CheckBox** c;
    int riga;
    const char* testo;
    const char* tip;
  };
  const Spunta spunte[] = {
      {&chk01, 20, "Principale", "Considera questo come principale"},
      {&chk02, 21, "In elenco", "Inserisci questo nell'elenco iniziale"},
      {&chk03, 23, "Righe a zero", "Presenta righe a zero"},
      {&chk04, 24, "Messaggi di aiuto", "Presenta i messaggi di aiuto"},
      {&chk05, 25, "Aggiorna su pref.", "Aggiorna elaborazione con click sinistro su preferiti"},
      {&chk06, 27, "Mem. visualiz. colonne",
       "Mantiene la visualizzazione delle colonne se l'elaborazione non cambia"},
      {&chk07, 28, "Pulizia a login", "Pulizia storico durante il login"},
      {&chk08, 31, "Precisione 15",
       "15 cifre di precisione nella memorizzazione dei dati (altrimenti 28)"},
      {&chk09, 29, "Excel visibile", "Visualizza il documento Excel"},
      {&chk10, 30, "Descr.aggiuntive", "Visualizza le descrizioni aggiuntive"},
  };
  for (const Spunta& s : spunte) {
    const QRect c = Dentro(s.riga);
    *s.c = new ui::CheckBox(this, s.testo);
    (*s.c)->Move(c.left() + 2, Y_Casella(c), c.width() - 4, kAltezza_Casella);
    (*s.c)->SetToolTipText(s.tip);
  }

  // Maintenance, apply and cancel.
  struct Comando {
    ui::CommandButton** p;
    int riga;
    const char* testo;
    const char* tip;
  };
  const Comando comandi[] = {
      {&cmdAnnoRiferimento, 34, "Anno Riferim.", ""},
      {&cmdDescrizioni, 35, "Pulizia Descr.", "Pulizia delle descrizioni"},
      {&cmdStorico, 36, "Pulizia Storico", "Pulizia dello storico"},
      {&cmdDettaglio, 37, "Pulizia Dati", "Pulizia dei dati scaricati "},
      {&cmdPreferiti, 38, "Pulizia Prefer.", "Pulizia dei preferiti"},
      {&cmdAggiorna, 39, "Aggiorna", "Aggiorna opzioni"},
      {&cmdEsci, 40, "Annulla", "Esci senza aggiornare"},
  };
  for (const Comando& c : comandi) {
    *c.p = new ui::CommandButton(this, c.testo);
    (*c.p)->setGeometry(Dentro(c.riga).adjusted(1, 1, -1, -1));
    if (*c.tip) (*c.p)->SetToolTipText(c.tip);
  }

  // Frame lines: 0 .. 3 around the block of colours, 4 .. 7 two engraved rules, one under the
  // top strip and one over the buttons.
  for (int i = 0; i < 8; ++i) L_twE[i] = new ui::LineControl(this);
  {
    const QRect b = Dentro(33);
    const double l = b.left(), t = b.top(), r = b.right(), bb = b.bottom();
    L_twE[0]->SetEnds(l, t, r, t);
    L_twE[1]->SetEnds(r, t, r, bb);
    L_twE[2]->SetEnds(l, bb, r, bb);
    L_twE[3]->SetEnds(l, t, l, bb);
    const int sopra = Dentro(5).top() - 4;
    const int sotto = Dentro(39).top() - 5;
    const int destra = kLarghezza_Interna - 4;
    L_twE[4]->SetEnds(4, sopra + 1, destra, sopra + 1);
    L_twE[5]->SetEnds(4, sopra, destra, sopra);
    L_twE[6]->SetEnds(4, sotto, destra, sotto);
    L_twE[7]->SetEnds(4, sotto + 1, destra, sotto + 1);
  }
  for (int i : {0, 3, 5, 6}) L_twE[i]->SetBorderColor(0x80000010);
  for (int i : {1, 2, 4, 7}) L_twE[i]->SetBorderColor(0x80000014);
  for (auto* l : L_twE) l->lower();
}

void FrmOpzioni::Crea_Colori_E_Livelli() {
  using namespace ui;
  const QRect b = Dentro(33).adjusted(3, 0, -3, 0);
  const int h = b.height() / 4;  // four bands of 18 pixels
  auto titolo = [this, h](int x, int y, int w, const char* testo) {
    auto* e = new ui::Label(this, testo);
    e->Move(x, y, w, h - 2);
  };
  auto colore = [this, h](int x, int y, int w, const char* testo, const std::string& tip) {
    auto* e = new ui::Label(this, testo);
    e->setAlignment(Qt::AlignCenter);
    e->setFrameShape(QFrame::Box);
    e->Move(x, y, w, h - 3);
    e->SetBackColor(0xFFFFFF);
    e->SetToolTipText(tip);
    return e;
  };

  // Band 1: the row kinds on screen, then in print.
  int y = b.top() + 2;
  int x = b.left();
  titolo(x, y, 70, "Colore video");
  x += 72;
  struct Tipo {
    int indice, larghezza;
    const char* testo;
    const char* riga;
  };
  const Tipo tipi[] = {
      {0, 28, "R 1", "righe dispari"}, {1, 28, "R 2", "righe pari"},
      {2, 18, "I", "intestazione"},    {3, 18, "T", "totale"},
      {4, 44, "blocco", "colonne bloccate"}, {5, 48, "grafico", "grafico"},
  };
  for (const Tipo& t : tipi) {
    lblColoreRiga[static_cast<size_t>(t.indice)] =
        colore(x, y, t.larghezza, t.testo, std::string("click per cambiare colore (") + t.riga + ")");
    x += t.larghezza + 2;
  }
  x += 10;
  titolo(x, y, 76, "Colore stampa");
  x += 78;
  for (int i = 6; i <= 9; ++i) {
    const Tipo& t = tipi[i - 6];
    lblColoreRiga[static_cast<size_t>(i)] =
        colore(x, y, t.larghezza, t.testo, std::string("click per cambiare colore (") + t.riga + ")");
    x += t.larghezza + 2;
  }

  // Band 2: the nine level texts.
  y += h;
  titolo(b.left(), y, 66, "Livelli 1-9");
  const int w_liv = (b.width() - 68) / 9;
  for (int i = 1; i <= 9; ++i) {
    auto* t = new ui::TextBox(this);
    t->Move(b.left() + 68 + (i - 1) * w_liv, y, w_liv - 2, h - 1);
    t->SetToolTipText("testo identificativo del livello");
    txtLiv[static_cast<size_t>(i)] = t;
  }

  // Bands 3 and 4: the start ("I") and subtotal ("T") rows of levels 1 .. 9, on screen (labels
  // 19 .. 36) and in print (labels 1 .. 18), level by level.
  const int w_col = (b.width() - 96) / 18;
  for (int banda = 0; banda < 2; ++banda) {
    y += h;
    titolo(b.left(), y, 94, banda == 0 ? "Colore video 1-9" : "Colore stampa 1-9");
    const int base = banda == 0 ? 18 : 0;
    for (int liv = 1; liv <= 9; ++liv) {
      for (int k = 0; k < 2; ++k) {
        const int indice = base + liv + 9 * k;
        const int xx = b.left() + 96 + ((liv - 1) * 2 + k) * w_col;
        lblColoreLiv[static_cast<size_t>(indice)] = colore(
            xx, y, w_col - 1, k == 0 ? "I" : "T",
            std::string("click per cambiare colore (livello ") + std::to_string(liv) +
                (k == 0 ? ", inizio)" : ", totale)"));
      }
    }
  }
}

void FrmOpzioni::Collega_Gestori() {
  UpDown->UpClick = [this] { UpDown_UpClick(); };
  UpDown->DownClick = [this] { UpDown_DownClick(); };
  cmdAggiunta->Click = [this] { cmdAggiunta_Click(); };
  cmdElimina->Click = [this] { cmdElimina_Click(); };
  // The folder browser opens on the press, not on the release.
  new Pressione(imgCartellaSi, [this] { imgCartellaSi_MouseDown(); });
  new Pressione(imgDirStorico, [this] { imgDirStorico_MouseDown(); });
  new Pressione(imgDirPref, [this] { imgDirPref_MouseDown(); });
  new Pressione(imgDirSalva, [this] { imgDirSalva_MouseDown(); });
  lblFontDati->Click = [this] { lblFontDati_Click(); };
  cmdDescrizioni->Click = [this] { cmdDescrizioni_Click(); };
  cmdStorico->Click = [this] { cmdStorico_Click(); };
  cmdDettaglio->Click = [this] { cmdDettaglio_Click(); };
  // The favourites' two buttons belong to the layout files, installed above the dialog.
  for (auto [pulsante, nome] : {std::pair{cmdPreferiti, "cmdPreferiti_Click"},
                                std::pair{cmdAnnoRiferimento, "cmdAnnoRiferimento_Click"}}) {
    pulsante->Click = [this, nome = nome] {
      auto it = agganci_dialoghi::Opzioni.find(nome);
      if (it != agganci_dialoghi::Opzioni.end() && it->second) it->second(*this);
    };
  }
  for (int i = 0; i <= 9; ++i) {
    lblColoreRiga[static_cast<size_t>(i)]->MouseUp = [this, i](int button, int shift) {
      lblColoreRiga_MouseUp(i, button, shift);
    };
  }
  for (int i = 1; i <= 36; ++i) {
    lblColoreLiv[static_cast<size_t>(i)]->MouseUp = [this, i](int button, int shift) {
      lblColoreLiv_MouseUp(i, button, shift);
    };
  }
  cmdAggiorna->Click = [this] { cmdAggiorna_Click(); };
  cmdEsci->Click = [this] { cmdEsci_Click(); };
}

void FrmOpzioni::Normale(ui::TextBox& Casella) {
  Casella.SetBackColor(ui::kOleWindowBackground);
  Casella.SetForeColor(ui::kOleWindowText);
}

void FrmOpzioni::Marca(ui::TextBox& Casella) {
  Casella.SetBackColor(ui::kOleHighlight);
  Casella.SetForeColor(ui::kOleHighlightText);
  // A box of a dialog not shown yet cannot take the focus; that is not an error.
  if (Casella.isVisible()) Casella.SetFocus();
}

bool FrmOpzioni::Marcata(const ui::TextBox& Casella) {
  return Casella.BackColor() == ui::kOleHighlight;
}

}  // namespace kyx
