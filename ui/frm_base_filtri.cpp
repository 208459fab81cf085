// The user's filter table FILTRO edited from the main window: every command ("K-" clear a key,
// "T-" clear all, "E+" add a stored value, "P+"/"P-" add or remove the filter boxes' value, "E-"
// remove a tree value, "E*" toggle a clicked value, two clicks making a range) and the marker row
// that says a key is not filtered.
#include <string>
#include <vector>

#include "common/modello.h"
#include "common/formatta_valore.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "ui/frm_base.h"
#include "ui/stato_finestra.h"
#include "views/elenco.h"

namespace kyx {
namespace {

std::string Testo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

std::string Rtrim(const std::string& s) {
  std::string r = s;
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}

// A value row that the clear commands may remove: not the marker, written here (" ") or by a
// drill ("D"); rows of other lock codes come from the download and stay.
bool Eliminabile(const data::TableRecordset& rs) {
  if (Testo(rs.Field("VALO_1")) == "*") return false;
  const data::Value& b = rs.Field("BLOCCO");
  if (b.is_null()) return false;
  const std::string Blocco = Rtrim(Testo(b));
  return Blocco.empty() || Blocco == "D";
}

int64_t Chiave_Riga(const data::TableRecordset& rs) {
  const data::Value& v = rs.Field("KEY");
  return v.is_null() ? -1 : v.AsInteger();
}

std::string Testo_Operatore(uint8_t Operatore) {
  switch (Operatore) {
    case 1: return "=";
    case 2: return "N";
    case 3: return "D";
    default: return "";
  }
}

bool Filtro_Vuoto() { return !Rs_Filtro || !Rs_Filtro->IsOpen() || Rs_Filtro->RecordCount() == 0; }

// Seeks the whole index (key, operator, values); true when a row matches.
bool Cerca(int16_t Chiave, const std::string& Oper, const std::string& V1, const std::string& V2) {
  if (!Rs_Filtro->Seek({data::Value(int64_t{Chiave}), data::Value(Oper), data::Value(V1), data::Value(V2)}).ok())
    return false;
  return !Rs_Filtro->AfterLast();
}

void Aggiungi(int16_t Chiave, const std::string& Oper, const std::string& V1, const std::string& V2) {
  Rs_Filtro->AddNew();
  Rs_Filtro->Set("KEY", data::Value(int64_t{Chiave}));
  Rs_Filtro->SetText("OPER", Oper);
  Rs_Filtro->SetText("VALO_1", V1);
  Rs_Filtro->SetText("VALO_2", V2);
  Rs_Filtro->SetText("BLOCCO", " ");
  Rs_Filtro->Update();
}

void Mostra(ui::VbControl<QLineEdit>* Casella, const std::string& Cp1252) {
  Casella->setText(QString::fromStdString(text::to_utf8(Cp1252)));
}

// A number key's value typed in its display form ("12.345" under #,##0) back to the digits the
// data set holds; any other text stays as typed.
std::string Cifre_Numero(const std::string& Valore) {
  const char Migliaia = vb::locale().thousands;
  std::string Cifre;
  for (char c : Valore) {
    if (c == Migliaia) continue;
    if (c < '0' || c > '9') return Valore;
    Cifre += c;
  }
  return Cifre.empty() ? Valore : Cifre;
}

// A box value in its stored form. Period keys go through the period check, which may rewrite the
// text. Coded, text and number keys are not checked: while the box shows the code it was filled
// with (Codice) through the key's format (#MID, #,##0), that code is the value, and the shown
// text must never become the code; a text the user typed over it is the value itself.
bool Verifica(int16_t Chiave, std::string& Testo, std::string& Codice, std::string& Spiegazione) {
  if (Attributo_Filtro == "1" || Attributo_Filtro == "2" || Attributo_Filtro == "3") {
    if (Testo != Formatta_Valore(Chiave, Codice, 0, -1, "")) Codice = Testo;
    if (Attributo_Filtro == "3") Codice = Cifre_Numero(Codice);
    Testo = Formatta_Valore(Chiave, Codice, 0, -1, "");
    Spiegazione.clear();
    return true;
  }
  return Verifica_Periodo(Testo, Attributo_Filtro, Formato_Data, Codice, Spiegazione);
}

std::string Leggi(ui::VbControl<QLineEdit>* Casella) { return text::from_utf8(Casella->text().toStdString()); }

}  // namespace

void FrmBase::Carica_Filtro_Scrivi(int16_t Chiave, const std::string& Modo) {
  if (!Rs_Filtro || !Rs_Filtro->IsOpen()) return;
  if (Modo == "+") {
    if (Rs_Filtro->Seek({data::Value(int64_t{Chiave})}).ok() && !Rs_Filtro->AfterLast()) return;
    Rs_Filtro->AddNew();
    Rs_Filtro->Set("KEY", data::Value(int64_t{Chiave}));
    Rs_Filtro->SetText("OPER", "=");
    Rs_Filtro->SetText("VALO_1", "*");
    Rs_Filtro->SetText("VALO_2", " ");
    Rs_Filtro->SetText("BLOCCO", " ");
    Rs_Filtro->Update();
  } else if (Modo == "-") {
    if (Cerca(Chiave, "=", "*", " ")) Rs_Filtro->Delete();
  }
}

void FrmBase::Carica_Filtro_Modifica(int16_t Chiave, std::string Valore1, std::string Valore2, uint8_t Operatore,
                                     const std::string& Comando, bool Aggiorna_Albero) {
  if (Filtro_Vuoto()) return;
  int32_t Cambiato = 0;

  if (Comando == "K-") {
    Intervallo_Passo = 0;
    Intervallo_Chiave = Chiave;
    if (Rs_Filtro->Seek({data::Value(int64_t{Chiave})}).ok()) {
      while (!Rs_Filtro->AfterLast() && Chiave_Riga(*Rs_Filtro) == Chiave) {
        if (Eliminabile(*Rs_Filtro)) {
          Rs_Filtro->Delete();
          Cambiato = 1;
        }
        if (!Rs_Filtro->MoveNext().ok()) break;
      }
    }
    if (Cambiato) Carica_Filtro_Scrivi(Chiave, "+");
  } else if (Comando == "T-") {
    Intervallo_Passo = 0;
    Intervallo_Chiave = Chiave;
    // Every key touched, however many the system has.
    std::vector<int16_t> Chiavi;
    Rs_Filtro->MoveFirst();
    while (!Rs_Filtro->AfterLast()) {
      if (Eliminabile(*Rs_Filtro)) {
        const auto k = static_cast<int16_t>(Chiave_Riga(*Rs_Filtro));
        if (Chiavi.empty() || Chiavi.back() != k) Chiavi.push_back(k);
        Rs_Filtro->Delete();
      }
      if (!Rs_Filtro->MoveNext().ok()) break;
    }
    for (int16_t k : Chiavi) Carica_Filtro_Scrivi(k, "+");
    Cambiato = static_cast<int32_t>(Chiavi.size());
  } else if (Comando == "E+") {
    Intervallo_Passo = 0;
    Intervallo_Chiave = Chiave;
    const std::string Oper = Testo_Operatore(Operatore);
    if (!Cerca(Chiave, Oper, Valore1, Valore2)) {
      Aggiungi(Chiave, Oper, Valore1, Valore2);
      Cambiato = 1;
      Carica_Filtro_Scrivi(Chiave, "-");
    }
  } else if (Comando == "P+" || Comando == "P-" || Comando == "E-" || Comando == "E*") {
    if (!Rs_Chiavi || !Rs_Chiavi->IsOpen()) return;
    if (!Rs_Chiavi->Seek({data::Value(Sistema_Informativo), data::Value(int64_t{Chiave})}).ok() ||
        Rs_Chiavi->AfterLast())
      return;
    Attributo_Filtro = Rtrim(Testo(Rs_Chiavi->Field("ATTR")));
    Formato_Data = Rtrim(Testo(Rs_Chiavi->Field("FORMATO")));

    const bool Intervallo_Clic = Comando == "E*" && Operatore == 3;
    if (!Intervallo_Clic || Intervallo_Chiave != Chiave) {
      Intervallo_Passo = 0;
      Intervallo_Chiave = Chiave;
    }
    bool Riempi = true;
    if (Intervallo_Clic && Intervallo_Passo == 0) {
      Intervallo_Passo = 1;
      Intervallo_Chiave = Chiave;
      Filtro_Valori[1] = Rtrim(Valore1);
      Mostra(Flt_txt[1], Formatta_Valore(Chiave, Filtro_Valori[1], 0, -1, ""));
      Filtro_Valori[0].clear();
      Mostra(Flt_txt[0], "");
      return;
    }
    if (Intervallo_Clic) {
      Intervallo_Passo = 0;
      Filtro_Valori[0] = Rtrim(Valore1);
      Mostra(Flt_txt[0], Formatta_Valore(Chiave, Filtro_Valori[0], 0, -1, ""));
      Riempi = false;
    }
    // The boxes keep what the user typed for "P+" and "P-" while the filter panel is in typing
    // mode. "E-" and "E*" always act on the value of the clicked node or cell.
    const bool Da_Caselle = Comando == "P+" || Comando == "P-";
    if (Riempi && Da_Caselle && Filtro_Stato_2) Riempi = false;
    if (Riempi && Da_Caselle && Attributo_Filtro != "1" && Attributo_Filtro != "2" && Attributo_Filtro != "3" &&
        Modo_Griglia != 3)
      Riempi = false;
    if (Riempi) {
      Filtro_Valori[1] = Rtrim(Valore1);
      Mostra(Flt_txt[1], Formatta_Valore(Chiave, Filtro_Valori[1], 0, -1, ""));
      Filtro_Valori[0] = Rtrim(Valore2);
      Mostra(Flt_txt[0], Formatta_Valore(Chiave, Filtro_Valori[0], 0, -1, ""));
    }

    std::string Spiegazione;
    std::string Testo1 = Leggi(Flt_txt[1]);
    if (!Verifica(Chiave, Testo1, Filtro_Valori[1], Spiegazione)) {
      host::MsgBox("Il contenuto del campo non \xE8 corretto\r\n" + Spiegazione, host::vbCritical, Titolo_Programma);
      return;
    }
    Mostra(Flt_txt[1], Testo1);

    std::string Oper;
    if (Operatore == 1 || Operatore == 2) {
      Oper = Operatore == 1 ? "=" : "N";
      Filtro_Valori[0].clear();
    } else if (Operatore == 3) {
      Oper = "D";
      std::string Testo0 = Leggi(Flt_txt[0]);
      if (!Verifica(Chiave, Testo0, Filtro_Valori[0], Spiegazione)) {
        host::MsgBox("Il contenuto del secondo campo non \xE8 corretto\r\n" + Spiegazione, host::vbCritical,
                     Titolo_Programma);
        return;
      }
      Mostra(Flt_txt[0], Testo0);
      if (vb::Trim(Filtro_Valori[0]).empty() || Filtro_Valori[1] > Filtro_Valori[0]) {
        std::swap(Filtro_Valori[0], Filtro_Valori[1]);
        Mostra(Flt_txt[1], Testo0);
        Mostra(Flt_txt[0], Testo1);
      }
    }

    const std::string V1 = Testo_Non_Vuoto(Filtro_Valori[1]);
    const std::string V2 = Testo_Non_Vuoto(Filtro_Valori[0]);
    if (Cerca(Chiave, Oper, V1, V2)) {
      if (Comando != "P+") {
        Rs_Filtro->Delete();
        Cambiato = 1;
        Carica_Filtro_Scrivi(Chiave, "+");
      }
    } else if (Comando == "P+" || Comando == "E*") {
      Aggiungi(Chiave, Oper, V1, V2);
      Cambiato = 1;
      Carica_Filtro_Scrivi(Chiave, "-");
    }
  } else {
    return;
  }

  if (Aggiorna_Albero && Cambiato > 0) Carica_Albero_Chiavi();
}

}  // namespace kyx
