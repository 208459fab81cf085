// Login and download sequence (Collegamento_Server) and disconnection (Disconnetti).
#include "server/collegamento.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "common/stato.h"
#include "common/stato_db.h"
#include "db/aggiorna.h"
#include "db/mdb0.h"
#include "db/mdb2.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/agganci_server.h"
#include "server/blocchi.h"
#include "server/campo.h"
#include "server/descrizioni_server.h"
#include "server/master_sql.h"
#include "server/risposta.h"
#include "server/scarica.h"
#include "server/socket.h"

namespace kyx {

namespace {

constexpr int32_t kLunghezza_Login = 91;
// The last position of the login reply that is read (the list separator).
constexpr int32_t kFine_Risposta_Login = 94;

void Stato(const std::string& Testo) { host::host().SetPanel("Stato", Testo); }

// Ends the program when the data-set database cannot follow the new definitions.
void Termina_Programma() {
  if (agganci_server::Fine_Programma) agganci_server::Fine_Programma();
}

// Removes the files of one per-layout template ("###" = three digits).
void Elimina_Per_Layout(const std::string& Modello) {
  const std::string Percorso = files::native_path(Modello);
  const std::size_t Barra = Percorso.find_last_of('/');
  const std::string Cartella = Barra == std::string::npos ? "." : Percorso.substr(0, Barra + 1);
  const std::string Nome = Barra == std::string::npos ? Percorso : Percorso.substr(Barra + 1);
  const std::size_t Segno = Nome.find("###");
  if (Segno == std::string::npos) return;
  const std::string Schema = vb::Replace(Nome, "###", "???");
  for (const std::string& f : files::list_files(Cartella, Schema)) {
    bool Cifre = true;
    for (std::size_t i = Segno; i < Segno + 3 && i < f.size(); ++i) Cifre = Cifre && f[i] >= '0' && f[i] <= '9';
    if (Cifre) files::remove_file(Cartella + f);
  }
}

// A login step that failed where no message box is shown: the status bar's "Stato" panel says
// which step and why (the caller shows it again after redrawing the bar), and the socket closes.
bool Passo_Fallito(const std::string& Testo) {
  Sock_Svuota(1);
  Sock_Close(1);
  Esito_Collegamento = Testo;
  Stato(Testo);
  return false;
}

// The greeting, the login request and its reply. True when the server accepted the user; the
// reply's system index, library and separator are stored before any check. A refusal shows its
// message; every other failed step is named in the status bar. The socket is closed on every
// False.
bool Accesso_Socket(int32_t hWnd) {
  std::string Esito;
  const int32_t Porta = vb::CLng(vb::Val(Server_Porta));
  if (Sock_Connect(1, Server_Nome, Porta, Esito, hWnd, false) != -1) {
    return Passo_Fallito("Collegamento con il server " + Server_Nome + " porta " + std::to_string(Porta) +
                         " non riuscito: " + Motivo_Socket);
  }

  if (!Sock_Read(1, 6)) {
    Collegamento_Perso("", false);
    return false;
  }
  if (const std::string s = Campo("A", 1, 1, 1, 0); s != "0") {
    return Passo_Fallito("Collegamento rifiutato dal server: il saluto iniziale ha lo stato \"" + s + "\"");
  }
  if (!Numero_Valido('S', 2, 5)) {
    return Passo_Fallito("Il saluto iniziale del server non \xE8 valido: la sua lunghezza non \xE8 un numero");
  }
  Sock_Write(1, Richiesta_Login(), kLunghezza_Login);
  if (!Sock_Read(1, 6)) {
    Collegamento_Perso("", false);
    return false;
  }
  if (const std::string s = Campo("A", 1, 1, 1, 0); s != "0") {
    return Passo_Fallito("Login rifiutato dal server: la risposta al login ha lo stato \"" + s + "\"");
  }
  const auto n = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
  if (!Numero_Valido('S', 2, 5) || n < 1 || n > kMassimo_Risposta) {
    return Passo_Fallito("Risposta al login non valida: la lunghezza \"" + Campo("S", 2, 5, 5, 0) +
                         "\" non \xE8 quella di una risposta");
  }
  if (!Sock_Read(1, n)) {
    Collegamento_Perso("", false);
    return false;
  }
  // A reply shorter than the fields read: past its end the record buffer holds older bytes;
  // the missing fields read as blanks instead.
  for (int32_t p = n + 1; p <= kFine_Risposta_Login; ++p) {
    Buffer_Record[static_cast<std::size_t>(p - 1)] = Tabella_Inversa[static_cast<uint8_t>(' ')];
  }
  const std::string Risposta = Campo("A", 1, n, n, 0);
  // The three indexes are numbers or the reply is not one the server meant: taken as 0 they
  // would pass for a refusal of a system that may well exist.
  struct Indice {
    int32_t Inizio;
    const char* Nome;
  };
  for (const Indice& i : {Indice{52, "del client"}, Indice{55, "del sistema informativo"}, Indice{58, "dell'utente"}}) {
    if (!Numero_Valido('S', i.Inizio, 3)) {
      return Passo_Fallito(std::string("Risposta al login non valida: l'indice ") + i.Nome + " non \xE8 un numero");
    }
  }

  const auto Indice_Client = static_cast<int16_t>(vb::Val(Campo("S", 52, 3, 3, 0)));
  Indice_Sistema_Server = static_cast<int16_t>(vb::Val(Campo("S", 55, 3, 3, 0)));
  const auto Indice_Utente = static_cast<int16_t>(vb::Val(Campo("S", 58, 3, 3, 0)));
  Libreria_Sistema = vb::Trim(Campo("A", 61, 10, 10, 0));
  Separatore_Valori = vb::Trim(Campo("A", 94, 1, 1, 0));
  if (Separatore_Valori.empty()) Separatore_Valori = ",";

  std::string Rifiuto;
  if (vb::Mid(Risposta, 1, 1) != "S") {
    Rifiuto = "L'utente " + Nome_Utente + "\r" + " e/o la password sono errati";
  } else if (Indice_Sistema_Server < 1) {
    Rifiuto = "Il sistema informativo : " + Sistema_Informativo + "\r" + "\xE8 errato";
  } else if (Indice_Client < 0) {
    Rifiuto = "Indice del client errato";
  } else if (Indice_Utente < 0) {
    Rifiuto = "Utente non inserito nelle tabelle";
  }
  if (!Rifiuto.empty()) {
    Messaggio_Critico(Rifiuto);
    Sock_Close(1);
    return false;
  }
  return true;
}

// The information systems of SINF in index order, as (code, library). Read before the loop that
// downloads them: the loaders move Rs_Sinf while they run.
std::vector<std::pair<std::string, std::string>> Sistemi_Caricati() {
  std::vector<std::pair<std::string, std::string>> Sistemi;
  if (!Rs_Sinf || (Rs_Sinf->BeforeFirst() && Rs_Sinf->AfterLast())) return Sistemi;
  if (!Rs_Sinf->MoveFirst()) return Sistemi;
  while (!Rs_Sinf->AfterLast()) {
    Sistemi.emplace_back(Rs_Sinf->Field("SINF").AsText(), Rs_Sinf->Field("LIBS1").AsText());
    if (!Rs_Sinf->MoveNext()) break;
  }
  return Sistemi;
}

// Downloads and loads every definition through socket 1 into a new definitions database beside
// the stored one (the caller puts it in place or drops it). Stops with False at the first reply
// error (its message shown already): a definitions database loaded from a partial download must
// never reach the structure check, which would take the missing keys for a new structure and
// offer to delete every local data set; and once the link is lost every later request would fail
// in turn, each with its own message. The socket is then closed.
bool Scarica_Definizioni() {
  const int32_t Errori_Prima = Errori_Risposta;
  const auto Interrotto = [&] {
    if (Collegamento_Attivo() && Errori_Risposta == Errori_Prima) return false;
    Sock_Close(1);
    return true;
  };
  if (!Inizia_MDB0_Nuovo()) {
    Sock_Close(1);
    return false;
  }

  Stato("Aggiornamento Chiavi esterne");
  Scarica_Sistemi();
  if (Interrotto()) return false;
  Aggiorna_SINF();

  int32_t k = 0;
  for (const auto& [Sistema, Libreria] : Sistemi_Caricati()) {
    ++k;
    Stato("Aggiornamento Chiavi - " + Sistema);
    Scarica_Chiavi(Libreria);
    if (Interrotto()) return false;
    Aggiorna_CHIAVI(Sistema, k);
    Stato("Aggiornamento Valori - " + Sistema);
    Scarica_Valori(Libreria);
    if (Interrotto()) return false;
    Aggiorna_VALORI(Sistema, k);
  }

  Stato("Aggiornamento Aree");
  Scarica_Aree();
  if (Interrotto()) return false;
  Aggiorna_AREE();

  Stato("Aggiornamento Layout");
  Scarica_Elenco_Layout();
  if (Interrotto()) return false;

  Stato("Aggiornamento elementi Layout");
  Scarica_Per_Sistema();
  if (Interrotto()) return false;
  Aggiorna_LAYOUT();

  Stato("Aggiornamento Filtro utente");
  Scarica_Filtri_Utente();
  if (Interrotto()) return false;
  Aggiorna_FILTRO();

  Stato("Aggiornamento Struttura utente");
  Scarica_Utenti_Aree();
  if (Interrotto()) return false;
  Aggiorna_STRUTTURA();

  // The descriptions do not shape the data-set database: a refused block leaves them and "Data"
  // where they were (the next login asks again) and the login goes on, unless the link itself
  // was lost.
  Stato("Aggiornamento Descrizioni");
  Aggiorna_Descrizioni_Server("Numero");
  return Collegamento_Attivo();
}

// The end both paths share: the data-set database against the new definitions, the clean-up.
bool Fine_Comune() {
  switch (Verifica_Struttura_MDB2()) {
    case 1:  // no data-set database yet
      Apri_MDB2(true, false);
      break;
    case 2: {
      const std::string Domanda = std::string("La struttura dei dati locali \xE8 stata modificata.") + "\r\r" +
                                  "Premere il pulsante" + "\r" +
                                  "S\xEC = per cancellare i dati locali e creare la nuova struttura," + "\r" +
                                  "No = per terminare l'oerazione.";
      if (host::MsgBox(Domanda, host::vbYesNo | host::vbExclamation | host::vbDefaultButton2, Titolo_Programma) ==
          host::vbYes) {
        Apri_MDB2(true, false);
      } else {
        Termina_Programma();
        return false;
      }
      break;
    }
    case 3:
      Messaggio_Critico("Mancano Sistemi informati e/o Chiavi e/o Valori");
      Termina_Programma();
      return false;
    case 9:
      Messaggio_Critico("Errore nella verifica di DB 2");
      Termina_Programma();
      return false;
    default:
      break;
  }
  Elimina_File_Lavoro();
  Stato("Ricarica");
  host::DoEvents();
  return true;
}

}  // namespace

std::string Richiesta_Login() {
  std::string Password = Password_Utente;
  for (char& c : Password) {
    if (c == '^') c = ' ';  // the profile keeps blanks of the password as "^"
  }
  // The port as a 16-bit Integer: above 32767 it reads negative, and its absolute value is sent.
  const long Porta = std::labs(static_cast<long>(vb::Val(Porta_Locale(1))));
  return "u00085" + text::fixed(Nome_Utente, 10) + text::fixed(Password, 10) + "-KYX-" +
         text::fixed(Sistema_Informativo, 10) + text::fixed(Indirizzo_Locale(1), 15) +
         blocchi::Cifre(Porta, 5) + text::fixed(Nome_Host(), 20) + text::fixed(Sistema_Informativo, 10);
}

void Elimina_File_Lavoro() {
  for (const std::string* f : {&File_Aree, &File_Chiavi, &File_Sistemi, &File_Valori, &File_Layout,
                               &File_Filtro_Utente, &File_Struttura_Utente}) {
    if (f->empty()) continue;
    const std::string Percorso = files::native_path(*f);
    if (files::file_exists(Percorso)) files::remove_file(Percorso);
  }
  if (!File_Layout_Elementi.empty()) Elimina_Per_Layout(File_Layout_Elementi);
  if (!File_Drill.empty()) Elimina_Per_Layout(File_Drill);
}

bool Collegamento_Server(int32_t& hWnd) {
  // A run-time error anywhere ends the call with False, without a message, as it stands.
  try {
    Indice_Sistema_Server = -1;
    Libreria_Sistema.clear();
    Esito_Collegamento.clear();
    Elimina_File_Lavoro();

    if (!DataBase_SQL.empty()) {
      if (!Collegamento_SQL()) {
        Annulla_MDB0_Nuovo();
        return false;
      }
      if (!Conferma_MDB0_Nuovo()) return false;
      return Fine_Comune();
    }

    // Without the code table every character would travel as byte 0: the server could only
    // refuse the login, and no reply could be read.
    std::string Descrizione;
    const std::string Tabella = Cartella_Programma + "KYX.Tbl";
    if (!Sock_Start(Descrizione, Tabella)) {
      Messaggio_Critico("Impossibile collegarsi al server:\rla tabella dei caratteri " + Tabella +
                        " manca o \xE8 incompleta");
      return false;
    }
    if (!Accesso_Socket(hWnd)) return false;
    if (!Scarica_Definizioni()) {
      Annulla_MDB0_Nuovo();
      return false;
    }
    if (!Conferma_MDB0_Nuovo()) {
      Sock_Close(1);
      return false;
    }
    return Fine_Comune();
  } catch (...) {
    // Whatever failed, the stored definitions stay as they were.
    Annulla_MDB0_Nuovo();
    return false;
  }
}

bool Disconnetti() {
  Sock_Close(1);
  // The SQL database an elaboration opened is closed with the link.
  Chiudi_DB_SQL();
  host::DoEvents();
  return false;
}

}  // namespace kyx
