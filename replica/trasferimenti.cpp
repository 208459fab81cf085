// The block transfers. One loop serves every kind: it asks for the image's records a block at a
// time, decodes each into the local record the main program's login reads (the decoders are the
// login's own, server/immagini_master), and stops at the end marker, after the most records the
// kind has, or at a block that holds fewer records than were asked for (the server's file ends
// there: decoding further would read the bytes of an older reply).
#include "replica/trasferimenti.h"

#include <algorithm>
#include <functional>

#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/host/host.h"
#include "platform/vb/vb.h"
#include "replica/master.h"
#include "replica/socket_replica.h"
#include "replica/stato_replica.h"
#include "server/blocchi.h"
#include "server/campo.h"
#include "server/immagini_master.h"
#include "server/socket.h"

namespace kyx {

namespace {

using immagini::Immagine;

// What one wire record gave.
enum class Esito_Record { kScritto, kFine, kGuasto };

struct Blocchi {
  std::string richiesta;  // "a00012", "b00017", "c00012"
  std::string dopo;       // what follows offset and byte count ("" or the layout number)
  int64_t primo_offset;
  int32_t record;         // wire record length
  int32_t per_richiesta;  // records asked for at a time
  int32_t massimo;        // records at most
};

enum class Esito_Blocchi { kFinito, kComunicazione, kLettura, kGuasto };

// After a reply that did not come whole, the rest of it may still arrive and would be read as the
// next reply's head: the link cannot be trusted any more. The socket is closed and what was
// buffered dropped, so the transfers that follow fail at once instead of decoding stray bytes.
void Link_Perso() {
  Sock_Close(1);
  Byte_In_Buffer = 0;
}

// Sends the requests and hands every wire record to `record` (with its 0-based base in the
// reply) until it ends the list, the records run out or something fails. The two reply errors
// show their message here.
Esito_Blocchi Leggi_Blocchi(const Blocchi& b, const std::function<Esito_Record(int32_t base)>& record) {
  int32_t Restanti = b.massimo, Per_Richiesta = b.per_richiesta;
  int64_t Offset = b.primo_offset;
  int32_t Indice = 1, Testa = 6;
  while (Restanti >= 1) {
    if (Restanti < Per_Richiesta) Per_Richiesta = Restanti;
    const int32_t Byte = Per_Richiesta * b.record;
    Sock_Scrivi(1, b.richiesta + vb::Format(Offset, "0000000") + vb::Format(static_cast<int64_t>(Byte), "00000") + b.dopo,
                static_cast<int32_t>(18 + b.dopo.size()));
    if (!Sock_Leggi(Indice, Testa)) {
      Link_Perso();
      host::MsgBox("errore di comunicazione", host::vbOKOnly, kTitolo_Replica);
      return Esito_Blocchi::kComunicazione;
    }
    const bool Servito = Campo("A", 1, 1, 1, 0) == "0";
    int32_t Lunghezza = static_cast<int32_t>(vb::Val(Campo("S", 2, 5, 5, 0)));
    // A refused request's payload is read and dropped, so that the next reply is framed from its
    // own first byte.
    const bool Letto = Servito ? Sock_Leggi(Indice, Lunghezza) : Lunghezza <= 0 || Sock_Scarta(1, Lunghezza);
    if (!Letto) Link_Perso();
    if (!Servito || !Letto) {
      host::MsgBox("errore nella lettura dei dati", host::vbOKOnly, kTitolo_Replica);
      return Esito_Blocchi::kLettura;
    }
    const int32_t Nel_Blocco = std::min(Per_Richiesta, Lunghezza / b.record);
    for (int32_t j = 1; j <= Nel_Blocco; ++j) {
      switch (record((j - 1) * b.record)) {
        case Esito_Record::kScritto: break;
        case Esito_Record::kFine: return Esito_Blocchi::kFinito;
        case Esito_Record::kGuasto: return Esito_Blocchi::kGuasto;
      }
    }
    if (Nel_Blocco < Per_Richiesta) return Esito_Blocchi::kFinito;
    Restanti -= Per_Richiesta;
    Offset += Byte;
  }
  return Esito_Blocchi::kFinito;
}

// A transfer of image I into the work file: the records the image's decoder keeps, then the work
// file as the row of the key. `richiesta` and `dopo` frame the request; `ritocca` may change a
// record before it is written, `scritto` runs after it was.
bool Trasferisci(Immagine I, const std::string& richiesta, const std::string& dopo, const std::string& Sistema,
                 const std::string& Tipo, const std::string& Elemento,
                 const std::function<void(std::string&)>& ritocca = nullptr,
                 const std::function<bool(int32_t base)>& scritto = nullptr) {
  const immagini::Formato& F = immagini::Formato_Di(I);
  const std::string percorso = files::native_path(File_Lavoro);
  if (files::file_exists(percorso) && !files::remove_file(percorso)) return false;
  files::RecordFile f;
  if (!f.open(percorso, F.Lunghezza_Locale)) return false;
  const blocchi::Decodifica decodifica = immagini::Decodificatore(I);
  blocchi::Record_Locale r(F.Lunghezza_Locale);
  int64_t n = 0;
  const Blocchi b{richiesta, dopo, F.Offset, F.Lunghezza_Wire, F.Per_Blocco, F.Record_Totali};
  const Esito_Blocchi e = Leggi_Blocchi(b, [&](int32_t base) {
    if (F.Fine > 0 && blocchi::Vista_Wire(base, F.Fine, 1) == "A") return Esito_Record::kFine;
    r.Azzera();
    if (!decodifica(base, r)) return Esito_Record::kScritto;  // read, not kept
    // A number that does not fit its field would be stored changed: the copy is not made.
    if (r.Fuori_Misura()) return Esito_Record::kGuasto;
    std::string record = r.Dati();
    if (ritocca) ritocca(record);
    if (!f.write(++n, record)) return Esito_Record::kGuasto;
    if (scritto && !scritto(base)) return Esito_Record::kGuasto;
    return Esito_Record::kScritto;
  });
  f.close();
  return e == Esito_Blocchi::kFinito && Scrivi_Riga_Master(Sistema, Tipo, Elemento);
}

std::string Numero_Tre(int64_t n) { return vb::Format(n, "000"); }
std::string Numero_Cinque(int64_t n) { return vb::Format(n, "00000"); }

}  // namespace

bool Replica_Sistemi(const std::string& Sistema, const std::string& Database) {
  return Trasferisci(Immagine::kSistemi, "a00012", "", Sistema, "E ", "",
                     [&](std::string& record) { immagini::Database_Sistemi(record, Database); });
}

bool Replica_Chiavi(const std::string& Sistema) { return Trasferisci(Immagine::kChiavi, "a00012", "", Sistema, "K ", ""); }

bool Replica_Valori(const std::string& Sistema) { return Trasferisci(Immagine::kValori, "a00012", "", Sistema, "V ", ""); }

bool Replica_Aree(const std::string& Sistema) { return Trasferisci(Immagine::kAree, "a00012", "", Sistema, "A ", ""); }

bool Replica_Layout(const std::string& Sistema) {
  Numero_Layout = 0;
  return Trasferisci(Immagine::kLayout, "a00012", "", Sistema, "L ", "", nullptr, [](int32_t base) {
    // The layout number is not part of the record; the last one written tells how many element
    // and drill images there are.
    const int64_t n = immagini::Numero_Layout_Wire(base);
    if (n > 32767) return false;
    Numero_Layout = static_cast<int16_t>(n);
    return true;
  });
}

bool Replica_Layout_Elemento(const std::string& Sistema, int32_t Layout) {
  return Trasferisci(Immagine::kLayout_Elementi, "b00017", Numero_Cinque(Layout), Sistema, "L_", Numero_Tre(Layout));
}

bool Replica_Drill(const std::string& Sistema, int32_t Layout) {
  return Trasferisci(Immagine::kDrill, "m00017", Numero_Cinque(Layout), Sistema, "D_", Numero_Tre(Layout));
}

bool Replica_Filtro_Utente(const std::string& Sistema, const std::string& Utente) {
  return Trasferisci(Immagine::kFiltro_Utente, "c00012", "", Sistema, "UF", Utente);
}

bool Replica_Struttura_Utente(const std::string& Sistema, const std::string& Utente) {
  return Trasferisci(Immagine::kStruttura_Utente, "c00012", "", Sistema, "UA", Utente);
}

bool Replica_Elenco_Utenti() {
  Utenti_Replica.fill("");
  int32_t Nomi = 0;
  for (const int64_t Offset : {int64_t{273280}, int64_t{256256}}) {
    // A marker ends this pass only: the second one always runs, its names after the first's.
    const Esito_Blocchi e = Leggi_Blocchi({"a00012", "", Offset, 64, 127, 256}, [&](int32_t base) {
      if (Campo("A", base + 64, 1, 1, 0) == "A") return Esito_Record::kFine;
      if (Nomi >= 256) return Esito_Record::kGuasto;  // a 257th name has no slot
      Utenti_Replica[static_cast<std::size_t>(++Nomi)] = Campo("A", base + 3, 10, 10, 0);
      return Esito_Record::kScritto;
    });
    if (e != Esito_Blocchi::kFinito) {
      host::DoEvents();
      return false;
    }
  }
  return true;
}

}  // namespace kyx
