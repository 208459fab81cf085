#include "platform/ini/ini_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/text/cp1252.h"
#include "platform/files/files.h"
#include "platform/ini/ini_document.h"

namespace kyx::ini {
namespace {

// The caller's buffer holds 255 characters with the closing NUL, so a read yields at most 254.
constexpr std::size_t kMaxValue = 254;

// Holds an exclusive lock on the file's folder while a write reads, changes and replaces the
// file, so that two writers (two copies of the program saving at once, or two threads) cannot
// lose each other's keys. Readers need no lock: they always see a whole file, old or new. Without
// a folder to lock the write fails on its own.
class WriteLock {
 public:
  explicit WriteLock(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(1, '.') : path.substr(0, slash == 0 ? 1 : slash);
    fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ >= 0) {
      while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~WriteLock() {
    if (fd_ >= 0) ::close(fd_);  // releases the lock
  }
  WriteLock(const WriteLock&) = delete;
  WriteLock& operator=(const WriteLock&) = delete;

 private:
  int fd_ = -1;
};

// The file's lines; nullopt when the file is there but cannot be read (a write must then leave it
// alone rather than replace it with a file that holds only the new key). A missing file reads as
// an empty one.
std::optional<IniDocument> load(const std::string& path) {
  std::string bytes;
  if (files::read_file(path, bytes)) return IniDocument::parse(bytes);
  if (files::file_length(path) < 0 && !files::folder_exists(path)) return IniDocument{};
  return std::nullopt;
}

// Text up to the first line break or NUL: the rest could not be stored on one line (Windows would
// write it and then read back only the first line, and the following lines could pose as keys or
// sections of their own).
std::string_view one_line(std::string_view s) {
  return s.substr(0, s.find_first_of(std::string_view("\r\n\0", 3)));
}

bool valid_section_name(std::string_view name) {
  return !name.empty() && name.find(']') == std::string_view::npos &&
         one_line(name).size() == name.size();
}

// A key that would read back as something else (a comment, a header, a different split at "=")
// is refused.
bool valid_key_name(std::string_view key) {
  return !key.empty() && key.front() != ';' && key.front() != '[' &&
         key.find('=') == std::string_view::npos && one_line(key).size() == key.size();
}

// Read's answer from the file's lines (null: the file could not be read).
std::string read_value(const IniDocument* doc, std::string_view section, std::string_view key,
                       std::string_view def) {
  section = trim(section);
  key = trim(key);
  std::optional<std::size_t> line;
  if (doc && !section.empty() && !key.empty()) {
    if (const auto range = doc->find_section(section)) line = doc->find_key(*range, key);
  }
  if (!line) {
    // The default comes back through the same 255-character buffer, and Windows cuts its trailing
    // blanks.
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(def.substr(0, kMaxValue));
  }
  std::string_view value = doc->lines[*line].value;
  value = value.substr(0, value.find('\0'));  // the value ends where a C string would
  // One pair of enclosing quotes is dropped: values written as "  text  " keep their blanks.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValue));
}

// Write's change to the lines; false when the section or key name is refused.
bool set_value(IniDocument& doc, std::string_view section, std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  if (!valid_section_name(section) || !valid_key_name(key)) return false;
  const std::string_view stored = one_line(value);
  if (const auto range = doc.find_section(section)) {
    if (const auto line = doc.find_key(*range, key)) {
      // Replaced in place; the key keeps the spelling it has in the file.
      IniLine& l = doc.lines[*line];
      l = IniDocument::classify(l.name + "=" + std::string(stored));
    } else {
      const auto at = doc.lines.begin() + static_cast<std::ptrdiff_t>(doc.content_end(*range));
      doc.lines.insert(at, IniDocument::classify(std::string(key) + "=" + std::string(stored)));
    }
  } else {
    doc.lines.push_back(IniDocument::classify("[" + std::string(section) + "]"));
    doc.lines.push_back(IniDocument::classify(std::string(key) + "=" + std::string(stored)));
  }
  return true;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(files::native_path(path)) {}

std::string IniFile::Read(std::string_view section, std::string_view key,
                          std::string_view def) const {
  const bool named = !trim(section).empty() && !trim(key).empty();
  const auto doc = named ? load(path_) : std::nullopt;
  return read_value(doc ? &*doc : nullptr, section, key, def);
}

bool IniFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WriteAll({IniEntry{std::string(section), std::string(key), std::string(value)}});
}

bool IniFile::WriteAll(const std::vector<IniEntry>& entries) {
  if (entries.empty()) return true;
  for (const IniEntry& e : entries)
    if (!valid_section_name(trim(e.section)) || !valid_key_name(trim(e.key))) return false;
  const WriteLock lock(path_);
  auto doc = load(path_);
  if (!doc) return false;
  for (const IniEntry& e : entries) (void)set_value(*doc, e.section, e.key, e.value);
  return files::write_file_atomic(path_, doc->serialize(), private_);
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
  section = trim(section);
  key = trim(key);
  if (section.empty() || key.empty()) return false;
  const WriteLock lock(path_);
  auto doc = load(path_);
  if (!doc) return false;
  const auto range = doc->find_section(section);
  const auto line = range ? doc->find_key(*range, key) : std::nullopt;
  if (!line) return true;  // nothing to remove: the file is not touched
  doc->lines.erase(doc->lines.begin() + static_cast<std::ptrdiff_t>(*line));
  return files::write_file_atomic(path_, doc->serialize(), private_);
}

bool IniFile::DeleteSection(std::string_view section) {
  section = trim(section);
  if (section.empty()) return false;
  const WriteLock lock(path_);
  auto doc = load(path_);
  if (!doc) return false;
  const auto range = doc->find_section(section);
  if (!range) return true;
  doc->lines.erase(doc->lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                   doc->lines.begin() + static_cast<std::ptrdiff_t>(range->end));
  return files::write_file_atomic(path_, doc->serialize(), private_);
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> out;
  section = trim(section);
  if (section.empty()) return out;
  const auto doc = load(path_);
  if (!doc) return out;
  const auto range = doc->find_section(section);
  if (!range) return out;
  for (std::size_t i = range->header + 1; i < range->end; ++i) {
    const IniLine& l = doc->lines[i];
    if (l.kind == IniLine::Kind::kKey) {
      out.push_back(l.name + "=" + l.value);
    } else if (!is_blank(l.text) && !is_comment(l.text)) {
      out.emplace_back(trim(l.text));
    }
  }
  return out;
}

bool IniFile::WriteSection(std::string_view section, const std::vector<std::string>& lines) {
  section = trim(section);
  if (!valid_section_name(section)) return false;
  std::vector<IniLine> body;
  for (const auto& given : lines) {
    const std::string_view text = one_line(given);
    if (is_blank(text)) continue;
    IniLine l = IniDocument::classify(std::string(text));
    // A header among the lines would split the section in two.
    if (l.kind == IniLine::Kind::kSection) return false;
    body.push_back(std::move(l));
  }
  const WriteLock lock(path_);
  auto doc = load(path_);
  if (!doc) return false;
  if (const auto range = doc->find_section(section)) {
    // The old lines go; blank lines that separate the section from the next one stay.
    const auto first = doc->lines.begin() + static_cast<std::ptrdiff_t>(range->header + 1);
    const auto last = doc->lines.begin() + static_cast<std::ptrdiff_t>(doc->content_end(*range));
    const auto at = doc->lines.erase(first, last);
    doc->lines.insert(at, body.begin(), body.end());
  } else {
    doc->lines.push_back(IniDocument::classify("[" + std::string(section) + "]"));
    doc->lines.insert(doc->lines.end(), body.begin(), body.end());
  }
  return files::write_file_atomic(path_, doc->serialize(), private_);
}

std::vector<std::string> IniFile::SectionNames() const {
  std::vector<std::string> names;
  const auto doc = load(path_);
  if (!doc) return names;
  for (const auto& l : doc->lines) {
    if (l.kind != IniLine::Kind::kSection) continue;
    bool seen = false;
    for (const auto& n : names) seen = seen || text::equal_ignoring_case(n, l.name);
    if (!seen) names.push_back(l.name);
  }
  return names;
}

IniSnapshot::IniSnapshot(const std::string& path) {
  if (auto doc = load(files::native_path(path))) doc_ = std::make_unique<IniDocument>(std::move(*doc));
}

IniSnapshot::~IniSnapshot() = default;

std::string IniSnapshot::Read(std::string_view section, std::string_view key, std::string_view def) const {
  return read_value(doc_.get(), section, key, def);
}

}  // namespace kyx::ini
