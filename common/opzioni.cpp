#include "common/opzioni.h"

#include <array>
#include <cmath>

#include "common/agganci.h"
#include "common/codifica_parametri.h"
#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/utilita.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

std::string Sezione_Profilo(int16_t Indice) { return Numero_Cifre(Indice, 3); }

// Characters `inizio` (from 1) .. `inizio + lunghezza - 1` of the block; "" past its end.
std::string Campo(const std::string& blocco, size_t inizio, size_t lunghezza) {
  if (blocco.size() < inizio) return "";
  return blocco.substr(inizio - 1, lunghezza);
}

std::string Coppia_Colori(int32_t primo, int32_t sfondo) {
  return Numero_Cifre(primo, 8) + "-" + Numero_Cifre(sfondo, 8);
}

// Defaults of "Colore 0" .. "Colore 9". Entries 2 and 8 follow the system's button text and button
// face colours of the moment the profile is loaded.
std::array<std::string, 10> Colori_Predefiniti() {
  const std::string sistema =
      Coppia_Colori(Colore_Reale(Colore_OLE(0x80000012)), Colore_Reale(Colore_OLE(0x8000000F)));
  return {"12059413-16777215", "00000000-12704993", sistema,
          "16777215-02039583", "00986895-12704993", "00000000-15463413",
          "12059413-16777215", "00000000-12704993", sistema,
          "16777215-02039583"};
}

std::string Colore_Livello_Predefinito(int n) {
  if (n <= 8) return "16777215-06250335";
  if (n <= 17) return "00000000-14145495";
  if (n <= 26) return "00000000-07143423";
  return "00986895-13619151";
}

// "##", "#|  #", "#|  |  #", ...: the indentation mark of level n between two "#".
std::string Livello_Predefinito(int n) {
  std::string t = "#";
  for (int i = 1; i < n; ++i) t += "|  ";
  return t + "#";
}

int32_t Intero_O(std::string_view testo, int32_t predefinito) {
  const auto v = Valore_Intero(testo);
  return v ? *v : predefinito;
}


// Spazi_Misura: a run of blanks about 100 device units wide in the grid font, which the column
// auto-fit of the grid measures against. Without a printer layer, or when the measurement fails
// (a width of 0 or less), one blank is used instead of dividing by the failed width.
void Misura_Font_Griglia(int32_t hDC) {
  int32_t larghezza = 0;
  if (agganci::Stampanti_Crea_Font && agganci::Stampanti_Seleziona &&
      agganci::Stampanti_Larghezza_Testo && agganci::Stampanti_Elimina_Oggetto) {
    // Twips_Pixel_Y is set when the main window loads; before that a 96-DPI screen is assumed.
    const double twips_pixel = Twips_Pixel_Y > 0 ? Twips_Pixel_Y : 15.0;
    double altezza = -vb::RoundHalfEven(Font_Dimensione * 20.0 / twips_pixel);
    if (!std::isfinite(altezza) || std::fabs(altezza) > 32767.0) altezza = 0;
    const int32_t font = agganci::Stampanti_Crea_Font(
        std::string(text::trim_blanks(Font_Nome)), static_cast<int32_t>(altezza), 0,
        Font_Grassetto ? 700 : 400, Font_Corsivo ? 1 : 0, 0);
    if (font != 0) {
      const int32_t precedente = agganci::Stampanti_Seleziona(hDC, font);
      larghezza = agganci::Stampanti_Larghezza_Testo(hDC, std::string(10, ' '));
      // The device context gets its own font back before the measured one is deleted, so that
      // it never holds a deleted object.
      agganci::Stampanti_Seleziona(hDC, precedente);
      agganci::Stampanti_Elimina_Oggetto(font);
    } else {
      // No such font: the context's own font is the best measure there is.
      larghezza = agganci::Stampanti_Larghezza_Testo(hDC, std::string(10, ' '));
    }
  }
  long spazi = 1;
  if (larghezza > 0) spazi = static_cast<long>(vb::RoundHalfEven(100.0 / larghezza + 1.0));
  Spazi_Misura = std::string(static_cast<size_t>(spazi), ' ');
}

}  // namespace

// The file names of the data and history folders; their users replace the template parts "###"
// (layout number) and "######" (elaboration number).
void Ricostruisci_Nomi_File() {
  File_Chiavi = Cartella_Dati + "KYX_K.DAT";
  File_Sistemi = Cartella_Dati + "KYX_E.DAT";
  File_Valori = Cartella_Dati + "KYX_V.DAT";
  File_Aree = Cartella_Dati + "KYX_A.DAT";
  File_Layout = Cartella_Dati + "KYX_L.DAT";
  File_Layout_Elementi = Cartella_Dati + "KYX_L_###.DAT";
  File_Drill = Cartella_Dati + "KYX_D_###.DAT";
  File_Filtro_Utente = Cartella_Dati + "KYX_UF.DAT";
  File_Struttura_Utente = Cartella_Dati + "KYX_UA.DAT";
  File_MDB0 = Cartella_Dati + "KYX_0.MDB";
  File_MDB1 = Cartella_Dati + "KYX_1.MDB";
  File_MDB2 = Cartella_Dati + "KYX_2.MDB";
  File_MDB3 = Cartella_Dati + "KYX_3.MDB";
  File_Storico_1 = Cartella_Storico + "KYX_E_######_1.DAT";
  File_Storico_2 = Cartella_Storico + "KYX_E_######_2.DAT";
}

bool Carica_Opzioni(int16_t& Indice, int32_t& hDC) {
  // The main profile is taken first, also when the profile itself turns out to be damaged. A
  // number outside 1 .. Numero_Profili names no profile and means the first one.
  Profilo_Principale = 1;
  if (const auto p = Valore_Intero(Leggi_Ini("Generale", "Principale", "001"))) {
    if (*p >= 1 && *p <= 32767) Profilo_Principale = static_cast<int16_t>(*p);
  }
  if (Profilo_Principale > Numero_Profili) Profilo_Principale = 1;

  const std::string s = Sezione_Profilo(Indice);
  const std::string parametri = Leggi_Ini(s, "Parametri", "");
  const std::string check = Leggi_Ini(s, "Check", "");
  std::string blocco, check_calcolato;
  Decodifica_Parametri(blocco, parametri, check_calcolato);
  // An empty block is a new profile, not yet saved: it passes whatever "Check" holds.
  if (check_calcolato != check && !parametri.empty()) {
    host::MsgBox("Errore di integrit\xE0", host::vbCritical, Titolo_Programma);
    return false;
  }

  Server_Nome = vb::Trim(Campo(blocco, 1, 50));
  if (Server_Nome.empty()) Server_Nome = "nome connessione";
  Server_Porta = Campo(blocco, 51, 5);
  if (Server_Porta.empty()) Server_Porta = "4100";
  Nome_Utente = Campo(blocco, 56, 10);
  if (Nome_Utente.empty()) Nome_Utente = "Utente";
  Password_Utente = Campo(blocco, 66, 10);
  if (Password_Utente.empty()) Password_Utente = std::string(10, '^');

  DataBase_SQL = Leggi_Ini(s, "DataBase SQL", "");
  Sistema_Informativo = Leggi_Ini(s, "Nome", Titolo_Programma);
  Descrizione_Sistema = Leggi_Ini(s, "Descrizione", Titolo_Programma);
  Cartella_Dati = Valore_Cartella(Leggi_Ini(s, "Cartella Dati", "\\Dati\\"));
  Cartella_Storico = Valore_Cartella(Leggi_Ini(s, "Cartella Storico", "\\Dati\\STORICO\\"));
  Cartella_Esportazione =
      Valore_Cartella(Leggi_Ini(s, "Cartella Esportazione", "\\Dati\\EXPORT\\"));
  Cartella_Preferiti = Valore_Cartella(Leggi_Ini(s, "Cartella Preferiti", "\\Dati\\PREFERITI\\"));

  // 1 TXT, 2 HTM, 3 XLS, 4 XLSX; anything else is the workbook.
  const int32_t estensione = Intero_O(Leggi_Ini(s, "Esportazione Estensione", "4"), 4);
  Esportazione_Estensione = static_cast<uint8_t>((estensione >= 1 && estensione <= 4) ? estensione : 4);
  // 0 none, 1 columns, 2 columns with headers. Other numbers are kept as the dialog shows them,
  // as long as they fit the 8-bit variable; beyond it the default is taken.
  const int32_t adatta = Intero_O(Leggi_Ini(s, "Adatta dopo Elaborazione", "2"), 2);
  Adatta_Dopo_Elaborazione = static_cast<uint8_t>((adatta >= 0 && adatta <= 255) ? adatta : 2);

  const std::string data = Leggi_Ini(s, "Data", "20000101010101");
  Data_Descrizioni = data.size() < 14 ? std::string("20000101010101") : data.substr(0, 14);

  const auto colori = Colori_Predefiniti();
  for (int i = 0; i <= 9; ++i) {
    Valore_Colori(Leggi_Ini(s, "Colore " + std::to_string(i), colori[static_cast<size_t>(i)]),
                  Colori[static_cast<size_t>(2 * i)], Colori[static_cast<size_t>(2 * i + 1)]);
  }
  for (int i = 0; i <= 35; ++i) {
    Valore_Colori(Leggi_Ini(s, "ColoreLiv " + std::to_string(i), Colore_Livello_Predefinito(i)),
                  Colori_Livello[static_cast<size_t>(2 * i)],
                  Colori_Livello[static_cast<size_t>(2 * i + 1)]);
  }

  Font_Nome = Leggi_Ini(s, "Font Nome", "Lucida Console");
  Font_Grassetto = Valore_Flag(Leggi_Ini(s, "Font Bold", "N"));
  Font_Corsivo = Valore_Flag(Leggi_Ini(s, "Font Italic", "N"));
  const auto dimensione = Valore_Decimale(Leggi_Ini(s, "Font Size", "8" + Separatore_Decimale + "25"));
  // A size beyond the single-precision range of the variable is no size: the default is taken.
  Font_Dimensione = (dimensione && std::fabs(*dimensione) <= 3.4e38) ? static_cast<float>(*dimensione)
                                                                     : 10.0f;
  Elementi_Storico = Intero_O(Leggi_Ini(s, "Elementi Storico", "9999"), 9999);
  Precisione_Colore = Intero_O(Leggi_Ini(s, "Precisione Colore", "16"), 16);

  Profilo_In_Elenco = Valore_Flag(Leggi_Ini(s, "Elenco", "S"));
  Righe_Zero = Valore_Flag(Leggi_Ini(s, "Righe zero", "N"));
  Messaggi_Aiuto = Valore_Flag(Leggi_Ini(s, "Messaggi aiuto", "N"));
  Preferiti_Aggiorna = Valore_Flag(Leggi_Ini(s, "Preferiti Aggiorna", "S"));
  Memorizza_Colonne = Valore_Flag(Leggi_Ini(s, "Memorizza Colonne", "S"));
  Storico_Pulizia_Login = Valore_Flag(Leggi_Ini(s, "Storico pulizia login", "S"));
  Precisione_15 = Valore_Flag(Leggi_Ini(s, "Precisione 15", "S"));
  Visualizza_Excel = Valore_Flag(Leggi_Ini(s, "Visualizza Excel", "S"));
  Descrizioni_Aggiuntive = Valore_Flag(Leggi_Ini(s, "Descrizioni Aggiuntive", "S"));

  // The level marks are stored between two "#" so that their blanks survive the settings file.
  for (int n = 1; n <= 9; ++n) {
    const std::string t = Leggi_Ini(s, "Livello " + std::to_string(n), Livello_Predefinito(n));
    Nomi_Livello[static_cast<size_t>(n - 1)] = t.size() < 3 ? std::string() : t.substr(1, t.size() - 2);
  }

  Ricostruisci_Nomi_File();
  Misura_Font_Griglia(hDC);
  return true;
}

void Carica_Impostazioni_Stampa() {
  Stampa_Stampante = Leggi_Ini("Stampante", "Nome", "");
  if (Messaggi_Aiuto && agganci::Tooltip_Stampa)
    agganci::Tooltip_Stampa(" Stampa (" + vb::Trim(Stampa_Stampante) + ") ");
  Stampa_Verticale = Leggi_Ini("Stampante", "Verticale", "S") == "S";
  Stampa_Adatta = Leggi_Ini("Stampante", "Adatta", "1") == "1";
  Stampa_Adatta_Colonne = Leggi_Ini("Stampante", "Adatta Colonne", "1") == "1";
  Stampa_Adatta_Font = Leggi_Ini("Stampante", "Adatta Font", "1") == "1";
  Stampa_Allinea_X = Leggi_Ini("Stampante", "Allinea X", "1") == "1";

  // Left, right, top, bottom. The print dialog stores a margin as typed ("12mm"): its leading
  // number counts. A margin without one, or too large for its 16-bit variable, takes the
  // default of 3 mm.
  static const char* const kMargini[4] = {"Margine Sx", "Margine Dx", "Margine Top", "Margine Bot"};
  for (size_t i = 0; i < 4; ++i) {
    const std::string testo = vb::Trim(Leggi_Ini("Stampante", kMargini[i], "3"));
    size_t fine = testo.empty() || testo[0] != '-' ? 0 : 1;
    while (fine < testo.size() && fine < 12 && testo[fine] >= '0' && testo[fine] <= '9') ++fine;
    int32_t mm = Intero_O(testo.substr(0, fine), 3);
    if (mm < -32768 || mm > 32767) mm = 3;
    Stampa_Margini_mm[i] = static_cast<int16_t>(mm);
    // 1 mm = 1440 / 25.4 twips.
    Stampa_Margini[i] = static_cast<int32_t>(vb::RoundHalfEven(mm * 56.6868));
  }
  Stampa_Margine_Cella = 30;

  Stampa_Filtro = Leggi_Ini("Stampante", "Filtro", "1") == "1";
  Stampa_Dati = Leggi_Ini("Stampante", "Dati", "0") == "1";
  Stampa_Copie = Intero_O(Leggi_Ini("Stampante", "Copie", "1"), 1);
  if (Stampa_Copie < 1) Stampa_Copie = 1;
  Stampa_Font_Max = Intero_O(Leggi_Ini("Stampante", "Font Max", "15"), 20);
  if (Stampa_Font_Max < 2) Stampa_Font_Max = 2;
  Stampa_Livello_1 = Leggi_Ini("Stampante", "Livello 1", "0") == "1";
}

bool Parametri_Profilo(int16_t Indice, const std::string& Server, const std::string& Porta,
                       const std::string& Utente, const std::string& Password, std::vector<ini::IniEntry>& Valori) {
  std::string codificato, check;
  if (!Codifica_Parametri(Blocco_Parametri(Server, Porta, Utente, Password), codificato, check))
    return false;
  const std::string s = Sezione_Profilo(Indice);
  Valori.push_back({s, "Parametri", Valore_Ini_Protetto(codificato)});
  Valori.push_back({s, "Check", check});
  return true;
}

bool Scrivi_Parametri_Profilo(int16_t Indice, const std::string& Server, const std::string& Porta,
                              const std::string& Utente, const std::string& Password) {
  std::vector<ini::IniEntry> Valori;
  return Parametri_Profilo(Indice, Server, Porta, Utente, Password, Valori) && Scrivi_Ini_Tutte(Valori);
}

}  // namespace kyx
