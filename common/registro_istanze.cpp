#include "common/registro_istanze.h"

#include <sys/types.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include "common/stato.h"
#include "platform/files/files.h"
#include "platform/files/record_file.h"
#include "platform/text/cp1252.h"

namespace kyx {
namespace {

struct Registro {
  std::array<int32_t, kSlot_Istanze> processo{};
  std::array<std::string, kSlot_Istanze> cartella;

  Registro() { Svuota(); }

  void Libera(size_t i) {
    processo[i] = 0;
    cartella[i] = std::string(kLunghezza_Cartella_Istanza, ' ');
  }
  void Svuota() {
    for (size_t i = 0; i < kSlot_Istanze; ++i) Libera(i);
  }

  void Leggi(const std::string& dati) {
    for (size_t i = 0; i < kSlot_Istanze; ++i) {
      const auto* b = reinterpret_cast<const unsigned char*>(dati.data() + 4 * i);
      processo[i] = static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 |
                                         uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24);
      cartella[i] = dati.substr(4 * kSlot_Istanze + kLunghezza_Cartella_Istanza * i,
                                kLunghezza_Cartella_Istanza);
    }
  }

  std::string Scrivi() const {
    std::string dati;
    dati.reserve(kLunghezza_Registro);
    for (int32_t v : processo) {
      const auto u = static_cast<uint32_t>(v);
      for (int s = 0; s < 32; s += 8) dati += static_cast<char>((u >> s) & 0xFF);
    }
    for (const auto& c : cartella) dati += text::fixed(c, kLunghezza_Cartella_Istanza);
    return dati;
  }
};

// The executable a process runs; "" when the process does not exist or may not be looked at
// (`negato` then tells the second case).
std::string Eseguibile(const std::string& proc, bool* negato = nullptr) {
  std::string destinazione(4096, '\0');
  const ssize_t n = readlink((proc + "/exe").c_str(), destinazione.data(), destinazione.size());
  if (n <= 0 || static_cast<size_t>(n) >= destinazione.size()) {
    if (negato) *negato = n < 0 && (errno == EACCES || errno == EPERM);
    return "";
  }
  destinazione.resize(static_cast<size_t>(n));
  return destinazione;
}

const std::string& Nostro_Eseguibile() {
  static const std::string nostro = Eseguibile("/proc/self");
  return nostro;
}

// A recorded process is alive while it exists and runs our executable: a pid reused by another
// program and a process that has ended (a zombie has no executable any more) do not hold their
// slot. A process of another user that we may not look at is taken as alive while it exists: it
// may be a copy of the program run by that user on the same program folder, and freeing its
// slot could put two copies on one data folder.
bool Processo_Vivo(int32_t pid) {
  if (pid <= 0) return false;
  bool negato = false;
  const std::string eseguibile = Eseguibile("/proc/" + std::to_string(pid), &negato);
  if (eseguibile.empty()) return negato;
  return eseguibile == Nostro_Eseguibile();
}

// The same, for the scan of all processes: one that we may not look at is not counted.
bool Copia_Visibile(int32_t pid) {
  const std::string eseguibile = Eseguibile("/proc/" + std::to_string(pid));
  return !eseguibile.empty() && eseguibile == Nostro_Eseguibile();
}

// The lock this process holds on the data folder it works in, and that folder.
struct Blocco_Cartella {
  std::string cartella;
  files::RecordFile file;
  pid_t processo = 0;  // a child process inherits the open file, but the lock is not its own
};
Blocco_Cartella& Blocco_Tenuto() {
  static Blocco_Cartella b;
  return b;
}

// The registry lives in the program folder, so two installations sharing one data folder never
// see each other's slots: the data folder itself carries a lock file, locked by the copy that
// works in it for as long as it runs (the lock goes with the process, however it ends). False
// when another process holds it. With `Tieni` the lock is kept (and the one on the folder left
// before is given up); without, the folder is only tried. A folder that does not exist, or in
// which the lock file cannot be made, is not refused here: the options check reports it.
bool Cartella_Libera(std::string_view Cartella, bool Tieni) {
  const std::string cartella = files::native_path(Cartella);
  if (cartella.empty() || !files::folder_exists(cartella)) return true;
  Blocco_Cartella& tenuto = Blocco_Tenuto();
  if (tenuto.file.is_open() && tenuto.cartella == cartella && tenuto.processo == getpid()) return true;
  files::RecordFile file;
  if (!file.open(cartella + "/" + kFile_Blocco_Cartella, 1)) return true;
  if (!file.try_lock_exclusive()) return false;
  if (Tieni) {
    tenuto.file = std::move(file);
    tenuto.cartella = cartella;
    tenuto.processo = getpid();
  }
  return true;
}

}  // namespace

bool Altra_Copia_In_Esecuzione() {
  const int32_t noi = static_cast<int32_t>(getpid());
  std::error_code ec;
  for (std::filesystem::directory_iterator it("/proc", ec), fine; !ec && it != fine;
       it.increment(ec)) {
    const std::string nome = it->path().filename().string();
    if (nome.empty() || nome.find_first_not_of("0123456789") != std::string::npos) continue;
    if (nome.size() > 9) continue;
    const int32_t pid = static_cast<int32_t>(std::stol(nome));
    if (pid != noi && Copia_Visibile(pid)) return true;
  }
  return false;
}

bool Registro_Istanze(int16_t& Modo, int32_t& hWnd1, int32_t& hWnd2, std::string& Cartella) {
  const int32_t noi = static_cast<int32_t>(getpid());
  Registro r;

  // A file that cannot be opened is not reported: the answer is given on 32 free slots and the
  // write is lost, as the registry only guards against a mistake of the user.
  files::RecordFile file;
  const bool aperto = file.open(files::native_path(File_Istanze), kLunghezza_Registro);
  if (aperto) {
    file.lock_exclusive();
    std::string dati;
    // A file of any other length (a new, empty one included) is taken as 32 free slots.
    if (file.length() == kLunghezza_Registro && file.read(1, dati)) r.Leggi(dati);
  }

  if (Modo != 0 && hWnd1 == 0 && !Altra_Copia_In_Esecuzione()) r.Svuota();

  for (size_t i = 0; i < kSlot_Istanze; ++i) {
    if (r.processo[i] != 0 && !Processo_Vivo(r.processo[i])) r.Libera(i);
  }

  // The first free slot, or the slot this process already holds (through either window).
  const bool nostro = hWnd1 != 0 || hWnd2 != 0;
  size_t k = kSlot_Istanze;
  for (size_t i = 0; i < kSlot_Istanze; ++i) {
    if (r.processo[i] == 0 || (nostro && r.processo[i] == noi)) {
      k = i;
      break;
    }
  }
  if (k == kSlot_Istanze) return false;

  // Free slots take part with an empty folder, so an empty Cartella clashes with a free slot.
  const std::string_view cercata = text::trim_blanks(Cartella);
  for (size_t j = 0; j < kSlot_Istanze; ++j) {
    if (j != k && text::trim_blanks(r.cartella[j]) == cercata) return false;
  }

  if (!Cartella_Libera(cercata, hWnd1 != 0)) return false;

  if (hWnd1 != 0) {
    r.processo[k] = noi;
    r.cartella[k] = text::fixed(Cartella, kLunghezza_Cartella_Istanza);
  }

  // Exactly one record: a longer file is cut, so that the next copy reads it again.
  if (aperto && file.write(1, r.Scrivi())) {
    if (file.length() != kLunghezza_Registro) file.truncate(kLunghezza_Registro);
  }
  return true;
}

}  // namespace kyx
