#pragma once
// The code table KYX.Tbl for the tests, written by the project's generator into a scratch folder.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/temp_dir.h"

namespace kyx::test {

// The bytes of KYX.Tbl as the generator writes them, run once per test program ("" when it
// could not run). A program whose build ran the generator already (KYX_TABELLA names its output)
// reads that file: its many short processes need not each start the interpreter.
inline const std::string& Tabella_Generata() {
  static const std::string bytes = [] {
#ifdef KYX_TABELLA
    std::ifstream in(KYX_TABELLA, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
#endif
    const TempDir dir;
    const std::string command =
        std::string("'") + KYX_PYTHON + "' '" + KYX_MAKE_TBL + "' '" + dir.file("KYX.Tbl") + "'";
    return std::system(command.c_str()) == 0 ? dir.read("KYX.Tbl") : std::string();
  }();
  return bytes;
}

// Writes the generated KYX.Tbl into `dir`; returns its path ("" when the generator failed).
inline std::string Genera_Tabella(const TempDir& dir) {
  if (Tabella_Generata().empty()) return "";
  dir.write("KYX.Tbl", Tabella_Generata());
  return dir.file("KYX.Tbl");
}

// The 256 table bytes of a generated file (after its 6-byte header).
inline std::array<uint8_t, 256> Byte_Tabella(const TempDir& dir) {
  const std::string bytes = dir.read("KYX.Tbl");
  std::array<uint8_t, 256> t{};
  for (std::size_t i = 0; i < 256 && 6 + i < bytes.size(); ++i) t[i] = static_cast<uint8_t>(bytes[6 + i]);
  return t;
}

}  // namespace kyx::test
