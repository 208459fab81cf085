// The rules every export writer follows: columns, title, filter block, headings, row kinds, cell
// texts and the output file.
#include "export/esporta_comune.h"

#include <memory>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "engine/stato_motore.h"
#include "export/agganci_esporta.h"
#include "platform/data/forward_recordset.h"
#include "platform/files/files.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

std::string Testo_Campo(const data::Value& v) {
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

// A filter value as the block shows it: its code in display form, one blank, its description.
std::string Valore_Mostrato(int16_t Chiave, const std::string& Valore) {
  return Formatta_Valore(Chiave, Valore, 0, -1, "") + " " + Formatta_Valore(Chiave, Valore, 1, -1, "");
}

}  // namespace

std::vector<int> Colonne_Scritte() {
  std::vector<int> colonne;
  for (int c = 0; c <= Numero_Colonne; ++c) {
    if (Col_Visibile[static_cast<size_t>(c)] == 2) colonne.push_back(c);
  }
  return colonne;
}

std::string Testo_Titolo(const std::string& Separatore) {
  return Titolo_Programma + Separatore + vb::Trim(Descrizione_Sistema) + Separatore +
         vb::FormatDate(vb::Now(), "dd\\/mm\\/yyyy\\ hh\\:nn");
}

std::string Titolo_Griglia() {
  return agganci_esporta::Titolo_Griglia ? vb::Trim(agganci_esporta::Titolo_Griglia()) : std::string();
}

std::vector<Riga_Filtro> Leggi_Filtro(bool Non_Vuoto) {
  std::vector<Riga_Filtro> righe;
  if (Modo_Griglia != 3 || !Cn_MDB0 || !Cn_MDB0->IsOpen()) return righe;
  // The system's code is a text of the profile: its quotes are doubled so that it stays one
  // literal.
  const std::string sql =
      "Select F.KEY as F_KEY,F.OPER as F_OPER,F.VALO_1 as F_VALO_1,F.VALO_2 as F_VALO_2, "
      "K.TESTO as K_TESTO,K.ORDINA "
      "from (FILTRO F left join CHIAVI K on F.KEY=K.IDX) "
      "where F.VALO_1<>'*' and K.VIS='V' and (F.BLOCCO=' ' or F.BLOCCO='B') and (K.SINF='" +
      vb::Replace(Sistema_Informativo, "'", "''") +
      "') "
      "order by K.ORDINA,F.KEY,F.OPER,F.VALO_1,F.VALO_2  ";
  auto rs = std::make_unique<data::ForwardRecordset>();
  data::ForwardRecordset* lettore = rs.get();
  Rs_Lavoro = std::move(rs);
  if (lettore->Open(*Cn_MDB0, sql).ok()) {
    int64_t chiave_precedente = 0;
    bool prima = true;
    while (!lettore->AfterLast()) {
      const auto testo = [&](const char* campo) {
        const std::string t = Testo_Campo(lettore->Field(campo));
        return Non_Vuoto ? Testo_Non_Vuoto(t) : vb::RTrim(t);
      };
      const int64_t chiave = lettore->Field("F_KEY").AsInteger();
      const std::string operatore = vb::Trim(Testo_Campo(lettore->Field("F_OPER")));
      Riga_Filtro r;
      r.Prima_Della_Chiave = prima || chiave != chiave_precedente;
      r.Testo_Chiave = testo("K_TESTO");
      r.Operatore = operatore.empty() ? '=' : operatore[0];
      const auto k = static_cast<int16_t>(chiave);
      r.Valore_1 = Valore_Mostrato(k, testo("F_VALO_1"));
      if (r.Operatore == 'D') r.Valore_2 = Valore_Mostrato(k, testo("F_VALO_2"));
      righe.push_back(std::move(r));
      chiave_precedente = chiave;
      prima = false;
      if (!lettore->MoveNext().ok()) break;
    }
  }
  Rs_Lavoro.reset();
  return righe;
}

std::string Pezzo_Intestazione(int c, int Riga) {
  const std::string intestazione = vb::RTrim(Col_Intestazione[static_cast<size_t>(c)]);
  size_t inizio = 0;
  for (int i = 1; i < Riga; ++i) {
    const size_t barra = intestazione.find('|', inizio);
    if (barra == std::string::npos) return "";
    inizio = barra + 1;
  }
  return intestazione.substr(inizio, intestazione.find('|', inizio) - inizio);
}

std::string Carattere_Chiave(const std::string& Chiave, size_t n) {
  return n >= 1 && n <= Chiave.size() ? Chiave.substr(n - 1, 1) : std::string();
}

bool Livello_Esteso(const std::string& Chiave) {
  const std::string c = Carattere_Chiave(Chiave, 12);
  return !c.empty() && c != " ";
}

std::string Livello_Riga(const std::string& Chiave) {
  return Carattere_Chiave(Chiave, Livello_Esteso(Chiave) ? 12 : 8);
}

bool Cella_Vuota(int c, const std::string& Chiave) {
  if (Modo_Griglia != 3 || Col_Tipo[static_cast<size_t>(c)] != 0) return false;
  const std::string tipo = Tipo_Riga(Chiave);
  return tipo == "1" || (tipo != "2" && Col_Totale[static_cast<size_t>(c)] == 1);
}

std::string Testo_Cella(const data::Recordset& Rs, int c, const std::string& Chiave) {
  const auto i = static_cast<size_t>(c);
  const data::Value& v = Rs.Field(c);
  if (v.is_null()) return "";
  if (Col_Tipo[i] == 0) {
    switch (v.kind()) {
      case data::Value::Kind::Integer: return vb::Trim(vb::Format(v.integer(), Col_Formato[i]));
      case data::Value::Kind::Double: return vb::Trim(vb::Format(v.real(), Col_Formato[i]));
      default: return vb::Trim(vb::Format(v.text(), Col_Formato[i]));
    }
  }
  const std::string testo = Testo_Campo(v);
  if (Col_Attributo[i].empty()) return vb::Trim(testo);
  return vb::Trim(Formatta_Valore(0, testo, 0, static_cast<int16_t>(c), Chiave));
}

void Stato_Esportazione(const std::string& Testo) { host::host().SetPanel("Stato", Testo); }

bool Verifica_Destinazione(const std::string& File, files::AtomicFile& Prova) {
  if (files::file_exists(File)) {
    const int risposta = host::MsgBox(File + "  esiste gi\xE0. \rSostituirlo?",
                                      host::vbYesNo + host::vbExclamation + host::vbDefaultButton2,
                                      Titolo_Programma);
    if (risposta != host::vbYes) {
      Stato_Esportazione("Salvataggio non effettuato");
      return false;
    }
  }
  // The old file is replaced only when the new one is complete. A target that cannot be written
  // (read-only, a folder, a folder without rights) is the file "in use" of the system.
  if (!Prova.open(File)) {
    host::MsgBox(File + "\r\xE8 utilizzato da un'altra applicazione.", host::vbCritical, Titolo_Programma);
    Stato_Esportazione("Salvataggio non effettuato");
    return false;
  }
  return true;
}

bool File_Esportazione::Apri(const std::string& File) {
  nome_ = vb::Trim(File);
  if (!Verifica_Destinazione(nome_, file_)) return false;
  if (agganci_esporta::Segna_Inizio) agganci_esporta::Segna_Inizio();
  Stato_Esportazione("Salvataggio " + nome_ + " in corso ...");
  host::DoEvents();
  return true;
}

void File_Esportazione::Riga(const std::string& Testo) {
  file_.write(Testo);
  file_.write("\r\n");
}

bool File_Esportazione::Chiudi() {
  if (!file_.commit()) {
    // A write that failed (a full disk, a lost device) must not pass for a saved file.
    host::MsgBox(nome_ + "\rerrore durante la scrittura del file: il file non \xE8 stato salvato.",
                 host::vbCritical, Titolo_Programma);
    Stato_Esportazione("Salvataggio non effettuato");
    return false;
  }
  Stato_Esportazione("Salvataggio " + nome_ + " completato");
  return true;
}

}  // namespace kyx
