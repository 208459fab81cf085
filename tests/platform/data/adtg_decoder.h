#pragma once
// Runs the independent TableGram decoder (adtg_decode.py, written from the documented layout) on
// a file: its output, and whether it accepted the file.
#include <cstdio>
#include <string>

namespace kyx::test {

struct Decoded {
  std::string out;
  bool ok = false;
};

inline Decoded DecodeAdtg(const std::string& path) {
  Decoded d;
  const std::string cmd = std::string("python3 ") + KYX_ADTG_DECODER + " " + path;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return d;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) d.out.append(buf, n);
  d.ok = ::pclose(p) == 0;
  return d;
}

}  // namespace kyx::test
