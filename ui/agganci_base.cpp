#include "ui/agganci_base.h"

#include <QGuiApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "common/agganci.h"
#include "common/opzioni.h"
#include "common/registro_istanze.h"
#include "db/mdb0.h"
#include "db/mdb1.h"
#include "db/mdb2.h"
#include "db/mdb3.h"
#include "platform/ui/units.h"
#include "platform/vb/vb.h"
#include "server/agganci_server.h"
#include "server/collegamento.h"
#include "server/socket.h"
#include "ui/frm_base.h"
#include "ui/impostazioni_generali.h"
#include "ui/mappa_aiuto.h"

namespace kyx::agganci_base {

std::function<bool(bool)> Apri_MDB0;
std::function<bool(bool, bool)> Apri_MDB1;
std::function<bool(bool, bool)> Apri_MDB2;
std::array<std::function<bool()>, 4> Chiudi_MDB;
std::function<bool(std::string&, const std::string&)> Sock_Start;
std::function<void()> Sock_Stop;
std::function<bool(int16_t&, int32_t&, int32_t&, std::string&)> Registro_Istanze;
std::function<void()> Carica_Impostazioni_Stampa;
std::function<double()> Orologio;
std::function<void(double&, double&)> Schermo_Twips;
std::function<void(int)> Termina_Programma;

std::function<bool(int32_t)> Collegamento_Server;
std::function<bool()> Disconnetti;
std::function<int32_t()> hWnd_Login;
std::function<void()> Carica_Albero_Struttura;
std::function<void()> Carica_Albero_Chiavi;
std::function<void()> KyHead_Initialize;
std::function<void()> KyHead_Aggiorna;
std::function<void()> Visualizza_Griglia;
std::function<void()> Visualizza_Grafico;
std::function<void()> Visualizza_Ordina;
std::function<void(const std::string&)> Carica_Elenco_Caricati;
std::function<void(const std::string&)> frmMenuDati_Carica;
std::function<void(int16_t, const std::string&, const std::string&, uint8_t, const std::string&,
                   bool)>
    Carica_Filtro_Modifica;
std::function<void(int16_t, const std::string&, bool)> Carica_Layout;
std::function<void()> Esegui_Elaborazione;
std::function<void(int16_t Chiave, const std::string& Elemento)> Carica_da_Drill;
std::function<void(const std::string& Chiave_Nodo)> Carica_da_TW;
std::function<int32_t()> Record_Risultato;
std::function<void()> Stampa_Documento;
std::function<int32_t()> Apri_Aiuto;
std::function<void()> Ridimensiona_Mappa;
std::function<void(int32_t, int32_t, int32_t, int16_t, int16_t)> Help_Mappa_Apri;
std::function<void(int32_t, int32_t, int32_t, int32_t)> xMouseWheel;
std::function<void(int32_t, int32_t)> xMouseMove;
std::function<void(int16_t, const std::string&)> frmMenuRiga_Carica;
std::function<void()> frmMenuColonna_Carica;
std::array<std::function<ui::KyForm*()>, 7> Popup;
std::map<std::string, std::function<void()>, std::less<>> Azioni;

namespace {

void Schermo_Reale(double& Larghezza, double& Altezza) {
  // The whole screen, as the system's Screen.Width and Screen.Height give it.
  const QScreen* schermo = QGuiApplication::primaryScreen();
  const QSize px = schermo ? schermo->size() : QSize(1024, 768);
  Larghezza = px.width() * ui::Twips_Pixel_X();
  Altezza = px.height() * ui::Twips_Pixel_Y();
}

[[noreturn]] void Termina_Subito(int Codice) {
  // Everything worth keeping is on disk already (settings are written atomically, databases
  // closed by Fine_Programma); ending here keeps any queued handler from running afterwards.
  std::fflush(nullptr);
  std::_Exit(Codice);
}

}  // namespace

void reset() {
  Apri_MDB0 = [](bool r) { return kyx::Apri_MDB0(r); };
  Apri_MDB1 = [](bool r, bool c) { return kyx::Apri_MDB1(r, c); };
  Apri_MDB2 = [](bool r, bool c) { return kyx::Apri_MDB2(r, c); };
  Chiudi_MDB = {[] { return kyx::Chiudi_MDB0(); }, [] { return kyx::Chiudi_MDB1(); },
                [] { return kyx::Chiudi_MDB2(); }, [] { return kyx::Chiudi_MDB3(); }};
  Sock_Start = [](std::string& d, const std::string& p) { return kyx::Sock_Start(d, p); };
  Sock_Stop = [] { kyx::Sock_Stop(); };
  Registro_Istanze = [](int16_t& m, int32_t& h1, int32_t& h2, std::string& c) {
    return kyx::Registro_Istanze(m, h1, h2, c);
  };
  Carica_Impostazioni_Stampa = [] { kyx::Carica_Impostazioni_Stampa(); };
  Orologio = [] { return vb::Timer(); };
  Schermo_Twips = Schermo_Reale;
  Termina_Programma = Termina_Subito;

  Collegamento_Server = [](int32_t h) { return kyx::Collegamento_Server(h); };
  Disconnetti = [] { return kyx::Disconnetti(); };
  // A fatal failure of the login ends the program through the main window's shut-down.
  agganci_server::Fine_Programma = [] {
    kyx::Fine_Programma();
    if (Termina_Programma) Termina_Programma(0);
  };
  // A link found lost anywhere below: the toolbar and the status bar show it at once.
  agganci_server::Collegamento_Chiuso = [] {
    if (frmBase.Loaded()) frmBase->Imposta_Bar();
  };
  hWnd_Login = nullptr;
  Carica_Albero_Struttura = nullptr;
  Carica_Albero_Chiavi = nullptr;
  KyHead_Initialize = nullptr;
  KyHead_Aggiorna = nullptr;
  Visualizza_Griglia = nullptr;
  Visualizza_Grafico = nullptr;
  Visualizza_Ordina = nullptr;
  Carica_Elenco_Caricati = nullptr;
  frmMenuDati_Carica = nullptr;
  Carica_Filtro_Modifica = nullptr;
  Carica_Layout = nullptr;
  Esegui_Elaborazione = nullptr;
  Carica_da_Drill = nullptr;
  Carica_da_TW = nullptr;
  Record_Risultato = nullptr;
  Stampa_Documento = nullptr;
  // Help: the viewer on KYX.CHM, owned by the main window, and the context-help map.
  Apri_Aiuto = [] {
    const FrmBase* Base = frmBase.peek();
    return Apri_Argomento(Base ? Base->hWnd() : 0, "");
  };
  Ridimensiona_Mappa = [] { frmBase->Ridimensiona_Mappa(); };
  Help_Mappa_Apri = [](int32_t Top, int32_t Left, int32_t hWnd, int16_t Primo, int16_t Ultimo) {
    int32_t P = Primo, U = Ultimo;
    kyx::Help_Mappa_Apri(Top, Left, hWnd, P, U);
  };
  // Wheel and pointer routing: the main window's own.
  xMouseWheel = [](int32_t Tasti, int32_t Scatti, int32_t X, int32_t Y) { frmBase->xMouseWheel(Tasti, Scatti, X, Y); };
  xMouseMove = [](int32_t X, int32_t Y) { frmBase->xMouseMove(X, Y); };
  frmMenuRiga_Carica = nullptr;
  frmMenuColonna_Carica = nullptr;
  Popup = {};
  Azioni.clear();
  Azioni["SInf"] = [] {
    if (agganci::frmPassword_Carica) {
      int32_t Modo = 2;
      agganci::frmPassword_Carica(Modo);
    }
  };
}

namespace {
// The slots start filled, before main() runs.
const bool kPronti = (reset(), true);
}  // namespace

}  // namespace kyx::agganci_base
