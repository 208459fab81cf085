// The loaded data-sets list (grid mode 2) and the key codes list (grid mode 1).
#include "views/elenco.h"

#include <array>
#include <memory>
#include <utility>

#include "common/formatta_valore.h"
#include "common/modello.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "common/utilita.h"
#include "db/mdb3.h"
#include "engine/stato_motore.h"
#include "platform/data/static_recordset.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "views/griglia.h"

namespace kyx {

std::string Attributo_Filtro;
std::string Formato_Data;

namespace agganci_elenco {
std::function<void()> Ridimensiona;
std::function<void(const std::string&)> Didascalia_Elenco;
std::function<void()> Imposta_Bar;
void reset() {
  Ridimensiona = nullptr;
  Didascalia_Elenco = nullptr;
  Imposta_Bar = nullptr;
}
}  // namespace agganci_elenco

namespace elenco {
void reset() {
  Attributo_Filtro.clear();
  Formato_Data.clear();
}
}  // namespace elenco

namespace {

void Chiama(const std::function<void()>& f) {
  if (f) f();
}

std::string Rtrim(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return std::string(s);
}

// A chart on screen gives its place back to the grid.
void Spegni_Grafico() {
  if (!Grafico_Visibile) return;
  Grafico_Visibile = false;
  Chiama(agganci_elenco::Ridimensiona);
}

struct Colonna {
  const char* Intestazione;
  uint8_t Allineamento, Visibile, Ordine, Tipo;
};

// One column of a list: no key, no description column.
void Imposta_Colonna(int i, const std::string& Intestazione, uint8_t Allineamento, uint8_t Visibile, uint8_t Ordine,
                     uint8_t Tipo) {
  const auto c = static_cast<std::size_t>(i);
  Col_Intestazione[c] = Intestazione;
  Col_Allineamento[c] = Allineamento;
  Col_Visibile[c] = Visibile;
  Col_Ordine[c] = Ordine;
  Col_Tipo[c] = Tipo;
  Col_Chiave[c] = -1;
  Col_Descrizione[c] = -1;
}

template <std::size_t N>
void Larghezze(const std::array<int16_t, N>& Da, int Colonne) {
  for (int i = 0; i < Colonne && i < static_cast<int>(N); ++i) {
    Col_Larghezza[static_cast<std::size_t>(i)] = Da[static_cast<std::size_t>(i)];
    Col_Larghezza_Stampa[static_cast<std::size_t>(i)] = Da[static_cast<std::size_t>(i)];
  }
}

// The grid state both lists start from.
void Stato_Elenco(int16_t Modo) {
  Modo_Griglia = Modo;
  Colonna_Ordinamento = 0;
  Verso_Ordinamento = " ASC";
  Colonne_Bloccate = 0;
  Filtro_Griglia = "";
}

}  // namespace

std::string Filtro_In_Parole(const std::string& Filtro_Sql, const std::string& Sistema) {
  static const std::array<std::pair<const char*, const char*>, 9> kParole = {{{"where", ""},
                                                                             {" between ", " da "},
                                                                             {"' and '", "' a '"},
                                                                             {" not ", " non "},
                                                                             {" or ", " o "},
                                                                             {") and ", ") e "},
                                                                             {"' and ", "' e "},
                                                                             {"((", "("},
                                                                             {"))", ")"}}};
  std::string t = Filtro_Sql;
  for (const auto& [Da, A] : kParole) t = vb::Replace(t, Da, A);
  // Each pass moves the search forward: bounded by the text's length.
  for (long h = vb::InStr(1, t, "k_"); h > 0; h = vb::InStr(h, t, "k_")) {
    if (!vb::Like(vb::Mid(t, h, 6), "k_### ")) {
      h += 6;
      if (h > static_cast<long>(t.size())) break;
      continue;
    }
    const auto Chiave = static_cast<int16_t>(vb::Val(vb::Mid(t, h + 2, 3)));
    const std::string Testo = Leggi_Descrizione(Sistema, Chiave);
    t.replace(static_cast<std::size_t>(h - 1), 5, Testo);
    h += static_cast<long>(Testo.size());
    if (h > static_cast<long>(t.size())) break;
  }
  return std::string(text::trim_blanks(t));
}

void Carica_Elenco_Caricati() {
  Spegni_Grafico();
  if (agganci_elenco::Didascalia_Elenco) agganci_elenco::Didascalia_Elenco("Dati Locali");

  static const std::array<Colonna, 7> kColonne = {{{"#", 1, 2, 0, 30},
                                                   {"Sistema|Informativo", 1, 2, 0, 10},
                                                   {"Data Ora", 1, 2, 1, 30},
                                                   {"Records", 7, 2, 0, 30},
                                                   {"*", 4, 2, 0, 30},
                                                   {"Filtro", 1, 2, 1, 255},
                                                   {"Filtro_SQL", 1, 0, 1, 255}}};
  Numero_Colonne = 6;
  for (int i = 0; i < 7; ++i) {
    const Colonna& c = kColonne[static_cast<std::size_t>(i)];
    Imposta_Colonna(i, c.Intestazione, c.Allineamento, c.Visibile, c.Ordine, c.Tipo);
  }
  Larghezze(Larghezze_Caricati, 7);
  Stato_Elenco(2);
  Tipo_Data_Chiave = 0;
  Chiave_Elenco = -1;

  auto Rs = std::make_unique<data::StaticRecordset>();
  Rs_Griglia.reset();
  Numero_Record = 0;
  if (Cn_MDB2 &&
      Rs->Open(*Cn_MDB2,
               "SELECT IDX as c000 , SINF as c001 , DATAORA as c002, NUM_REC as c003, STATO as c004, FILTRO as c005 "
               ", FILTRO_SQL as c006 FROM KYX_CARICATI",
               data::LockMode::kOptimistic)
          .ok()) {
    Rs->SetSort(vb::Format(int64_t{Colonna_Ordinamento}, "\\c000") + Verso_Ordinamento);
    Numero_Record = static_cast<int32_t>(Rs->RecordCount());
    Filtro_Griglia = Rs->Filter();
    if (Numero_Record > 0) {
      for (Rs->MoveFirst(); !Rs->AfterLast(); Rs->MoveNext()) {
        Rs->Set(5, data::Value(Filtro_In_Parole(Rs->Field(6).AsText(), Rtrim(Rs->Field(1).AsText()))));
        Rs->Update();
      }
      Rs->MoveFirst();
    }
    Rs_Griglia = std::move(Rs);
  }

  if (Adatta_Dopo_Elaborazione != 0) {
    Visualizza_Larghezza_Colonne(65535, -1, 0);  // every column, headings too, not yet applied
    Larghezze(Larghezze_Caricati, 7);
  }
  Conta_Righe_Intestazione();
  Chiama(agganci_elenco::Imposta_Bar);
}

void Carica_Codici_Chiave(int16_t Modo, int16_t Chiave) {
  (void)Modo;
  Spegni_Grafico();
  Numero_Colonne = 1;
  Imposta_Colonna(0, "Codice", 1, 2, 0, 30);
  Imposta_Colonna(1, "Descrizione", 1, 2, 0, 40);
  Col_Chiave[0] = Chiave;
  Col_Descrizione[1] = 0;
  for (std::size_t i = 0; i < 14; ++i) {
    Col_Attributo[i].clear();
    Col_Formato[i].clear();
  }
  Larghezze(Larghezze_Codici, 14);
  Stato_Elenco(1);
  Chiave_Elenco = Chiave;
  Attributo_Filtro.clear();
  Formato_Data.clear();

  int64_t Chiave_D = 0;
  if (Rs_Chiavi && Rs_Chiavi->IsOpen() && !(Rs_Chiavi->BeforeFirst() && Rs_Chiavi->AfterLast()) &&
      Rs_Chiavi->Seek({data::Value(Sistema_Informativo), data::Value(int64_t{Chiave})}).ok() && !Rs_Chiavi->AfterLast()) {
    Attributo_Filtro = Rtrim(Rs_Chiavi->Field("ATTR").AsText());
    Formato_Data = Rtrim(Rs_Chiavi->Field("FORMATO").AsText());
    Col_Attributo[0] = Attributo_Filtro;
    Col_Formato[0] = Formato_Data;
    Chiave_D = Rs_Chiavi->Field("KEY_D").AsInteger();
    if (Descrizioni_Aggiuntive) {
      Numero_Colonne = 13;
      for (int n = 1; n <= 12; ++n) {
        const std::string Titolo = Rtrim(Rs_Chiavi->Field("TI_" + vb::Format(int64_t{n}, "00")).AsText());
        Imposta_Colonna(n + 1, Titolo, 1, Titolo.empty() ? 0 : 2, 0, 40);
        Col_Descrizione[static_cast<std::size_t>(n + 1)] = 0;
      }
    }
  }

  Numero_Livelli = 0;
  Livello_Contatore_1 = 0;
  Livello_Contatore_2 = 0;
  Rs_Griglia.reset();
  Numero_Record = 0;
  if (Apri_MDB3() && Cn_MDB1 && Rs_Dati) {
    std::string Sql = "SELECT  S_DS_CODI as c000, S_DS_D_01 as c001";
    if (Numero_Colonne == 13) {
      for (int n = 2; n <= 13; ++n) Sql += ", S_DS_D_" + vb::Format(int64_t{n}, "00") + " as c0" + vb::Format(int64_t{n}, "00");
    }
    Sql += " FROM KYX_DS_20F WHERE S_DS_STAT<>'A' AND S_DS_KEY=" + std::to_string(Chiave_D) + " ORDER BY 1";
    data::StaticRecordset Descrizioni;
    if (Descrizioni.Open(*Cn_MDB1, Sql).ok() && Cn_MDB3->BeginTransaction().ok()) {
      for (Descrizioni.MoveFirst(); !Descrizioni.AfterLast(); Descrizioni.MoveNext()) {
        Rs_Dati->AddNew();
        Rs_Dati->Set("c000", Descrizioni.Field(0));
        Rs_Dati->Set("c001", Descrizioni.Field(1));
        for (int n = 2; n <= 13 && Numero_Colonne == 13; ++n) {
          const std::string Campo = "c0" + vb::Format(int64_t{n}, "00");
          Rs_Dati->Set(Campo, data::Value(""));
          if (Col_Visibile[static_cast<std::size_t>(n)] != 0) Rs_Dati->Set(Campo, data::Value(Rtrim(Descrizioni.Field(n).AsText())));
        }
        Rs_Dati->Update();
      }
      Cn_MDB3->Commit();
    }
    auto Rs = std::make_unique<data::StaticRecordset>();
    if (Rs->Open(*Cn_MDB3, "SELECT * FROM DATI ORDER BY c000").ok()) {
      Numero_Record = static_cast<int32_t>(Rs->RecordCount());
      Filtro_Griglia = Rs->Filter();
      Rs->Disconnect();
      Rs_Griglia = std::move(Rs);
    }
  }

  if (Adatta_Dopo_Elaborazione != 0) {
    Visualizza_Larghezza_Colonne(65535, -1, 0);  // every column, headings too, not yet applied
    Larghezze(Larghezze_Codici, 14);
  }
  Conta_Righe_Intestazione();
  Tipo_Data_Chiave = Attributo_Filtro == "1" ? 0 : (Attributo_Filtro == "A" || Attributo_Filtro == "B") ? 1 : 2;
  Chiama(agganci_elenco::Ridimensiona);
  Chiama(agganci_elenco::Imposta_Bar);
}

}  // namespace kyx
