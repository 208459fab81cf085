#include "ui/dialoghi/installa_dialoghi.h"

#include <cstdint>
#include <string>

#include "common/agganci.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_menu_preferiti.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/dialoghi/frm_password.h"
#include "ui/dialoghi/frm_stampante.h"

namespace kyx {

void Installa_Dialoghi() {
  agganci::frmPassword_Carica = [](int32_t& Modo) { frmPassword->Carica(Modo); };
  agganci_base::Azioni["Opzioni"] = [] {
    int32_t Modo = 3;
    frmOpzioni->Carica(Modo, std::string());
  };
  agganci_base::Azioni["SetStampa"] = [] { frmStampante->Carica(); };
  agganci_base::Azioni["Preferiti"] = [] { frmMenuPreferiti->Carica(); };
  agganci_base::Popup[5] = []() -> ui::KyForm* { return frmMenuPreferiti.peek(); };
  agganci_base::hWnd_Login = [] {
    const FrmPassword* f = frmPassword.peek();
    return f ? f->hWnd() : 0;
  };
}

}  // namespace kyx
