#pragma once
// Private-profile settings files (in place of GetPrivateProfileString and its family).
//
// Semantics kept from the original: section and key names compare case-insensitively; the first
// occurrence of a section or key wins; a value is trimmed of blanks and tabs and loses one pair of
// enclosing double (or single) quotes; a read returns at most 254 characters; a missing file,
// section or key gives the caller's default; every read reads the file again (no cache).
// A write replaces the value in place as "key=value", appends a missing key at the end of its
// section and a missing section at the end of the file, and keeps every other line and its order.
// Files are Windows-1252 with CR LF line ends (LF-only files are read too). Writes go to a
// temporary file renamed over the original, so no reader ever sees a half-written file, and the
// writers of one folder take turns (a lock on the folder), so that two saves at the same moment do
// not lose each other's keys.
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kyx::ini {

class IniDocument;

// One key to write: WritePrivateProfileString's three arguments.
struct IniEntry {
  std::string section;
  std::string key;
  std::string value;
};

class IniFile {
 public:
  // `path` may use Windows separators; it is turned into a Linux path.
  explicit IniFile(std::string path);

  const std::string& path() const { return path_; }

  // When set, every write leaves the file readable and writable by its owner only (0600): the
  // settings file holds the scrambled connection blocks.
  void set_private(bool on) { private_ = on; }

  // GetPrivateProfileString: the value, cut to 254 characters, or `def` when missing (as Windows
  // returns it: without trailing blanks, cut to 254). Blanks around section and key names do not
  // count, in the file or in the arguments.
  std::string Read(std::string_view section, std::string_view key, std::string_view def) const;

  // WritePrivateProfileString: false when the file cannot be written (nothing changes then). A
  // missing file is created. The value is stored up to its first line break (a value cannot span
  // lines); a section name with "]" or a key name with "=", or one beginning with ";" or "[", is
  // refused, since it would read back as something else.
  bool Write(std::string_view section, std::string_view key, std::string_view value);

  // Many writes made as one: every entry is applied in order exactly as Write applies it, and the
  // file is replaced once (one rename, one sync), so a reader sees either none of the new values
  // or all of them. False, with the file unchanged, when any entry would be refused by Write or
  // the file cannot be written.
  bool WriteAll(const std::vector<IniEntry>& entries);

  // WritePrivateProfileString with a null value: removes the key (true also when it was missing).
  bool DeleteKey(std::string_view section, std::string_view key);

  // WritePrivateProfileString with a null key: removes the whole section.
  bool DeleteSection(std::string_view section);

  // GetPrivateProfileSection: the section's lines ("key=value" with the blanks around both parts
  // removed, the value not unquoted; comments and blank lines excluded), in file order; empty when
  // the section is missing. Only the first section of that name is read.
  std::vector<std::string> ReadSection(std::string_view section) const;

  // WritePrivateProfileSection: replaces the section's lines (a missing section is appended); an
  // empty list leaves the header with no keys. Blank lines are skipped; a line that would read as
  // a section header makes the whole write fail.
  bool WriteSection(std::string_view section, const std::vector<std::string>& lines);

  // Names of the sections in file order (first occurrence of each).
  std::vector<std::string> SectionNames() const;

 private:
  std::string path_;
  bool private_ = false;
};

// The file read once: Read answers as IniFile::Read does at the moment the snapshot was taken,
// without reading the file again. For code that reads many keys in one go (one read per key would
// parse the whole file each time).
class IniSnapshot {
 public:
  explicit IniSnapshot(const std::string& path);
  ~IniSnapshot();
  IniSnapshot(const IniSnapshot&) = delete;
  IniSnapshot& operator=(const IniSnapshot&) = delete;

  std::string Read(std::string_view section, std::string_view key, std::string_view def) const;

 private:
  std::unique_ptr<IniDocument> doc_;  // null when the file could not be read
};

}  // namespace kyx::ini
