#include "ui/frm_menu_riga.h"

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/host/host.h"
#include "platform/ui/pointer.h"
#include "platform/ui/units.h"
#include "platform/ui/vb_events.h"
#include "platform/vb/vb.h"
#include "ui/finestre.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {
namespace {

constexpr std::size_t kAperto = 6;  // this pop-up's entry of Form_Aperto
constexpr uint32_t kOmbra = 0x80000010;
constexpr uint32_t kLuce = 0x80000014;
// Design geometry in twips: the client area, the lines and the two columns.
constexpr double kLarghezza = 5475, kAltezza = 3015;
constexpr double kPrima_Riga = 120, kPasso = 195;
constexpr double kSinistra = 120, kLarga_Sinistra = 1095;
constexpr double kDestra = 1260, kLarga_Destra = 4095;
constexpr double kBordo = 60;

// A field of the row the recordset stands on, as shown: trailing blanks removed, a Null or a
// field the table lacks shown as nothing.
std::string Campo(const data::Recordset& rs, int Ordinale) {
  if (Ordinale < 0 || Ordinale >= rs.FieldCount()) return "";
  const data::Value& v = rs.Field(Ordinale);
  if (v.is_null()) return "";
  return vb::RTrim(v.kind() == data::Value::Kind::Text ? v.text() : v.AsText());
}
std::string Campo(const data::Recordset& rs, std::string_view Nome) {
  data::Value v;
  if (!rs.Read(Nome, &v).ok() || v.is_null()) return "";
  return vb::RTrim(v.kind() == data::Value::Kind::Text ? v.text() : v.AsText());
}

bool Vuota(const data::TableRecordset* rs) { return !rs || !rs->IsOpen() || (rs->BeforeFirst() && rs->AfterLast()); }

bool Trovato(data::TableRecordset& rs, std::vector<data::Value> Chiave) {
  return rs.Seek(Chiave).ok() && !rs.AfterLast();
}

}  // namespace

FrmMenuRiga::FrmMenuRiga() : ui::KyForm("frmMenuRiga") {
  setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  const double tx = Twips_Pixel_X > 0 ? Twips_Pixel_X : 15.0, ty = Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0;
  resize(ui::twips_to_px_x(kLarghezza), ui::twips_to_px_y(kAltezza));
  for (int i = 0; i < 14; ++i) {
    const double top = (kPrima_Riga + kPasso * i) / ty;
    lbl[i] = new ui::Label(this);
    lbl[i]->Move(kSinistra / tx, top, kLarga_Sinistra / tx, kPasso / ty);
    lbl[i + 14] = new ui::Label(this);
    lbl[i + 14]->Move(kDestra / tx, top, kLarga_Destra / tx, kPasso / ty);
  }
  // Along the four edges, 60 twips inside: top and left in shadow, right and bottom lit.
  const double l = kBordo / tx, t = kBordo / ty;
  const double r = (kLarghezza - kBordo) / tx, b = (kAltezza - kBordo) / ty;
  const double Estremi[4][4] = {{l, t, r, t}, {r, t, r, b}, {l, b, r, b}, {l, t, l, b}};
  for (int i = 0; i < 4; ++i) {
    L1_[i] = new ui::LineControl(this);
    L1_[i]->SetEnds(Estremi[i][0], Estremi[i][1], Estremi[i][2], Estremi[i][3]);
    L1_[i]->SetBorderColor(i == 1 || i == 2 ? kLuce : kOmbra);
  }
}

void FrmMenuRiga::Carica(int16_t Chiave, const std::string& Elemento) {
  frmBase->SetEnabled(false);
  Imposta_Puntatore(0);
  host::DoEvents();
  SetBackColor(static_cast<uint32_t>(Colore_Sfondo));
  L1_[1]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  L1_[2]->SetBorderColor(static_cast<uint32_t>(Colore_Bordo));
  Colloca();
  Riempi(Chiave, Elemento);
  Show(ui::vbModeless);
  Imposta_Finestra_Dialogo(hWnd());
  // The window frame is known only once the window is shown: place it again with its real frame.
  Colloca();
  Form_Aperto[kAperto] = true;
}

void FrmMenuRiga::Colloca() {
  int x = 0, y = 0;
  ui::GetCursorPos(x, y);
  double Left = (x - 14) * Twips_Pixel_X;
  double Top = (y - 14) * Twips_Pixel_Y;
  const FrmBase& b = *frmBase;
  // The later limits win: the card never covers the main window's top rows or its tree pane.
  if (Top > b.Top() + b.Height() - Height() - 450) Top = b.Top() + b.Height() - Height() - 450;
  if (Left > b.Left() + b.Width() - Width() - 360) Left = b.Left() + b.Width() - Width() - 360;
  if (Top < b.Top() + 1155) Top = b.Top() + 1155;
  const double Sinistra = b.Left() + b.lblNS->width() * Twips_Pixel_X + 225;
  if (Left < Sinistra) Left = Sinistra;
  Move(Left, Top);
}

void FrmMenuRiga::Riempi(int16_t Chiave, const std::string& Elemento) {
  SetCaption("  ?");
  for (ui::Label* l : lbl) l->SetCaption("");
  if (Vuota(Rs_Chiavi.get())) return;
  if (!Trovato(*Rs_Chiavi, {data::Value(Sistema_Informativo), data::Value(int64_t{Chiave})})) return;
  SetCaption("  " + Campo(*Rs_Chiavi, "TESTO"));
  lbl[0]->SetCaption("Codice");
  lbl[1]->SetCaption("Descizione");
  for (int n = 1; n <= 12; ++n) lbl[n + 1]->SetCaption(Campo(*Rs_Chiavi, "TI_" + vb::Format(int64_t{n}, "00")));
  lbl[14]->SetCaption(vb::RTrim(Elemento));
  // The description row is sought with the code as it was pressed; a cancelled element ("A")
  // shows no values.
  if (!Rs_Descrizioni || !Rs_Descrizioni->IsOpen()) return;
  if (!Trovato(*Rs_Descrizioni, {data::Value(int64_t{Chiave}), data::Value(Elemento)})) return;
  if (Campo(*Rs_Descrizioni, "S_DS_STAT") == "A") return;
  // The fields are status, key, code, then the descriptions: description n is field n + 2.
  for (int n = 1; n <= 13; ++n) lbl[n + 14]->SetCaption(Campo(*Rs_Descrizioni, n + 2));
}

void FrmMenuRiga::Form_QueryUnload(int16_t&, int UnloadMode) {
  Form_Aperto[kAperto] = false;
  if (UnloadMode == ui::vbFormControlMenu) {
    Imposta_Puntatore(0);
    frmBase->SetEnabled(true);
  }
}

void FrmMenuRiga::Form_Unload(int16_t&) {
  if (frmBase.Loaded()) frmBase->ZOrder(0);
}

}  // namespace kyx
