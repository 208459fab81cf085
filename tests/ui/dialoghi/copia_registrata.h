#pragma once
// Another running copy of the program for the instance-registry tests: this test program started
// again as a child process, which records itself in a registry file with a data folder and stays
// alive until the test lets it go. The registry tells copies apart by process and executable, so
// the second copy has to be a real process running the same executable.
#include <string>

namespace kyx::test {

// In the child: when the arguments ask for a registered copy, records it and waits until its
// standard input closes; returns the exit code. Returns -1 for any other command line.
int Esegui_Copia_Registrata(int argc, char** argv);

class CopiaRegistrata {
 public:
  // Starts the copy on registry `File_Istanze` with data folder `Cartella`; registrata() tells
  // whether it found the folder free and recorded itself.
  CopiaRegistrata(const std::string& File_Istanze, const std::string& Cartella);
  ~CopiaRegistrata();
  CopiaRegistrata(const CopiaRegistrata&) = delete;
  CopiaRegistrata& operator=(const CopiaRegistrata&) = delete;

  bool registrata() const { return registrata_; }

 private:
  int pid_ = -1;
  int ingresso_ = -1;  // the child's standard input, write end
  bool registrata_ = false;
};

}  // namespace kyx::test
