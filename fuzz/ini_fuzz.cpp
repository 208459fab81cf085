// Settings files from anywhere: a user's folder, an old installation, a half-written copy. The
// input is the file's bytes, optionally followed by "\xFF\xFF" and "section\x01key\x01value" for
// the write (a fixed key otherwise). Every section and key is read; then the key is written and
// the file read again: the new value must read back, and every other key must read as before.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ini/ini_document.h"
#include "platform/ini/ini_file.h"
#include "platform/text/cp1252.h"

namespace {

using kyx::ini::IniFile;

// One scratch file for the whole run, on tmpfs when there is one (every write syncs the file).
const std::string& scratch_path() {
  static const std::string path = [] {
    std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string dir = base + "/kyx-ini-fuzz-XXXXXX";
    if (mkdtemp(dir.data()) == nullptr) std::abort();
    return dir + "/KYX.INI";
  }();
  return path;
}

void put_file(const std::string& path, std::string_view bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  std::fclose(f);
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = kyx::text::to_lower(c);
  return out;
}

// What a read of the value just written must give: the first line, without the blanks around
// it, without one pair of enclosing quotes, cut at a NUL and to 254 characters.
std::string expected_read(std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  value = kyx::ini::trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, 254));
}

using Snapshot = std::map<std::pair<std::string, std::string>, std::string>;

// Every key of every section through the public reads, keyed by lower-cased names.
Snapshot read_all(const IniFile& ini) {
  Snapshot out;
  for (const auto& section : ini.SectionNames()) {
    for (const auto& line : ini.ReadSection(section)) {
      const auto eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string key = line.substr(0, eq);
      out.emplace(std::make_pair(lower(kyx::ini::trim(section)), lower(kyx::ini::trim(key))),
                  ini.Read(section, key, "\x01missing"));
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 16) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view file = input;
  std::string section = "Opzioni", key = "Fuzz", value = " \"written\" ";
  if (const auto sep = input.find("\xFF\xFF"); sep != std::string_view::npos) {
    file = input.substr(0, sep);
    std::string_view rest = input.substr(sep + 2);
    const auto a = rest.find('\x01');
    const auto b = a == std::string_view::npos ? a : rest.find('\x01', a + 1);
    if (b == std::string_view::npos) return 0;
    section = rest.substr(0, a);
    key = rest.substr(a + 1, b - a - 1);
    value = rest.substr(b + 1);
  }

  const std::string& path = scratch_path();
  put_file(path, file);
  IniFile ini(path);
  const Snapshot before = read_all(ini);
  for (const auto& [names, read] : before) {
    if (read.size() > 254) std::abort();
  }

  if (!ini.Write(section, key, value)) return 0;  // refused names change nothing
  if (ini.Read(section, key, "\x01missing") != expected_read(value)) std::abort();
  const auto written = std::make_pair(lower(kyx::ini::trim(section)), lower(kyx::ini::trim(key)));
  Snapshot after = read_all(ini);
  after.erase(written);
  Snapshot kept = before;
  kept.erase(written);
  if (after != kept) std::abort();
  return 0;
}
