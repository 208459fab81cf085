// frmBase: the controls of the main window, built in code. Their placement is Ridimensiona's
// (frm_base_layout.cpp); here they get their kind, their fixed sizes, their colours and their
// events.
#include "ui/frm_base.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/ui/standard_images.h"
#include "platform/ui/vb_events.h"

namespace kyx {

namespace {

constexpr uint32_t kOmbra = 0x80000010;  // 3-D shadow
constexpr uint32_t kLuce = 0x80000014;   // 3-D highlight

// Eight lines of a block: 0..3 its sunken frame, 4..7 the raised frame of its caption strip.
std::array<ui::LineControl*, 8> Linee_Blocco(QWidget* padre) {
  std::array<ui::LineControl*, 8> linee{};
  for (int i = 0; i < 8; ++i) {
    linee[i] = new ui::LineControl(padre);
    const bool ombra = (i == 0 || i == 3 || i == 5 || i == 6);
    linee[i]->SetBorderColor(ombra ? kOmbra : kLuce);
    linee[i]->SetVisible(false);
  }
  return linee;
}

// Four lines of a sunken frame: top and left in shadow, right and bottom in highlight.
std::array<ui::LineControl*, 4> Linee_Cornice(QWidget* padre, bool visibili) {
  std::array<ui::LineControl*, 4> linee{};
  for (int i = 0; i < 4; ++i) {
    linee[i] = new ui::LineControl(padre);
    linee[i]->SetBorderColor(i == 0 || i == 3 ? kOmbra : kLuce);
    linee[i]->SetVisible(visibili);
  }
  return linee;
}

std::array<ui::VbControl<QLabel>*, 2> Etichette_Titolo(QWidget* padre, const char* testo) {
  std::array<ui::VbControl<QLabel>*, 2> etichette{};
  for (int i = 0; i < 2; ++i) {
    etichette[i] = new ui::VbControl<QLabel>(padre);
    etichette[i]->setText(QString::fromLatin1(testo));
    etichette[i]->setIndent(4);
    etichette[i]->SetVisible(false);
    // Captions are drawn on the window's surface: the pointer over them is over the window.
    etichette[i]->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
  // Label 1 lies one pixel lower and to the right in the highlight colour, label 0 over it: the
  // caption looks engraved.
  etichette[1]->setStyleSheet("color: white;");
  etichette[0]->raise();
  return etichette;
}

}  // namespace

void EtichettaCliccabile::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && Click) {
    Click();
  }
}

FrmBase::FrmBase() : ui::KyForm("frmBase") {
  resize(900, 600);
  SetKeyPreview(true);
  add_standard_images(ImageList1);
  Crea_Controlli();
  Collega_Grafico();
  Collega_Puntatore();
}

// The handlers that watch the whole application go first: deleting the window's parts moves the
// focus, and nothing of this window may answer that.
FrmBase::~FrmBase() { QObject::disconnect(Calendario_Fuoco); }

void FrmBase::Crea_Toolbar() {
  Toolbar1 = new ui::KeyedToolbar(this);
  // Groups: exit; login and data; history and favourites; view; filter; elaboration; printing
  // and saving; options and help.
  const char* const gruppi[][4] = {
      {"Uscita"},
      {"SInf", "Server", "DatiLocali"},
      {"Precedente", "Successivo", "Preferiti"},
      {"Grafico", "Visualizza", "Colonne"},
      {"FiltroPulizia", "FiltroTipo", "MouseTipo"},
      {"Elabora"},
      {"SetStampa", "Stampa", "Salva"},
      {"Opzioni", "Help", "Help_1"},
  };
  bool primo = true;
  for (const auto& gruppo : gruppi) {
    if (!primo) Toolbar1->Add("", ui::tbrSeparator);
    primo = false;
    for (const char* chiave : gruppo) {
      if (chiave) Toolbar1->Add(chiave);
    }
  }
  Toolbar1->MouseDown = [this](int b, int s, float x, float y) {
    Toolbar_MouseDown(*Toolbar1, b, s, x, y);
  };
  Toolbar1->MouseMove = [this](int b, int s, float x, float y) {
    Toolbar_MouseMove(*Toolbar1, b, s, x, y);
  };
  Toolbar1->MouseUp = [this](int b, int s, float x, float y) {
    Toolbar_MouseUp(*Toolbar1, b, s, x, y);
  };

  Flt_Toolbar = new ui::KeyedToolbar(this);
  Flt_Toolbar->Add("FiltroBoxPulizia");
  Flt_Toolbar->Add("FiltroBoxAggiorna");
  Flt_Toolbar->SetVisible(false);
  Flt_Toolbar->MouseDown = [this](int b, int s, float x, float y) {
    Toolbar_MouseDown(*Flt_Toolbar, b, s, x, y);
  };
  Flt_Toolbar->MouseMove = [this](int b, int s, float x, float y) {
    Toolbar_MouseMove(*Flt_Toolbar, b, s, x, y);
  };
  Flt_Toolbar->MouseUp = [this](int b, int s, float x, float y) {
    Toolbar_MouseUp(*Flt_Toolbar, b, s, x, y);
  };
}

void FrmBase::Crea_StatusBar() {
  StatusBar1 = new ui::KeyedStatusBar(this);
  auto& utente = StatusBar1->Add("Utente");
  utente.SetAutoSize(ui::sbrContents);
  utente.SetWidth(90);
  auto& ambiente = StatusBar1->Add("Ambiente");
  ambiente.SetAutoSize(ui::sbrContents);
  ambiente.SetWidth(90);
  auto& progress = StatusBar1->Add("Progress");
  progress.SetWidth(110);
  progress.SetAlignment(ui::sbrRight);
  auto& numero = StatusBar1->Add("Numero");
  numero.SetWidth(110);
  numero.SetAlignment(ui::sbrRight);
  StatusBar1->Add("Stato").SetAutoSize(ui::sbrSpring);
  StatusBar1->Add("Data", "", ui::sbrDate).SetWidth(80);
  StatusBar1->Add("Ora", "", ui::sbrTime).SetWidth(64);
}

void FrmBase::Disegna_Logo() {
  // The built-in logos (our own drawing): a raised plate with the program's initials for the
  // classic look, a flat one for the flat look.
  auto logo = [](bool piatto) {
    QPixmap pm(96, 30);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(1, 3, 94, 24);
    p.setPen(piatto ? QPen(QColor(70, 110, 170), 1) : QPen(QColor(40, 40, 90), 1));
    p.setBrush(piatto ? QBrush(QColor(230, 238, 250)) : QBrush(QColor(60, 90, 160)));
    p.drawRoundedRect(r, 5, 5);
    QFont f("DejaVu Sans", 11, QFont::Bold);
    p.setFont(f);
    p.setPen(piatto ? QColor(40, 70, 140) : Qt::white);
    p.drawText(r, Qt::AlignCenter, "Q-KRE");
    return pm;
  };
  Image1->setPixmap(logo(false));
  Image2 = logo(true);
}

void FrmBase::Crea_Controlli() {
  Crea_Toolbar();
  Crea_StatusBar();

  ProgressBar1 = new ui::ProgressBar(this);
  ProgressBar1->SetVisible(false);

  Image1 = new EtichettaCliccabile(this);
  Image1->resize(96, 30);
  Disegna_Logo();
  Image1->Click = [this] { Image1_Click(); };

  twL = new ui::KeyedTree(this);
  twL->SetImageList(&ImageList1);
  twL->SetVisible(false);
  twL->NodeClick = [this](ui::TreeNode& Node) { twL_NodeClick(Node); };
  twF = new ui::KeyedTree(this);
  twF->SetImageList(&ImageList1);
  twF->SetVisible(false);
  twF->MouseDown = [this](int b, int s, float x, float y) { twF_MouseDown(b, s, x, y); };
  twF->NodeClick = [this](ui::TreeNode& Node) { twF_NodeClick(Node); };
  twF->Collapse = [this](ui::TreeNode& Node) { twF_Collapse(Node); };

  L_twL = Linee_Blocco(this);
  L_twF = Linee_Blocco(this);
  L_twE = Linee_Blocco(this);
  lbl_twL = Etichette_Titolo(this, "Layout");
  lbl_twF = Etichette_Titolo(this, "Filtro");
  lbl_twE = Etichette_Titolo(this, "");

  lblNS = new ui::PictureCanvas(this);
  lblNS->SetMousePointer(ui::vbSizeNS);
  lblNS->SetVisible(false);
  lblWE = new ui::PictureCanvas(this);
  lblWE->SetMousePointer(ui::vbSizeWE);
  lblWE->SetVisible(false);

  PicLayout = new ui::PictureCanvas(this);
  PicLayout->resize(16, 16);

  Grid1 = new ui::FlexGrid(this);
  Scroll_V = new ui::VbScrollBar(Qt::Vertical, this);
  Scroll_O = new ui::VbScrollBar(Qt::Horizontal, this);
  Crea_Griglia();

  Grafico = new ui::Chart(this);
  Grafico->SetVisible(false);
  Scroll_G = new ui::VbScrollBar(Qt::Horizontal, this);
  Scroll_G->SetVisible(false);

  pnlDecod = new ui::PictureCanvas(this);
  pnlDecod->SetVisible(false);
  for (auto** l : {&lblX, &lblXDec, &lblY, &lblZ}) {
    *l = new ui::VbControl<QLabel>(pnlDecod);
    (*l)->SetVisible(false);
  }
  L_Grd = Linee_Cornice(pnlDecod, true);

  L_Flt = Linee_Cornice(this, false);
  for (int i = 0; i < 4; ++i) {
    Flt_Pic[i] = new ui::PictureCanvas(this);
    Flt_Pic[i]->resize(16, 16);
    Flt_Pic[i]->SetVisible(false);
  }
  // Operator pictures: 1 "=", 2 "N", 3 start and 0 end of a range.
  const char* const figure[4] = {"Filtro_A", "Filtro_Uguale", "Filtro_Diverso", "Filtro_Da"};
  for (int i = 0; i < 4; ++i) {
    Flt_Pic[i]->SetPicture(ImageList1.Picture(figure[i]).toImage());
  }
  for (int i = 0; i < 2; ++i) {
    Flt_txt[i] = new ui::VbControl<QLineEdit>(this);
    Flt_txt[i]->resize(Flt_txt[i]->width(), 20);
    Flt_txt[i]->SetVisible(false);
    Flt_txt[i]->installEventFilter(this);
    Flt_Data_pic[i] = new ui::PictureCanvas(this);
    // As large as the drop-down glyph it shows (drawn by KyHead_Initialize, 16 x 19).
    Flt_Data_pic[i]->resize(16, 19);
    Flt_Data_pic[i]->SetVisible(false);
  }
  MonthView1 = new ui::VbControl<QCalendarWidget>(this);
  MonthView1->resize(MonthView1->sizeHint());
  MonthView1->SetVisible(false);
  Collega_Calendario();

  // The banner over the grid, with its text.
  Beta = new ui::PictureCanvas(this);
  Beta->resize(360, 120);
  Beta->SetBackColor(0x80000018);  // tooltip background
  Beta->SetVisible(false);
  lblBeta = new ui::VbControl<QLabel>(Beta);
  lblBeta->setGeometry(8, 8, 344, 104);
  lblBeta->setAlignment(Qt::AlignCenter);
  lblBeta->setWordWrap(true);
  TimerBeta.SetEnabled(false);
  TimerBeta.Timer = [this] { TimerBeta_Timer(); };

  // The chrome stays behind the views: lines and captions first in the z-order.
  for (auto* b : {&L_twL, &L_twF, &L_twE}) {
    for (auto* l : *b) l->lower();
  }
  Beta->raise();
}

bool FrmBase::eventFilter(QObject* watched, QEvent* event) {
  if (Calendario_Tasto(watched, event)) return true;
  if (event->type() == QEvent::KeyPress) {
    for (int i = 0; i < 2; ++i) {
      if (watched != Flt_txt[i]) continue;
      const auto* ke = static_cast<QKeyEvent*>(event);
      if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
        int KeyAscii = 13;
        Flt_txt_KeyPress(i, KeyAscii);
      }
    }
  }
  return ui::KyForm::eventFilter(watched, event);
}

}  // namespace kyx
