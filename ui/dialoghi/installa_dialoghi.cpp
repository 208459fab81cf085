#include "ui/dialoghi/installa_dialoghi.h"

#include <cstdint>
#include <string>

#include "common/agganci.h"
#include "ui/agganci_base.h"
#include "ui/dialoghi/frm_opzioni.h"
#include "ui/dialoghi/frm_password.h"

namespace kyx {

void Installa_Dialoghi() {
  agganci::frmPassword_Carica = [](int32_t& Modo) { frmPassword->Carica(Modo); };
  agganci_base::Azioni["Opzioni"] = [] {
    int32_t Modo = 3;
    frmOpzioni->Carica(Modo, std::string());
  };
  agganci_base::hWnd_Login = [] {
    const FrmPassword* f = frmPassword.peek();
    return f ? f->hWnd() : 0;
  };
}

}  // namespace kyx
