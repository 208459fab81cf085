#include "platform/help/chm_file.h"

#include <chm_lib.h>
#include <sys/stat.h>

#include <cstdint>
#include <vector>

#include "platform/text/cp1252.h"

namespace kyx::help {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = text::to_lower(c);
  return out;
}

struct Finder {
  std::string wanted;  // lower case
  std::string found;
};

int Find_Ignoring_Case(struct chmFile*, struct chmUnitInfo* ui, void* context) {
  auto* f = static_cast<Finder*>(context);
  if (Lower(ui->path) == f->wanted) {
    f->found = ui->path;
    return CHM_ENUMERATOR_SUCCESS;
  }
  return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

ChmFile::~ChmFile() {
  if (handle_ != nullptr) chm_close(handle_);
}

std::unique_ptr<ChmFile> ChmFile::Open(const std::string& path, std::string& error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "missing file";
    return nullptr;
  }
  ::chmFile* h = chm_open(path.c_str());
  if (h == nullptr) {
    error = "not a compiled help file";
    return nullptr;
  }
  std::unique_ptr<ChmFile> f(new ChmFile());
  f->handle_ = h;
  f->path_ = path;
  return f;
}

bool ChmFile::Read(std::string_view name, std::string& bytes) const {
  bytes.clear();
  std::string object(name);
  if (object.empty() || object[0] != '/') object.insert(object.begin(), '/');
  struct chmUnitInfo ui {};
  if (chm_resolve_object(handle_, object.c_str(), &ui) != CHM_RESOLVE_SUCCESS) {
    // Pages link to each other in whatever case their authors typed.
    Finder f{Lower(object), {}};
    chm_enumerate(handle_, CHM_ENUMERATE_ALL, Find_Ignoring_Case, &f);
    if (f.found.empty() || chm_resolve_object(handle_, f.found.c_str(), &ui) != CHM_RESOLVE_SUCCESS) {
      return false;
    }
  }
  // An object claiming more than the file itself holds is damaged.
  if (ui.length > (1ULL << 30)) return false;
  bytes.resize(static_cast<size_t>(ui.length));
  if (ui.length == 0) return true;
  const LONGINT64 got = chm_retrieve_object(handle_, &ui, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                                            static_cast<LONGINT64>(ui.length));
  if (got != static_cast<LONGINT64>(ui.length)) {
    bytes.clear();
    return false;
  }
  return true;
}

std::string ChmFile::DefaultTopic() const {
  // #SYSTEM: a 4-byte version, then records of a 16-bit code, a 16-bit length and the data;
  // code 2 is the default topic, a null-ended text.
  std::string sys;
  if (!Read("#SYSTEM", sys)) return {};
  size_t i = 4;
  while (i + 4 <= sys.size()) {
    const uint16_t code = static_cast<uint16_t>(static_cast<unsigned char>(sys[i]) |
                                                (static_cast<unsigned char>(sys[i + 1]) << 8));
    const uint16_t len = static_cast<uint16_t>(static_cast<unsigned char>(sys[i + 2]) |
                                               (static_cast<unsigned char>(sys[i + 3]) << 8));
    i += 4;
    if (i + len > sys.size()) break;
    if (code == 2) {
      std::string topic = sys.substr(i, len);
      const size_t nul = topic.find('\0');
      if (nul != std::string::npos) topic.resize(nul);
      if (!topic.empty() && topic[0] != '/') topic.insert(topic.begin(), '/');
      return topic;
    }
    i += len;
  }
  return {};
}

}  // namespace kyx::help
