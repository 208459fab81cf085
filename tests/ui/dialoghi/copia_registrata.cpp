#include "tests/ui/dialoghi/copia_registrata.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "common/registro_istanze.h"
#include "common/stato.h"

namespace kyx::test {

namespace {
constexpr char kArgomento[] = "--copia-registrata";
}

int Esegui_Copia_Registrata(int argc, char** argv) {
  if (argc != 4 || std::strcmp(argv[1], kArgomento) != 0) return -1;
  File_Istanze = argv[2];
  std::string Cartella = argv[3];
  int16_t Modo = -1;
  int32_t Finestra = 1;
  int32_t Nessuna = 0;
  const bool ok = Registro_Istanze(Modo, Finestra, Nessuna, Cartella);
  std::printf("%s\n", ok ? "registrata" : "rifiutata");
  std::fflush(stdout);
  char c;
  while (read(0, &c, 1) > 0) {
  }
  return 0;
}

CopiaRegistrata::CopiaRegistrata(const std::string& File, const std::string& Cartella) {
  int in[2], out[2];
  if (pipe(in) != 0) return;
  if (pipe(out) != 0) {
    close(in[0]);
    close(in[1]);
    return;
  }
  pid_ = fork();
  if (pid_ == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    close(in[1]);
    close(out[0]);
    execl("/proc/self/exe", "copia", kArgomento, File.c_str(), Cartella.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  ingresso_ = in[1];
  std::string riga;
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') riga += c;
  close(out[0]);
  registrata_ = riga == "registrata";
}

CopiaRegistrata::~CopiaRegistrata() {
  if (ingresso_ >= 0) close(ingresso_);
  if (pid_ > 0) waitpid(pid_, nullptr, 0);
}

}  // namespace kyx::test
