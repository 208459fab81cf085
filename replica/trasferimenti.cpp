// The block transfers. One loop serves every kind: it asks for as many whole records as fit the
// 8128 bytes of a request, decodes each into its local record with the kind's own layout, and
// stops at the end marker, after the most records the kind has, or at a block that holds fewer
// records than were asked for (the server's file ends there: decoding further would read the
// bytes of an older reply).
#include "replica/trasferimenti.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/host/host.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "replica/master.h"
#include "replica/socket_replica.h"
#include "replica/stato_replica.h"
#include "server/campo.h"
#include "server/socket.h"

namespace kyx {

namespace {

// What one wire record gave.
enum class Esito_Record { kScritto, kFine, kGuasto };

// A local record built field by field from the wire record at `base` (a 0-based offset within
// the last reply); `ok` turns false at the first value that does not fit its field.
class Record_Locale {
 public:
  Record_Locale(std::size_t lunghezza, int32_t base) : r_(lunghezza, ' '), base_(base) {}

  // Text of `n` wire bytes from wire position `da` (1-based), at local offset `a`.
  Record_Locale& A(std::size_t a, int32_t da, int32_t n) {
    r_.replace(a, static_cast<std::size_t>(n), Campo("A", base_ + da, n, n, 0));
    return *this;
  }
  // A two-byte binary number into one unsigned byte.
  Record_Locale& Byte(std::size_t a, int32_t da) {
    const long v = B(da);
    if (v < 0 || v > 255) ok_ = false;
    else r_[a] = static_cast<char>(v);
    return *this;
  }
  // A two-byte binary number into a 16-bit signed integer, little-endian.
  Record_Locale& Intero(std::size_t a, int32_t da) {
    const long v = B(da);
    if (v < 0 || v > 32767) ok_ = false;
    else {
      r_[a] = static_cast<char>(v & 0xFF);
      r_[a + 1] = static_cast<char>(v >> 8);
    }
    return *this;
  }
  long B(int32_t da) const {
    const std::string t = Campo("B", base_ + da, 2, 2, 0);
    return t.empty() ? -1 : std::stol(t);
  }
  std::string Testo(int32_t da, int32_t n) const { return Campo("A", base_ + da, n, n, 0); }
  std::string& bytes() { return r_; }
  bool ok() const { return ok_; }

 private:
  std::string r_;
  int32_t base_;
  bool ok_ = true;
};

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

// A transfer into the work file: records of `lunghezza` bytes built by `costruisci` (nullopt at
// the end marker), then the work file as the row of the key. `scritto` runs after each record
// written.
bool Trasferisci(const Blocchi& b, std::size_t lunghezza, int32_t marcatore,
                 const std::function<bool(Record_Locale&)>& costruisci, const std::string& Sistema,
                 const std::string& Tipo, const std::string& Elemento,
                 const std::function<bool(const Record_Locale&)>& scritto = nullptr) {
  const std::string percorso = files::native_path(File_Lavoro);
  if (files::file_exists(percorso) && !files::remove_file(percorso)) return false;
  files::RecordFile f;
  if (!f.open(percorso, lunghezza)) return false;
  int64_t n = 0;
  const Esito_Blocchi e = Leggi_Blocchi(b, [&](int32_t base) {
    // The marker byte (0 when the kind decodes the whole record before testing it).
    if (marcatore > 0 && Campo("A", base + marcatore, 1, 1, 0) == "A") return Esito_Record::kFine;
    Record_Locale r(lunghezza, base);
    if (!costruisci(r)) return Esito_Record::kFine;
    if (!r.ok() || !f.write(++n, r.bytes())) return Esito_Record::kGuasto;
    if (scritto && !scritto(r)) return Esito_Record::kGuasto;
    return Esito_Record::kScritto;
  });
  f.close();
  return e == Esito_Blocchi::kFinito && Scrivi_Riga_Master(Sistema, Tipo, Elemento);
}

std::string Numero_Tre(int64_t n) { return vb::Format(n, "000"); }

}  // namespace

bool Replica_Chiavi(const std::string& Sistema) {
  return Trasferisci({"a00012", "", 256, 384, 21, 128}, 309, 384, [](Record_Locale& r) {
    r.Byte(0, 1).Byte(1, 3).A(2, 9, 40);
    for (int k = 0; k < 4; ++k) r.A(42 + k, 94 + k, 1);
    for (int k = 1; k <= 12; ++k) r.A(46 + 20 * (k - 1), 78 + 20 * k, 20);
    r.A(286, 342, 5).Byte(291, 347).A(292, 349, 1).A(293, 350, 1);
    // The first area lies before the sort order on the wire and after the kind here.
    r.A(294, 339, 3);
    for (int k = 2; k <= 5; ++k) r.A(297 + 3 * (k - 2), 351 + 3 * (k - 2), 3);
    return true;
  }, Sistema, "K ", "");
}

bool Replica_Valori(const std::string& Sistema) {
  return Trasferisci({"a00012", "", 49408, 64, 127, 256}, 3, 64, [](Record_Locale& r) {
    r.Intero(0, 1).Byte(2, 3);
    return true;
  }, Sistema, "V ", "");
}

bool Replica_Aree(const std::string& Sistema) {
  return Trasferisci({"a00012", "", 106752, 64, 127, 32}, 48, 64, [](Record_Locale& r) {
    r.A(0, 3, 3).A(3, 6, 40).A(43, 46, 5);
    return true;
  }, Sistema, "A ", "");
}

bool Replica_Layout(const std::string& Sistema) {
  Numero_Layout = 0;
  return Trasferisci({"a00012", "", 108800, 576, 14, 256}, 519, 576, [](Record_Locale& r) {
    r.Byte(0, 3).Byte(1, 5).A(2, 7, 40).A(42, 47, 40).A(82, 87, 5).Byte(87, 97).A(88, 99, 1);
    r.A(89, 100, 60).A(149, 160, 1);
    for (int k = 1; k <= 9; ++k) r.A(150 + 40 * (k - 1), 121 + 40 * k, 40);
    for (int k = 1; k <= 9; ++k) r.Byte(510 + (k - 1), 519 + 2 * k);
    return true;
  }, Sistema, "L ", "", [](const Record_Locale& r) {
    // The layout number is not part of the record; the last one written tells how many element
    // files there are.
    const long n = r.B(1);
    if (n < 0 || n > 32767) return false;
    Numero_Layout = static_cast<int16_t>(n);
    return true;
  });
}

bool Replica_Layout_Elemento(const std::string& Sistema, int32_t Layout) {
  const Blocchi b{"b00017", vb::Format(static_cast<int64_t>(Layout), "00000"), 0, 1792, 4, 128};
  return Trasferisci(b, 1721, 192, [](Record_Locale& r) {
    r.Byte(0, 3).Byte(1, 5).Intero(2, 7).A(4, 9, 1).A(5, 10, 1).A(6, 11, 40).A(46, 51, 40).A(86, 91, 60);
    for (int k = 1; k <= 25; ++k) {
      const std::size_t a = 146 + 63 * static_cast<std::size_t>(k - 1);
      const int32_t w = 192 + 64 * (k - 1);
      r.Byte(a, w + 1).A(a + 1, w + 3, 1).A(a + 2, w + 4, 1).A(a + 3, w + 5, 60);
    }
    return true;
  }, Sistema, "L_", Numero_Tre(Layout));
}

bool Replica_Filtro_Utente(const std::string& Sistema, const std::string& Utente) {
  // Decoded whole before its flag is tested for the end marker.
  return Trasferisci({"c00012", "", 0, 64, 127, 128}, 1027, 0, [](Record_Locale& r) {
    r.Byte(0, 1).A(1, 3, 1).A(2, 4, 60).A(1026, 64, 1);
    std::string& b = r.bytes();
    if (b[1026] == 'A') return false;
    if (vb::Trim(b.substr(2, 1024)) != "*") b[1026] = 'B';
    const std::string op = vb::Trim(b.substr(1, 1));
    if (op == "i" || op == "r" || op == "n") {
      b[1026] = 'b';
      b[1] = op == "i" ? '=' : op == "r" ? 'R' : 'N';
    }
    return true;
  }, Sistema, "UF", Utente);
}

bool Replica_Struttura_Utente(const std::string& Sistema, const std::string& Utente) {
  // One request of 6144 bytes: three tables of 1024 two-byte entries, each entry into a byte.
  return Trasferisci({"c00012", "", 8192, 6144, 1, 1}, 3072, 0, [](Record_Locale& r) {
    for (int t = 0; t < 3; ++t) {
      for (int i = 1; i <= 1024; ++i) r.Byte(static_cast<std::size_t>(1024 * t + i - 1), 2048 * t + 2 * i - 1);
    }
    return true;
  }, Sistema, "US", Utente);
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
