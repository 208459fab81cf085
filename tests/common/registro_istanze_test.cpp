#include "common/registro_istanze.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "platform/files/files.h"
#include "platform/text/cp1252.h"
#include "tests/common/ambiente.h"

namespace kyx {
namespace {

// Another copy of the program: a process forked from this one, so it runs the same executable.
// It calls Registro_Istanze as a window of its own would (hWnd1 non-zero) once `Via` is given,
// reports the answer and stays alive until it is ended.
class Copia {
 public:
  explicit Copia(std::string cartella) {
    if (pipe(partenza_) != 0 || pipe(risposta_) != 0 || pipe(fine_) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(partenza_[1]);
      close(risposta_[0]);
      close(fine_[1]);
      char x;
      if (read(partenza_[0], &x, 1) != 1) _exit(1);
      int16_t modo = 0;
      int32_t h1 = 100, h2 = 0;
      const char esito = Registro_Istanze(modo, h1, h2, cartella) ? 'T' : 'F';
      if (write(risposta_[1], &esito, 1) != 1) _exit(1);
      // Wait until the test ends us (or goes away itself).
      while (read(fine_[0], &x, 1) > 0) {
      }
      _exit(0);
    }
    close(partenza_[0]);
    close(risposta_[1]);
    close(fine_[0]);
  }
  ~Copia() {
    Termina();
    close(partenza_[1]);
    close(risposta_[0]);
    close(fine_[1]);
  }
  void Via() { ASSERT_EQ(write(partenza_[1], "x", 1), 1); }
  char Esito() {
    char esito = '?';
    if (read(risposta_[0], &esito, 1) != 1) return '?';
    return esito;
  }
  char Registra() {
    Via();
    return Esito();
  }
  void Termina() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
  }
  pid_t pid() const { return pid_; }

 private:
  int partenza_[2] = {-1, -1}, risposta_[2] = {-1, -1}, fine_[2] = {-1, -1};
  pid_t pid_ = -1;
};

class Registro : public test::Ambiente {
 protected:
  bool Chiama(std::string cartella, int32_t h1 = 1, int32_t h2 = 0, int16_t modo = 0) {
    return Registro_Istanze(modo, h1, h2, cartella);
  }

  // KYX.DAT with the given processes and folders in slots 1, 2, ...
  void Scrivi_Registro(const std::vector<std::pair<int32_t, std::string>>& slot) {
    std::string dati(kLunghezza_Registro, ' ');
    for (size_t i = 0; i < 32; ++i) {
      const uint32_t v = i < slot.size() ? static_cast<uint32_t>(slot[i].first) : 0;
      for (size_t b = 0; b < 4; ++b) dati[4 * i + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
      if (i < slot.size()) dati.replace(128 + 255 * i, 255, text::fixed(slot[i].second, 255));
    }
    dir.write("KYX.DAT", dati);
  }
  int32_t Processo(size_t slot) const {
    const std::string d = dir.read("KYX.DAT");
    uint32_t v = 0;
    for (size_t b = 0; b < 4; ++b)
      v |= uint32_t{static_cast<unsigned char>(d.at(4 * (slot - 1) + b))} << (8 * b);
    return static_cast<int32_t>(v);
  }
  std::string Cartella(size_t slot) const {
    return dir.read("KYX.DAT").substr(128 + 255 * (slot - 1), 255);
  }

  const int32_t noi = static_cast<int32_t>(getpid());
};

TEST_F(Registro, NewFileRecordsThisProcess) {
  EXPECT_TRUE(Chiama("/dati/A\\"));
  EXPECT_EQ(dir.read("KYX.DAT").size(), 8288u);
  EXPECT_EQ(Processo(1), noi);
  EXPECT_EQ(Cartella(1), text::fixed("/dati/A\\", 255));
  EXPECT_EQ(Processo(2), 0);
  EXPECT_EQ(Cartella(2), std::string(255, ' '));

  // Calling again, also from the other window of this process, finds its own slot.
  EXPECT_TRUE(Chiama("/dati/A\\", 7));
  EXPECT_TRUE(Chiama("/dati/B\\", 8, 7));
  EXPECT_EQ(Processo(1), noi);
  EXPECT_EQ(Cartella(1), text::fixed("/dati/B\\", 255));
  EXPECT_EQ(Processo(2), 0);

  // A folder longer than a slot is cut to 255 characters.
  EXPECT_TRUE(Chiama(std::string(300, 'x')));
  EXPECT_EQ(Cartella(1), std::string(255, 'x'));
  EXPECT_EQ(dir.read("KYX.DAT").size(), 8288u);
}

TEST_F(Registro, SecondCopyOnTheSameFolderIsRefusedUntilTheFirstEnds) {
  Copia prima("/dati/A\\");
  ASSERT_EQ(prima.Registra(), 'T');
  ASSERT_EQ(Processo(1), prima.pid());
  const std::string registro = dir.read("KYX.DAT");

  EXPECT_FALSE(Chiama("  /dati/A\\ "));  // blanks at both ends do not matter
  EXPECT_EQ(dir.read("KYX.DAT"), registro);  // not rewritten
  // Only asking (no window) gets the same answer.
  EXPECT_FALSE(Chiama("/dati/A\\", 0));

  // Another folder, or the same in other letter case, is free.
  EXPECT_TRUE(Chiama("/dati/a\\"));
  EXPECT_EQ(Processo(1), prima.pid());
  EXPECT_EQ(Processo(2), noi);

  // The first copy ends without freeing its slot: the next call frees and reuses it.
  prima.Termina();
  EXPECT_TRUE(Chiama("/dati/A\\"));
  EXPECT_EQ(Processo(1), noi);
  EXPECT_EQ(Cartella(1), text::fixed("/dati/A\\", 255));
}

TEST_F(Registro, SlotsOfProcessesThatAreNotOurProgramAreFreed) {
  // Our parent (the test runner) runs another executable: a pid reused by another program.
  Scrivi_Registro({{static_cast<int32_t>(getppid()), "A"}, {0x7FFFFFF0, "B"}, {-5, "C"}});
  EXPECT_TRUE(Chiama("B", 0));
  EXPECT_TRUE(Chiama("C", 0));
  EXPECT_TRUE(Chiama("A"));
  EXPECT_EQ(Processo(1), noi);
  for (size_t s = 2; s <= 3; ++s) {
    EXPECT_EQ(Processo(s), 0);
    EXPECT_EQ(Cartella(s), std::string(255, ' '));
  }
}

TEST_F(Registro, FullRegistryAndEmptyFolder) {
  Copia altra("/x");
  ASSERT_EQ(altra.Registra(), 'T');
  std::vector<std::pair<int32_t, std::string>> slot;
  for (int i = 0; i < 32; ++i) slot.push_back({altra.pid(), "/cartella" + std::to_string(i)});
  Scrivi_Registro(slot);
  EXPECT_FALSE(Chiama("/libera"));

  // An empty folder clashes with the empty folder of the other free slots.
  Scrivi_Registro({});
  EXPECT_FALSE(Chiama(""));
  EXPECT_FALSE(Chiama("   "));
}

TEST_F(Registro, FileOfTheWrongLengthIsReadAsFreeAndRewrittenWhole) {
  for (size_t lunghezza : {size_t{100}, size_t{9000}}) {
    SCOPED_TRACE(lunghezza);
    Copia altra("/x");
    ASSERT_EQ(altra.Registra(), 'T');
    // A longer file whose first record names a live copy: that record is not trusted.
    Scrivi_Registro({{altra.pid(), "/dati/A"}});
    std::string dati = dir.read("KYX.DAT");
    dati.resize(lunghezza, '\x01');
    dir.write("KYX.DAT", dati);

    EXPECT_TRUE(Chiama("/dati/A"));
    EXPECT_EQ(dir.read("KYX.DAT").size(), 8288u);
    EXPECT_EQ(Processo(1), noi);
    EXPECT_EQ(Processo(2), 0);
    // Whole again, the file is read: another copy is now refused.
    Copia seconda("/dati/A");
    EXPECT_EQ(seconda.Registra(), 'F');
  }
}

TEST_F(Registro, ClearingAtStartOnlyWhenNoOtherCopyRuns) {
  // Our own slot counts against us when no window is given.
  Scrivi_Registro({{noi, "/dati/A"}});
  EXPECT_FALSE(Chiama("/dati/A", 0, 0, 0));
  // At start, with no other copy running, the registry is emptied first. Other processes of this
  // test program (ctest runs them side by side) are copies too, so the answer only counts when no
  // copy was seen before nor after the call; try again a little later otherwise.
  for (int prova = 0; prova < 50; ++prova) {
    const bool sola_prima = !Altra_Copia_In_Esecuzione();
    const bool svuotato = Chiama("/dati/A", 0, 0, -1);
    if (sola_prima && !Altra_Copia_In_Esecuzione()) {
      EXPECT_TRUE(svuotato);
      break;
    }
    Scrivi_Registro({{noi, "/dati/A"}});
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }

  Scrivi_Registro({});
  Copia altra("/dati/B");
  ASSERT_EQ(altra.Registra(), 'T');
  EXPECT_TRUE(Altra_Copia_In_Esecuzione());
  EXPECT_FALSE(Chiama("/dati/B", 0, 0, -1));
  EXPECT_EQ(Processo(1), altra.pid());
}

// Two installations (each its own program folder and registry) on one data folder: the folder's
// own lock keeps the second out while the first runs, and frees it when the first ends.
TEST_F(Registro, AnotherInstallationOnTheSameDataFolderIsRefusedUntilItEnds) {
  const std::string dati = dir.path() + "/Dati/";
  ASSERT_TRUE(files::make_folder(dati));
  ASSERT_TRUE(files::make_folder(dir.path() + "/Altra"));
  File_Istanze = dir.path() + "/Altra/KYX.DAT";
  Copia altra(dati);
  ASSERT_EQ(altra.Registra(), 'T');
  File_Istanze = dir.path() + "/KYX.DAT";

  EXPECT_FALSE(Chiama(dati, 0));
  EXPECT_FALSE(Chiama(dati));
  EXPECT_TRUE(Chiama(dir.path() + "/"));  // another folder is free

  altra.Termina();
  EXPECT_TRUE(Chiama(dati));
  EXPECT_EQ(Cartella(1), text::fixed(dati, 255));
  // Held now by this copy: asking again, or from the other installation, gives the same answers.
  EXPECT_TRUE(Chiama(dati));
  File_Istanze = dir.path() + "/Altra/KYX.DAT";
  Copia terza(dati);
  EXPECT_EQ(terza.Registra(), 'F');
}

TEST_F(Registro, CopiesStartingTogetherGetTheFolderOnlyOnce) {
  std::vector<std::unique_ptr<Copia>> copie;
  for (int i = 0; i < 8; ++i) copie.push_back(std::make_unique<Copia>("/dati/A"));
  for (auto& c : copie) c->Via();
  int vinte = 0;
  for (auto& c : copie) vinte += c->Esito() == 'T' ? 1 : 0;
  EXPECT_EQ(vinte, 1);
  EXPECT_EQ(dir.read("KYX.DAT").size(), 8288u);
}

}  // namespace
}  // namespace kyx
