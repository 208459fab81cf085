#include "common/avvio.h"

#include <string>

#include "common/agganci.h"
#include "common/impostazioni.h"
#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/ini/ini_file.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

const std::string kCrLf = "\r\n";

// The contact lines shown when no KYX.KYX names the supplier.
constexpr const char* kContatti_Predefiniti[5] = {
    "Quadrante Analisi S.r.l.",
    "Via dei Tessitori, 14",
    "20900 Monza (MB)",
    "Telefono: 039 555 0142",
    "E-Mail: assistenza@quadrante-analisi.example",
};

// A count of section "OPZ": a number is rounded to a whole number; text that is not a number, a
// number beyond 32 bits and a count below 1 take the default. The counts say after how many
// stored rows a database is compacted, and a count of 0 or less would compact at every row.
int32_t Conteggio_Opz(const char* Chiave, int32_t Predefinito) {
  const auto v = Valore_Intero(Leggi_Ini("OPZ", Chiave, std::to_string(Predefinito)));
  return (v && *v >= 1) ? *v : Predefinito;
}

// Section "OPZ" of KYX.INI and the optional title and contact file KYX.KYX.
void Leggi_Opzioni_Avvio() {
  Compatta_Descrizioni = Conteggio_Opz("Compatta Descrizioni", 4000);
  Compatta_Dati = Conteggio_Opz("Compatta Dati", 5000);

  // Only the major version is used. The program declares no compatibility with newer Windows
  // versions, so the query answers 6 and "Aspetto" is taken as stored.
  const int versione = host::windows_major_version();

  // "A" (automatic, the default) and every value other than "S" and "N" switch compaction on for
  // the systems after XP, where the databases grow fast enough to need it.
  const std::string compattare = Leggi_Ini("OPZ", "Compattare", "A");
  if (compattare == "S") {
    Compattare = true;
  } else if (compattare == "N") {
    Compattare = false;
  } else {
    Compattare = versione > 5;
  }

  Debug_Attivo = Valore_Flag(Leggi_Ini("OPZ", "Debug", "N"));

  const auto aspetto = Valore_Intero(Leggi_Ini("OPZ", "Aspetto", "1"));
  Aspetto = aspetto ? *aspetto : 1;
  if (versione >= 10) Aspetto = 2;
  if (Aspetto == 2) {
    Aspetto_Piatto = 1;
    Colore_Sfondo = Colore_OLE(0x80000005);  // window background
    Colore_Bordo = Colore_OLE(0x80000010);   // button shadow
  } else {
    Aspetto_Piatto = 0;
    Colore_Sfondo = Colore_OLE(0x8000000F);  // button face
    Colore_Bordo = Colore_OLE(0x80000014);   // button highlight
  }

  // The banner always has five lines, empty ones included, so that its line breaks stay put.
  Messaggio_Avvio.clear();
  Messaggio_Presente = false;
  for (int n = 1; n <= 5; ++n) {
    const std::string riga = Leggi_Ini("OPZ", "Msg " + std::to_string(n), "");
    if (!riga.empty()) Messaggio_Presente = true;
    Messaggio_Avvio += riga;
    if (n < 5) Messaggio_Avvio += kCrLf;
  }

  Testo_Contatti = kCrLf + kCrLf + "contattare:" + kCrLf;
  const std::string file_kyx = Cartella_Programma + "KYX.KYX";
  if (files::file_exists(files::native_path(file_kyx))) {
    const ini::IniFile kyx(file_kyx);
    for (int n = 1; n <= 5; ++n)
      Testo_Contatti += kCrLf + kyx.Read("Contatto", std::to_string(n), "");
    Titolo_Programma = kyx.Read("Nome", "1", "");
  } else {
    for (const char* riga : kContatti_Predefiniti) Testo_Contatti += kCrLf + riga;
    Titolo_Programma = "Q-KRE";
  }
}

}  // namespace

void Main(const std::string& Argomenti) {
  if (agganci::XPStyle_Inizializza) agganci::XPStyle_Inizializza();

  Cartella_Programma = files::program_folder();
  File_Ini = Cartella_Programma + "KYX.INI";
  File_Istanze = Cartella_Programma + "KYX.DAT";
  File_Aiuto = Cartella_Programma + "KYX.CHM";

  Separatore_Decimale = std::string(1, vb::locale().decimal);
  Riga_Comando = vb::Trim(Argomenti);

  Leggi_Opzioni_Avvio();

  // Settings that exist but cannot be read (a folder, a FIFO, a file without read permission)
  // would be taken as defaults and then overwritten by the first save: the program stops here
  // and says why. A missing file is a new installation and gives the defaults.
  if (std::string byte; files::exists(File_Ini) && !files::read_file(File_Ini, byte)) {
    host::MsgBox("Il file delle impostazioni\r" + File_Ini + "\rnon \xE8 un file leggibile.\r\r" +
                     "Il programma non pu\xF2 essere avviato.",
                 host::vbCritical, Titolo_Programma);
    return;
  }

  if (agganci::frmPassword_Carica) {
    int32_t modo = 1;
    agganci::frmPassword_Carica(modo);
  }
}

}  // namespace kyx
