#include "convd/conversione.h"

#include <cmath>
#include <memory>
#include <vector>

#include "platform/data/catalog.h"
#include "platform/data/compaction.h"
#include "platform/data/sqlite_connection.h"
#include "platform/data/table_recordset.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"

namespace kyx::convd {

namespace {

using data::Status;

constexpr std::string_view kVecchia_1 = "KYX_DS_00F";
constexpr std::string_view kIndice_1 = "KYX_DS_01L";
constexpr std::string_view kVecchia_2 = "KYX_DS_10F";
constexpr std::string_view kIndice_2 = "KYX_DS_11L";
constexpr std::string_view kNuova = "KYX_DS_20F";
constexpr std::string_view kIndice_Nuova = "KYX_DS_21L";
constexpr int kDescrizioni = 16;
// VB's "Invalid use of Null": a Null read into a text or number variable.
constexpr int kUso_Null = 94;

// KYX_DS_20F: status, key, code and sixteen descriptions; description n at position n + 2.
std::vector<data::FieldInfo> Colonne_Nuova() {
  std::vector<data::FieldInfo> c = {data::TextField("S_DS_STAT", 1), data::Int16Field("S_DS_KEY"),
                                    data::TextField("S_DS_CODI", 30)};
  for (int n = 1; n <= kDescrizioni; ++n) c.push_back(data::TextField("S_DS_D_" + vb::Format(n, "00"), 40));
  return c;
}

// Shows a caption and lets the window repaint.
void Mostra_Passo(const Didascalia& Mostra, std::string_view Caption) {
  if (Mostra) Mostra(Caption);
  host::DoEvents();
}

std::string Dove(std::string_view Tabella, int Colonna) {
  return std::string(Tabella) + ", column " + std::to_string(Colonna);
}

// Column `Colonna` of the current row as text, as a text variable takes a field: numbers in
// their text form, Null refused.
Status Leggi_Testo(const data::Recordset& Rs, std::string_view Tabella, int Colonna, std::string* Testo) {
  if (Colonna >= Rs.FieldCount())
    return Status::Error(data::kItemNotFound, "Missing column: " + Dove(Tabella, Colonna));
  const data::Value& v = Rs.Field(Colonna);
  if (v.is_null()) return Status::Error(kUso_Null, "Invalid use of Null: " + Dove(Tabella, Colonna));
  *Testo = v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
  return Status::Ok();
}

// Column `Colonna` of the current row as a 16-bit integer, as an Integer variable takes a field:
// a fraction rounded half to even, a number out of range or a text that is no number refused.
Status Leggi_Intero(const data::Recordset& Rs, std::string_view Tabella, int Colonna, int16_t* Numero) {
  if (Colonna >= Rs.FieldCount())
    return Status::Error(data::kItemNotFound, "Missing column: " + Dove(Tabella, Colonna));
  data::Value v = Rs.Field(Colonna);
  if (v.is_null()) return Status::Error(kUso_Null, "Invalid use of Null: " + Dove(Tabella, Colonna));
  if (v.kind() == data::Value::Kind::Text) {
    data::Value n;
    if (!data::ParseNumber(v.text(), &n))
      return Status::Error(data::kTypeMismatch, "Not a number: \"" + v.text() + "\" in " + Dove(Tabella, Colonna));
    v = n;
  }
  const double d = v.kind() == data::Value::Kind::Integer ? static_cast<double>(v.integer())
                                                           : vb::RoundHalfEven(v.real());
  if (!(d >= -32768 && d <= 32767))
    return Status::Error(data::kNumericOverflow, "Overflow: " + v.AsText() + " in " + Dove(Tabella, Colonna));
  *Numero = static_cast<int16_t>(d);
  return Status::Ok();
}

// One row of an old table, in the order of its columns.
struct Riga_Vecchia {
  std::string Stato, Codice, Descrizione;
  int16_t Chiave = 0;
  int16_t Numero = 1;
};

// Writes one old row into KYX_DS_20F: seeks (key, code), adds the row with blank status and
// descriptions when it is not there, sets the status for description 1 and the description.
Status Scrivi_Riga(data::TableRecordset& Nuova, const Riga_Vecchia& R) {
  Status s;
  const data::Value Chiave[2] = {data::Value(int64_t{R.Chiave}), data::Value(R.Codice)};
  if (!(s = Nuova.Seek(Chiave, 2)).ok()) return s;
  if (Nuova.AfterLast()) {
    if (!(s = Nuova.AddNew()).ok()) return s;
    if (!(s = Nuova.SetText(0, " ")).ok()) return s;
    if (!(s = Nuova.Set(1, Chiave[0])).ok()) return s;
    if (!(s = Nuova.Set(2, Chiave[1])).ok()) return s;
    for (int n = 1; n <= kDescrizioni; ++n)
      if (!(s = Nuova.SetText(n + 2, " ")).ok()) return s;
  }
  if (R.Numero == 1 && !(s = Nuova.SetText(0, R.Stato)).ok()) return s;
  if (!(s = Nuova.SetText(R.Numero + 2, R.Descrizione)).ok()) return s;
  return Nuova.Update();
}

// One loading pass over an old table, in the order of its index. Pass 1 reads (status, key,
// code, description) and fills description 1; pass 2 reads (status, key, code, number,
// description), and a cancelled row ("A") blanks its descriptions after the first. A number
// outside 1..16 names no description column (it would land on the code or the key, or past the
// last column): such rows are counted and left out.
Status Caricamento(int Passo, data::TableRecordset& Vecchia, data::TableRecordset& Nuova,
                   const Didascalia& Mostra, int64_t* Fuori_Campo) {
  const std::string_view Tabella = Vecchia.table();
  Mostra_Passo(Mostra, Passo == 1 ? kCaption_Caricamento_1 : kCaption_Caricamento_2);
  const std::string Progresso = Passo == 1 ? " Caricamento 1 - " : " Caricamento 2 - ";
  int64_t i = 0, j = 0;
  Status s;
  if (Vecchia.BeforeFirst() && Vecchia.AfterLast()) return s;
  if (!(s = Vecchia.MoveFirst()).ok()) return s;
  const int Col_Descrizione = Passo == 1 ? 3 : 4;
  Riga_Vecchia R;
  while (!Vecchia.AfterLast()) {
    if (!(s = Leggi_Testo(Vecchia, Tabella, 0, &R.Stato)).ok()) return s;
    if (!(s = Leggi_Intero(Vecchia, Tabella, 1, &R.Chiave)).ok()) return s;
    if (!(s = Leggi_Testo(Vecchia, Tabella, 2, &R.Codice)).ok()) return s;
    R.Numero = 1;
    if (Passo == 2 && !(s = Leggi_Intero(Vecchia, Tabella, 3, &R.Numero)).ok()) return s;
    if (!(s = Leggi_Testo(Vecchia, Tabella, Col_Descrizione, &R.Descrizione)).ok()) return s;
    if (Passo == 2 && R.Stato == "A" && R.Numero > 1) R.Descrizione = " ";
    if (R.Numero < 1 || R.Numero > kDescrizioni) {
      ++*Fuori_Campo;
    } else if (!(s = Scrivi_Riga(Nuova, R)).ok()) {
      return Status::Error(s.number(), s.description() + " (" + std::string(Tabella) + ", key " +
                                            std::to_string(R.Chiave) + ", code \"" + R.Codice + "\")");
    }
    if (!(s = Vecchia.MoveNext()).ok()) return s;
    ++i;
    if (++j == 100) {
      j = 0;
      Mostra_Passo(Mostra, Progresso + vb::Format(i, "#,##0"));
    }
  }
  return s;
}

// Builds KYX_DS_20F, fills it from both old tables and drops them, all on the open connection.
Status Converti(data::Connection& Cn, const Didascalia& Mostra, int64_t* Fuori_Campo) {
  data::Catalog Cat(Cn);
  Status s;
  Mostra_Passo(Mostra, kCaption_Costruzione);
  if (!(s = Cat.CreateTable(kNuova, Colonne_Nuova())).ok()) return s;
  if (!(s = Cat.CreateIndex(kNuova, kIndice_Nuova, {"S_DS_KEY", "S_DS_CODI"})).ok()) return s;
  {
    data::TableRecordset Rs_1, Rs_2, Rs_Nuova;
    if (!(s = Rs_1.Open(Cn, kVecchia_1, kIndice_1)).ok()) return s;
    if (!(s = Rs_2.Open(Cn, kVecchia_2, kIndice_2)).ok()) return s;
    if (!(s = Rs_Nuova.Open(Cn, kNuova, kIndice_Nuova)).ok()) return s;
    if (!(s = Caricamento(1, Rs_1, Rs_Nuova, Mostra, Fuori_Campo)).ok()) return s;
    if (!(s = Caricamento(2, Rs_2, Rs_Nuova, Mostra, Fuori_Campo)).ok()) return s;
    if (!(s = Rs_1.Close()).ok() || !(s = Rs_2.Close()).ok() || !(s = Rs_Nuova.Close()).ok()) return s;
  }
  Mostra_Passo(Mostra, kCaption_Elimina);
  std::vector<std::string> Tabelle;
  if (!(s = Cat.Tables(&Tabelle)).ok()) return s;
  for (const std::string& Nome : Tabelle) {
    if (Nome == kVecchia_1 || Nome == kVecchia_2) {
      if (!(s = Cat.DropTable(Nome)).ok()) return s;
    }
  }
  return s;
}

std::string Testo_Errore(const Status& s) { return std::to_string(s.number()) + " - " + s.description(); }

}  // namespace

Risultato Converti_Descrizioni(const std::string& Cartella, const Didascalia& Mostra) {
  Risultato R;
  const std::string Database = Cartella + "/KYX_1.MDB";
  auto Fallito = [&](Status s) {
    R.esito = Esito::kFallito;
    R.errore = s;
    host::MsgBox("Conversione non riuscita:\r\n" + Testo_Errore(s) + "\r\nIl database non \xE8 stato modificato.",
                 host::vbCritical, kTitolo);
    return R;
  };

  Status s;
  {
    data::SqliteConnection Cn;
    if (!(s = Cn.Open(Database, data::OpenMode::kExisting)).ok()) return Fallito(s);
    data::Catalog Cat(Cn);
    std::vector<std::string> Tabelle;
    if (!(s = Cat.Tables(&Tabelle)).ok()) return Fallito(s);
    for (const std::string& Nome : Tabelle) {
      if (Nome == kNuova) {
        Mostra_Passo(Mostra, kCaption_Gia_Effettuata);
        R.esito = Esito::kGia_Convertito;
        return R;
      }
    }
    if (!(s = Cn.BeginTransaction()).ok()) return Fallito(s);
    s = Converti(Cn, Mostra, &R.Righe_Fuori_Campo);
    if (s.ok()) s = Cn.Commit();
    if (!s.ok()) {
      if (Cn.InTransaction()) Cn.Rollback();
      return Fallito(s);
    }
    // Committed: from here on the old tables are gone whatever happens. A close that fails
    // leaves the file busy, and the compaction then reports it.
    Cn.Close();
  }

  if (R.Righe_Fuori_Campo > 0) {
    host::MsgBox("Righe di KYX_DS_10F non convertite (numero descrizione fuori da 1 a 16): " +
                     vb::Format(R.Righe_Fuori_Campo, "#,##0"),
                 host::vbExclamation, kTitolo);
  }

  Mostra_Passo(Mostra, kCaption_Compattamento);
  if (!(s = data::CompactDatabase(Database)).ok()) {
    R.esito = Esito::kNon_Compattato;
    R.errore = s;
    host::MsgBox("Compattazione del database non riuscita:\r\n" + Testo_Errore(s) +
                     "\r\nLe descrizioni sono state convertite; il database non \xE8 stato compattato.",
                 host::vbCritical, kTitolo);
    return R;
  }
  Mostra_Passo(Mostra, kCaption_Completata);
  R.esito = Esito::kConvertito;
  return R;
}

}  // namespace kyx::convd
