// Leggi_Impostazioni_Generali: section "Generale" into the main window and the shared state.
#include "ui/impostazioni_generali.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "common/impostazioni.h"
#include "common/modello.h"
#include "common/stato.h"
#include "platform/vb/try_val.h"
#include "platform/vb/vb.h"
#include "ui/agganci_base.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"

namespace kyx {

namespace {

// A whole number of the settings; `Predefinito` when not a number or beyond 32 bits.
int32_t Intero(const char* Chiave, const char* Letto_Predefinito, int32_t Predefinito) {
  return Valore_Intero(Leggi_Ini("Generale", Chiave, Letto_Predefinito)).value_or(Predefinito);
}

// The leading number of a text (Val), rounded half to even; 0 when there is none, and
// `Fuori_Campo` when it does not fit between Minimo and Massimo.
int32_t Numero_Iniziale(const std::string& Testo, int32_t Minimo, int32_t Massimo,
                        int32_t Fuori_Campo) {
  const auto letto = vb::TryVal(Testo);
  if (!letto) return Fuori_Campo;
  const double v = vb::RoundHalfEven(*letto);
  if (!std::isfinite(v) || v < Minimo || v > Massimo) return Fuori_Campo;
  return static_cast<int32_t>(v);
}

// A share of the window ("per_altezza", "per_larghezza") written with the locale's separator;
// 0 or not a number gives `Predefinito`.
double Quota(const char* Chiave, double Predefinito) {
  const std::string Letto = Leggi_Ini("Generale", Chiave, "0" + Separatore_Decimale + "0");
  const std::optional<double> v = Valore_Decimale(Letto);
  if (!v || *v == 0 || !std::isfinite(*v)) return Predefinito;
  return *v;
}

}  // namespace

void Leggi_Impostazioni_Generali() {
  In_Caricamento = true;
  FrmBase& f = *frmBase;
  double Schermo_L = 0, Schermo_A = 0;
  agganci_base::Schermo_Twips(Schermo_L, Schermo_A);

  // A minimised window opens normal; a state the window does not know is taken as normal too.
  int32_t Stato = Intero("WindowState", "0", 0);
  if (Stato != ui::vbMaximized) Stato = ui::vbNormal;
  f.SetWindowState(Stato);

  // Placement, applied whatever the state: it is the window's normal placement.
  double Left = Intero("Left", "0", 0);
  if (Left < 0) Left = 0;
  if (Left > Schermo_L - 600) Left = Schermo_L - 600;
  double Top = Intero("Top", "0", 0);
  if (Top < 0) Top = 0;
  if (Top > Schermo_A - 600) Top = Schermo_A - 600;
  double Width = Intero("Width", "0", 0);
  if (Width < 9450) Width = 9450;
  if (Width > Schermo_L) Width = Schermo_L;
  double Height = Intero("Height", "0", 0);
  if (Height < 6000) Height = 6000;
  if (Height > Schermo_A) Height = Schermo_A;
  f.Move(std::max(0.0, Left), std::max(0.0, Top), Width, Height);

  Per_Altezza = std::clamp(Quota("per_altezza", 0.5), 0.1, 0.9);
  // The left pane keeps at least 77 pixels of the client width, and at most half of it.
  Per_Larghezza = Quota("per_larghezza", 0.25);
  const int Larghezza_Interna = f.ScaleWidth();
  if (Larghezza_Interna > 0 && Per_Larghezza < 77.0 / Larghezza_Interna) {
    Per_Larghezza = 77.0 / Larghezza_Interna;
  }
  if (Per_Larghezza > 0.5) Per_Larghezza = 0.5;

  Anno_Riferimento = Numero_Iniziale(Leggi_Ini("Generale", "Anno riferimento", "0000"), 0, 9999, 0);
  if (Anno_Riferimento == 0) Anno_Riferimento = vb::Now().year;
  Grafico_Tipo = static_cast<int16_t>(
      Numero_Iniziale(Leggi_Ini("Generale", "Grafico tipo", "00"), -32768, 32767, 0));
  Grafico_Percentuale = Valore_Flag(Leggi_Ini("Generale", "Grafico percentuale", "N"));
  Grafico_Serie = Valore_Flag(Leggi_Ini("Generale", "Grafico serie", "N"));
  Grafico_In_Righe = Valore_Flag(Leggi_Ini("Generale", "Grafico in righe", "N"));
  Grafico_Etichette_Y = Valore_Flag(Leggi_Ini("Generale", "Grafico Etichette Y", "S"));
  Grafico_Etichette_Y2 = Valore_Flag(Leggi_Ini("Generale", "Grafico Etichette Y2", "S"));
  Grafico_Etichette_X = Valore_Flag(Leggi_Ini("Generale", "Grafico Etichette X", "S"));
  Grafico_Divisioni_Y = Valore_Flag(Leggi_Ini("Generale", "Grafico Divisioni Y", "S"));
  Grafico_Divisioni_X = Valore_Flag(Leggi_Ini("Generale", "Grafico Divisioni X", "S"));
  const int32_t Elementi = Intero("Elementi Grafico", "12", 12);
  Elementi_Grafico = static_cast<int16_t>(Elementi >= -32768 && Elementi <= 32767 ? Elementi : 12);
  const int32_t Ordinamento = Intero("Ordinamento Layout", "0", 0);
  Ordinamento_Layout = static_cast<int16_t>(Ordinamento >= -32768 && Ordinamento <= 32767 ? Ordinamento : 0);
  // The grid's mouse modes are 1 to 4; anything else would name a picture that does not exist.
  const int32_t Mouse = Intero("Funzione Mouse", "2", 2);
  Funzione_Mouse = static_cast<uint8_t>(Mouse >= 1 && Mouse <= 4 ? Mouse : 2);

  std::string Descrizione;
  agganci_base::Sock_Start(Descrizione, Cartella_Programma + "KYX.Tbl");

  Connesso = false;
  Grafico_Visibile = false;
  Numero_Livelli = 0;
  Livello_Contatore_1 = 0;
  Livello_Contatore_2 = 0;
  Operatore_Filtro = 1;
  In_Caricamento = false;
}

}  // namespace kyx
