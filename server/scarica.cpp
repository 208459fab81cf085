// The definition downloads: the request of each server file; its offsets and the local record
// each wire record becomes are the images' own (server/immagini_master).
#include "server/scarica.h"

#include <algorithm>

#include "common/stato.h"
#include "platform/text/cp1252.h"
#include "platform/vb/vb.h"
#include "server/blocchi.h"
#include "server/immagini_master.h"
#include "server/risposta.h"

namespace kyx {

int16_t Numero_Indici_Layout = 0;

namespace {

using blocchi::Record_Locale;
using immagini::Immagine;

// The library of a block request: the caller's text, blanks after it, ten characters. Blanks
// name the server's default library.
std::string Libreria_Richiesta(const std::string& Libreria) { return text::fixed(Libreria, 10); }

// A layout list holds at most 256 layouts: the per-layout files are named with three digits.
constexpr int32_t kMassimo_Layout = 256;

// The request of each server file: "a" names a library, "b" and "m" a layout number, "c" (the
// user's file) nothing more.
std::string Richiesta(Immagine I) {
  switch (I) {
    case Immagine::kLayout_Elementi: return "b00017";
    case Immagine::kDrill: return "m00017";
    case Immagine::kFiltro_Utente:
    case Immagine::kStruttura_Utente: return "c00012";
    default: return "a00022";
  }
}

// Downloads image I into its work file, the request followed by `Coda`.
bool Scarica_Immagine(Immagine I, const std::string& Coda, const std::string& File,
                      const blocchi::Decodifica& D = nullptr) {
  const immagini::Formato& F = immagini::Formato_Di(I);
  const blocchi::Scarico S{Richiesta(I), Coda, F.Offset, F.Record_Totali, F.Per_Blocco,
                           F.Lunghezza_Wire, F.Fine, File, F.Lunghezza_Locale};
  return blocchi::Scarica(S, D ? D : immagini::Decodificatore(I));
}

}  // namespace

std::string File_Per_Layout(const std::string& Modello, int32_t Indice) {
  return vb::Replace(Modello, "###", blocchi::Cifre(Indice, 3));
}

bool Scarica_Aree() { return Scarica_Immagine(Immagine::kAree, Libreria_Richiesta(""), File_Aree); }

bool Scarica_Chiavi(const std::string& Libreria) {
  return Scarica_Immagine(Immagine::kChiavi, Libreria_Richiesta(Libreria), File_Chiavi);
}

bool Scarica_Sistemi() { return Scarica_Immagine(Immagine::kSistemi, Libreria_Richiesta(""), File_Sistemi); }

bool Scarica_Filtri_Utente() { return Scarica_Immagine(Immagine::kFiltro_Utente, "", File_Filtro_Utente); }

bool Scarica_Elenco_Layout() {
  // An empty list fetches no per-layout files, whatever an earlier login left here.
  Numero_Indici_Layout = 0;
  const blocchi::Decodifica Layout = immagini::Decodificatore(Immagine::kLayout);
  return Scarica_Immagine(Immagine::kLayout, Libreria_Richiesta(""), File_Layout, [&](int32_t b, Record_Locale& R) {
    // The layout's number is not stored (the loader numbers layouts by record); the last one
    // tells how many per-layout files to fetch.
    Numero_Indici_Layout = static_cast<int16_t>(immagini::Numero_Layout_Wire(b));
    return Layout(b, R);
  });
}

bool Scarica_Layout_Elementi(int32_t Indice) {
  return Scarica_Immagine(Immagine::kLayout_Elementi, blocchi::Cifre(Indice, 5),
                          File_Per_Layout(File_Layout_Elementi, Indice));
}

bool Scarica_Drill(int32_t Indice) {
  return Scarica_Immagine(Immagine::kDrill, blocchi::Cifre(Indice, 5), File_Per_Layout(File_Drill, Indice));
}

bool Scarica_Utenti_Aree() { return Scarica_Immagine(Immagine::kStruttura_Utente, "", File_Struttura_Utente); }

bool Scarica_Valori(const std::string& Libreria) {
  return Scarica_Immagine(Immagine::kValori, Libreria_Richiesta(Libreria), File_Valori);
}

void Scarica_Per_Sistema() {
  const int32_t Ultimo = std::min<int32_t>(Numero_Indici_Layout, kMassimo_Layout);
  const int32_t Errori_Prima = Errori_Risposta;
  // After a reply error the login stops (and a lost link would make every later request fail in
  // turn, each with its own message): the remaining layouts are not asked for.
  const auto Interrotto = [&] { return !Collegamento_Attivo() || Errori_Risposta != Errori_Prima; };
  for (int32_t i = 1; i <= Ultimo && !Interrotto(); ++i) {
    Scarica_Layout_Elementi(i);
    if (!Interrotto()) Scarica_Drill(i);
  }
}

}  // namespace kyx
