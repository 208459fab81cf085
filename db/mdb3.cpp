// Creating, opening and closing the result work database KYX_3.MDB.
#include "db/mdb3.h"

#include <algorithm>

#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/catalog.h"
#include "platform/host/host.h"

namespace kyx {

std::array<uint8_t, 255> Col_Chiave_DATI{};

namespace {

constexpr std::string_view kErrore = "Errore 019 ";
constexpr std::string_view kSuffisso = "nel trattamento di MDB3";
// A key column holds at most this many characters: the widest text column of the original
// engine, and the reason why the key values are split over several columns.
constexpr int kMassimo_Chiave = 255;
// The original engine's limit of columns in one index; the table is still built beyond it.
constexpr int kMassimo_Colonne_Chiave = 10;

std::string Nome(char Lettera, int64_t n) { return Lettera + mdb::Cifre(n, 3); }

// Lays out the columns of DATI and fills Col_Chiave_DATI and Numero_Chiavi_DATI.
std::vector<data::FieldInfo> Colonne_DATI() {
  std::vector<data::FieldInfo> Colonne;
  const int n = Numero_Colonne;
  for (int i = 0; i <= n; ++i) {
    if (Col_Tipo[i] != 0)
      Colonne.push_back(data::TextField(Nome('c', i), Col_Tipo[i]));
    else
      Colonne.push_back(Precisione_15 ? data::DoubleField(Nome('c', i)) : data::NumericField(Nome('c', i)));
  }
  if (Numero_Livelli > 0) {
    Colonne.push_back(data::TextField(Nome('c', n + 1), 72));
    Colonne.push_back(data::TextField(Nome('c', n + 2), 6));
  }

  // The key pieces: the key columns of the result in column order, then the "D"-token levels.
  std::vector<int> Pezzi;
  for (int j = 1; j <= n; ++j)
    if (Col_Chiave[j] > 0) Pezzi.push_back(Col_Tipo[j]);
  for (int l = 1; l <= Livello_Contatore_1 && l <= static_cast<int>(Col_Lavoro_2.size()); ++l) {
    const int32_t c = Col_Lavoro_2[l - 1];
    Pezzi.push_back(c >= 0 && c < static_cast<int32_t>(Col_Tipo.size()) ? Col_Tipo[c] : 0);
  }

  Col_Chiave_DATI.fill(0);
  int k = 0, s = 999, w = 0, p = 0;
  // A key column is declared at least one character wide even when all its pieces are empty.
  auto Aggiungi = [&](int Larghezza) { Colonne.push_back(data::TextField(Nome('k', k), std::max(1, Larghezza))); };
  for (int Lunghezza : Pezzi) {
    ++p;
    s += w;
    w = Lunghezza;
    // A piece that would end past position 255 starts the next key column; a piece always lies
    // whole in one column.
    if (s + w - 1 > kMassimo_Chiave) {
      if (k > 0) Aggiungi(s - 1);
      ++k;
      s = 1;
    }
    if (p - 1 < static_cast<int>(Col_Chiave_DATI.size())) Col_Chiave_DATI[p - 1] = static_cast<uint8_t>(k);
  }
  if (k > 0) Aggiungi(s + w - 1);
  Numero_Chiavi_DATI = static_cast<int16_t>(k);
  return Colonne;
}

}  // namespace

namespace mdb3 {
void reset() { Col_Chiave_DATI.fill(0); }
}  // namespace mdb3

bool Chiudi_MDB3() {
  bool Esito = Chiudi_Oggetto(Rs_Dati);
  Esito = Chiudi_Oggetto(Rs_Dati_L2) && Esito;
  Esito = Chiudi_Oggetto(Cn_MDB3) && Esito;
  return Esito;
}

bool Apri_MDB3() {
  auto Fallito = [](const data::Status& s) {
    mdb::Mostra_Errore(kErrore, s, kSuffisso);
    return false;
  };
  if (!Chiudi_MDB3()) return Fallito(data::Status::Ok());

  data::Status s;
  const std::string Percorso = mdb::Percorso(File_MDB3);
  if (!(s = data::DeleteDatabaseFile(Percorso)).ok()) return Fallito(s);

  std::unique_ptr<data::Connection> Cn;
  if (!(s = mdb::Crea_Database(File_MDB3, Cn)).ok()) return Fallito(s);
  const std::vector<data::FieldInfo> Colonne = Colonne_DATI();
  const int k = Numero_Chiavi_DATI;
  // The file is made anew by every run: its table and indexes are created without waiting for the
  // disk (a dozen syncs a run otherwise, before the first row).
  s = Cn->SetDurability(data::Durability::kRebuilt);
  if (!s.ok()) {
    Cn->Close();
    return Fallito(s);
  }
  data::Catalog Cat(*Cn);
  s = Cat.CreateTable("DATI", Colonne);
  if (s.ok() && k > kMassimo_Colonne_Chiave)
    host::MsgBox(std::string("La dimensione delle chiavi") + '\r' + "supera la possibilit\xE0 dell'MDB",
                 host::vbCritical | host::vbOKOnly, Titolo_Programma);
  std::vector<std::string> Chiavi;
  for (int i = 1; i <= k; ++i) Chiavi.push_back(Nome('k', i));
  if (s.ok()) {
    std::vector<std::string> L{"c000"};
    L.insert(L.end(), Chiavi.begin(), Chiavi.end());
    s = Cat.CreateIndex("DATI", "DATI_L", L);
  }
  if (s.ok()) s = Cat.CreateIndex("DATI", "DATI_L2", k > 0 ? Chiavi : std::vector<std::string>{"c000"});
  Cn->Close();
  if (!s.ok()) return Fallito(s);

  if (!(s = mdb::Apri_Connessione(File_MDB3, Cn_MDB3)).ok()) return Fallito(s);
  // Rebuilt by every elaboration: its commits need not wait for the disk.
  if (!(s = Cn_MDB3->SetDurability(data::Durability::kRebuilt)).ok()) return Fallito(s);
  if (!(s = mdb::Apri_Tabella(*Cn_MDB3, "DATI", "DATI_L", Rs_Dati)).ok()) return Fallito(s);
  if (!(s = mdb::Apri_Tabella(*Cn_MDB3, "DATI", "DATI_L2", Rs_Dati_L2)).ok()) return Fallito(s);
  return true;
}

}  // namespace kyx
