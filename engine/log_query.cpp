#include "engine/log_query.h"

#include "common/stato.h"
#include "engine/campi.h"
#include "platform/files/files.h"
#include "platform/vb/vb.h"

namespace kyx {

void Scrivi_Log(const std::string& Etichetta, int32_t Numero, const std::string& Testo) {
  // A plain byte compare: "/log" in lower case does not switch the log on.
  if (Riga_Comando.find("/LOG") == std::string::npos) return;
  std::string Riga;
  if (Numero == 0) Riga = "\r\n";
  Riga += vb::FormatDate(vb::Now(), "dd/mm/yyyy hh:nn:ss") + " - " + vb::Left(Etichetta + vb::Space(10), 10) +
          " - " + motore::Cifre(Numero, 3) + " - " + Testo + "\r\n";
  (void)files::append_file(Cartella_Programma + "KYX.LOG", Riga);
}

}  // namespace kyx
