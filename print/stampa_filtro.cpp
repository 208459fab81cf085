// The table of the active filters that opens a printed result: key, code and description, one
// line per condition ("=", "<>") or two for a range, alternating colours line by line.
#include <memory>
#include <string>

#include "common/formatta_valore.h"
#include "common/stato.h"
#include "common/stato_db.h"
#include "platform/data/forward_recordset.h"
#include "platform/vb/vb.h"
#include "print/stampa_documento.h"
#include "print/stampa_interno.h"
#include "print/stampanti.h"
#include "print/stato_stampa.h"

namespace kyx::stampa {

namespace {

std::string Testo(const data::Value& v) { return v.is_null() ? std::string() : vb::RTrim(v.AsText()); }

// A text between quotes with its own quotes doubled.
std::string Letterale(const std::string& t) { return "'" + vb::Replace(t, "'", "''") + "'"; }

}  // namespace

void Stampa_Filtro() {
  if (!Cn_MDB0 || !Cn_MDB0->IsOpen()) return;
  const std::string Sql =
      "Select F.KEY as F_KEY,F.OPER as F_OPER,F.VALO_1 as F_VALO_1,F.VALO_2 as F_VALO_2, "
      "K.TESTO as K_TESTO,K.ORDINA "
      "from (FILTRO F left join CHIAVI K on F.KEY=K.IDX) "
      "where F.VALO_1<>'*' and K.VIS='V' and (F.BLOCCO=' ' or F.BLOCCO='B') and (K.SINF=" +
      Letterale(Sistema_Informativo) + ") order by K.ORDINA,F.KEY,F.OPER,F.VALO_1,F.VALO_2  ";
  auto rs = std::make_unique<data::ForwardRecordset>();
  data::ForwardRecordset* Rs = rs.get();
  Rs_Lavoro = std::move(rs);
  if (!Rs->Open(*Cn_MDB0, Sql).ok() || Rs->AfterLast()) {
    Rs_Lavoro.reset();
    return;
  }

  const int32_t Sinistro = Stampa_Margini[0];
  const int32_t W = Stampanti_Larghezza - Sinistro - Stampa_Margini[1];
  const int32_t E0 = Sinistro;
  const int32_t E1 = E0 + static_cast<int32_t>(vb::RoundHalfEven(W / 4.0));
  const int32_t E2 = E1 + static_cast<int32_t>(vb::RoundHalfEven(W / 4.0));
  const int32_t E3 = Stampanti_Larghezza - Stampa_Margini[1];
  const int32_t h = Stampa_Altezza_Riga;
  Riga_Alternata = true;
  int64_t Chiave_Precedente = -1;

  const auto Coppia = [] {
    const size_t n = Riga_Alternata ? 6 : 7;
    return std::pair<int32_t, int32_t>{Colori[2 * n], Colori[2 * n + 1]};
  };
  // One line of the table: three cells with the borders asked for.
  const auto Linea = [&](const std::string& a, const std::string& b, const std::string& c, bool Alto, bool Basso) {
    if (Stampa_Pagina_Attiva) {
      const auto [t, s] = Coppia();
      Stampanti_Cella(Stampa_DC, a, E0, Stampa_Y, E1, Stampa_Y + h, 0, Stampa_Margine_Cella, Alto, true, Basso, true, t, s, true);
      Stampanti_Cella(Stampa_DC, b, E1, Stampa_Y, E2, Stampa_Y + h, 0, Stampa_Margine_Cella, Alto, true, Basso, true, t, s, true);
      Stampanti_Cella(Stampa_DC, c, E2, Stampa_Y, E3, Stampa_Y + h, 0, Stampa_Margine_Cella, Alto, true, Basso, true, t, s, true);
    }
    Stampa_Y += h;
  };

  while (!Rs->AfterLast()) {
    if (Stampa_Y + Stampa_Altezza_Riga_2 > Limite_Basso()) {
      Stampa_Nuova_Pagina();
      if (Stampa_Pagina_Attiva) {
        for (const auto& [x1, x2, t] : {std::tuple{E0, E1, "Chiave"}, std::tuple{E1, E2, "Codice"}, std::tuple{E2, E3, "Descrizione"}}) {
          Stampanti_Cella(Stampa_DC, t, x1, Stampa_Y, x2, Stampa_Y + h, 0, Stampa_Margine_Cella, true, true, true, true,
                          Colori[16], Colori[17], true);
        }
      }
      Stampa_Y += h;
    }
    const data::Value& k = Rs->Field("F_KEY");
    const int64_t Chiave = k.is_null() ? -1 : k.AsInteger();
    const std::string Operatore = Testo(Rs->Field("F_OPER"));
    const std::string Valore_1 = Testo(Rs->Field("F_VALO_1"));
    const std::string Valore_2 = Testo(Rs->Field("F_VALO_2"));
    const std::string Testo_Chiave = Testo(Rs->Field("K_TESTO"));
    const bool Fine = !Rs->MoveNext().ok() || Rs->AfterLast();
    const bool Ultima = Fine || Stampa_Y + Stampa_Altezza_Riga_3 > Limite_Basso();

    const int16_t Chiave_16 = static_cast<int16_t>(Chiave);
    const std::string Descrizione = Formatta_Valore(Chiave_16, Valore_1, 1, -1, "");
    const bool Nuova_Chiave = Chiave != Chiave_Precedente;
    const std::string Cella_Chiave = Nuova_Chiave ? Testo_Chiave : "";
    if (Operatore == "=") {
      Linea(Cella_Chiave, "=  " + Valore_1, Descrizione, Nuova_Chiave, Ultima);
    } else if (Operatore == "N") {
      Linea(Cella_Chiave, "<> " + Valore_1, Descrizione, Nuova_Chiave, Ultima);
    } else if (Operatore == "D") {
      Linea(Cella_Chiave, "Da " + Valore_1, Descrizione, Nuova_Chiave, false);
      Riga_Alternata = !Riga_Alternata;
      Linea(Cella_Chiave, "A  " + Valore_2, Formatta_Valore(Chiave_16, Valore_2, 1, -1, ""), false, Ultima);
    }
    Riga_Alternata = !Riga_Alternata;
    Chiave_Precedente = Chiave;
    if (Fine) break;
  }
  Stampa_Y += h;
  Rs_Lavoro.reset();
}

}  // namespace kyx::stampa
