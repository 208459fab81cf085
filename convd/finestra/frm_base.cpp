#include "convd/finestra/frm_base.h"

#include <filesystem>
#include <system_error>

#include "platform/host/host.h"

namespace kyx::convd {

FrmBase::FrmBase() : ui::KyForm("frmBase") {
  SetCaption(kTitolo);
  Move(0, 0, 5400, 1200);
  Label1 = new ui::Label(this);
  Label1->setGeometry(12, 12, ScaleWidth() - 24, ScaleHeight() - 24);
  Label1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FrmBase::Form_Load() {
  Label1->SetCaption("");
  Show(ui::vbModeless);
  host::DoEvents();
  std::error_code e;
  const std::filesystem::path Cartella = std::filesystem::current_path(e);
  Converti_Descrizioni(e ? std::string(".") : Cartella.string());
}

void FrmBase::Converti_Descrizioni(const std::string& Cartella) {
  Ultimo = convd::Converti_Descrizioni(Cartella, [this](std::string_view Caption) {
    Label1->SetCaption(Caption);
    Label1->repaint();
  });
}

}  // namespace kyx::convd
