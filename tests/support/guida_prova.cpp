#include "tests/support/guida_prova.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace kyx::test {

const std::vector<std::string>& Argomenti_Guida() {
  static const std::vector<std::string> argomenti = [] {
    std::vector<std::string> v;
    for (int n = 11701; n <= 11740; ++n) v.push_back(std::to_string(n));
    for (int n = 11401; n <= 11409; ++n) v.push_back(std::to_string(n));
    for (int n = 10001; n <= 10021; ++n) v.push_back(std::to_string(n));
    for (const char* t : {"00000", "10401", "10710", "10711", "10712", "10713", "10714", "10715", "20000",
                          "21000", "22000", "23000", "30000", "41000", "41100", "41200", "42000", "43000",
                          "44000", "50000"}) {
      v.push_back(t);
    }
    return v;
  }();
  return argomenti;
}

namespace {

void Scrivi(const std::filesystem::path& p, const std::string& testo) {
  std::ofstream f(p, std::ios::binary);
  f << testo;
}

}  // namespace

std::string File_Guida_Fissa() { return KYX_GUIDA_FIXTURE; }

bool Crea_Guida(const std::string& cartella) {
  namespace fs = std::filesystem;
  const fs::path destinazione = fs::path(cartella) / "KYX.CHM";
  std::error_code ec;
  if (fs::exists("/usr/bin/chmcmd")) {
    const fs::path lavoro = fs::path(cartella) / "sorgenti_guida";
    fs::create_directories(lavoro, ec);
    std::string progetto =
        "[OPTIONS]\r\nCompiled file=KYX.CHM\r\nDefault topic=index.htm\r\nTitle=Guida di prova\r\n\r\n[FILES]\r\n"
        "index.htm\r\n";
    Scrivi(lavoro / "index.htm",
           "<html><head><title>Indice</title></head><body><h1>Indice della guida</h1></body></html>\n");
    for (const std::string& a : Argomenti_Guida()) {
      Scrivi(lavoro / (a + ".htm"), "<html><head><title>Argomento " + a + "</title></head><body><h1>Argomento " +
                                        a + "</h1></body></html>\n");
      progetto += a + ".htm\r\n";
    }
    Scrivi(lavoro / "KYX.hhp", progetto);
    const std::string comando = "cd '" + lavoro.string() + "' && /usr/bin/chmcmd KYX.hhp >/dev/null 2>&1";
    if (std::system(comando.c_str()) == 0 && fs::exists(lavoro / "KYX.CHM")) {
      fs::copy_file(lavoro / "KYX.CHM", destinazione, fs::copy_options::overwrite_existing, ec);
      fs::remove_all(lavoro, ec);
      if (!ec) return true;
    }
    fs::remove_all(lavoro, ec);
  }
  fs::copy_file(fs::path(File_Guida_Fissa()), destinazione, fs::copy_options::overwrite_existing, ec);
  return !ec && fs::exists(destinazione);
}

}  // namespace kyx::test
