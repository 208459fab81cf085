// Kyx, the analysis program: hands the command line to the Foundation's start-up.
#include <string>

#include "common/avvio.h"
#include "platform/text/cp1252.h"

int main(int argc, char** argv) {
  // The start-up wants the argument text as one line, as the command line reaches a Windows
  // program (without the program's own name); arguments arrive in UTF-8 on Linux.
  std::string argomenti;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argomenti += ' ';
    argomenti += kyx::text::from_utf8(argv[i]);
  }
  kyx::Main(argomenti);
  return 0;
}
