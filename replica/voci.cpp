#include "replica/voci.h"

#include "common/codifica_parametri.h"
#include "platform/files/files.h"
#include "platform/ini/ini_file.h"
#include "platform/text/cp1252.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"

namespace kyx {

namespace {

constexpr char kSezione[] = "Generale";

// A field of the block: the control it fills, where it lies, and its default.
struct Campo_Blocco {
  std::string Campi_Voce::*campo;
  int inizio, larghezza;
  const char* predefinito;  // "" = none
  bool maiuscolo;
};

constexpr Campo_Blocco kCampi[] = {
    {&Campi_Voce::txtASConn, 1, 50, "nome connessione iSeries", false},
    {&Campi_Voce::txtASPorta, 51, 5, "4100", false},
    {&Campi_Voce::txtASUtente, 56, 10, "Utente iSeries", true},
    {&Campi_Voce::txtASPassword, 66, 10, "", true},
    {&Campi_Voce::txtSQLServer, 76, 20, "nome server SQL", false},
    {&Campi_Voce::txtSQLDataBase, 96, 20, "nome Data Base SQL", false},
    {&Campi_Voce::txtSQLUtente, 116, 10, "Utente SQL", false},
    {&Campi_Voce::txtSQLPassword, 126, 10, "", false},
    {&Campi_Voce::txtSistemaInf, 136, 10, "Nome Sist.Inf.", false},
    {&Campi_Voce::txtIdxSi, 146, 5, "1", false},
};

std::string Numero(int16_t Voce) { return vb::Format(static_cast<int64_t>(Voce), "000"); }

ini::IniFile Ini() {
  ini::IniFile f(File_Ini_Replica());
  f.set_private(true);  // it holds the scrambled passwords
  return f;
}

}  // namespace

std::string Blocco_Voce(const Campi_Voce& Campi) {
  std::string Blocco;
  for (const auto& c : kCampi) {
    const std::string& t = Campi.*c.campo;
    Blocco += text::fixed(c.maiuscolo ? vb::UCase(t) : t, static_cast<std::size_t>(c.larghezza));
  }
  return Blocco + (Campi.Check1 == 1 ? "S" : "N");
}

Campi_Voce Campi_Da_Blocco(const std::string& Blocco) {
  Campi_Voce Campi;
  for (const auto& c : kCampi) {
    std::string t = vb::Mid(Blocco, c.inizio, c.larghezza);
    if (c.campo == &Campi_Voce::txtASConn) t = vb::Trim(t);
    Campi.*c.campo = t.empty() ? c.predefinito : t;
  }
  Campi.Check1 = vb::Mid(Blocco, kLunghezza_Blocco_Voce, 1) == "S" ? 1 : 0;
  return Campi;
}

std::string File_Ini_Replica() { return files::program_folder() + "Kyx_R.INI"; }

int16_t Leggi_Numero_Voci() {
  const double n = vb::TryVal(Ini().Read(kSezione, "Numero", "0")).value_or(0);
  if (n < 1) return 1;
  return n > 999 ? 999 : static_cast<int16_t>(n);  // three-digit key numbers
}

Esito_Voce Leggi_Voce(int16_t Voce, Campi_Voce& Campi) {
  const ini::IniFile f = Ini();
  const std::string Parametri = f.Read(kSezione, "Parametri-" + Numero(Voce), "");
  const std::string Check_Salvato = f.Read(kSezione, "Check-" + Numero(Voce), "");
  std::string Blocco, Check;
  Decodifica_Parametri(Blocco, Parametri, Check);
  if (!Parametri.empty() && Check != Check_Salvato) return Esito_Voce::kIntegrita;
  Campi = Campi_Da_Blocco(Blocco);
  return Esito_Voce::kCaricata;
}

bool Scrivi_Voce(int16_t Voce, int16_t Numero_Voci, const Campi_Voce& Campi) {
  std::string Codificato, Check;
  if (!Codifica_Parametri(Blocco_Voce(Campi), Codificato, Check)) return false;
  ini::IniFile f = Ini();
  f.Write(kSezione, "Parametri-" + Numero(Voce), Valore_Ini_Protetto(Codificato));
  f.Write(kSezione, "Check-" + Numero(Voce), Check);
  f.Write(kSezione, "Numero", vb::Format(static_cast<int64_t>(Numero_Voci), "#0"));
  return true;
}

void Svuota_Voce(int16_t Voce) {
  ini::IniFile f = Ini();
  f.Write(kSezione, "Parametri-" + Numero(Voce), "");
  f.Write(kSezione, "Check-" + Numero(Voce), "");
}

}  // namespace kyx
