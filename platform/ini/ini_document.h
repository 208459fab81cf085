#pragma once
// The lines of a settings file as IniFile sees them: section headers, "key=value" lines and every
// other line (blank, ";" comment, text without "="), kept byte for byte so that a rewrite changes
// only what it means to change.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kyx::ini {

struct IniLine {
  enum class Kind { kOther, kSection, kKey };
  Kind kind = Kind::kOther;
  std::string text;   // the line without its line end
  std::string name;   // section or key name without surrounding blanks
  std::string value;  // kKey: the text after the first "=", without surrounding blanks
};

// A section's place: its header line and the index just past its last line.
struct SectionRange {
  std::size_t header = 0;
  std::size_t end = 0;
};

class IniDocument {
 public:
  // Splits at LF, dropping the CR of a CR LF pair, so LF-only files read as well.
  static IniDocument parse(std::string_view bytes);
  static IniLine classify(std::string line);
  // Every line followed by CR LF.
  std::string serialize() const;

  // The first section of that name (compared without regard to case).
  std::optional<SectionRange> find_section(std::string_view name) const;
  // The first key of that name inside the section.
  std::optional<std::size_t> find_key(const SectionRange& range, std::string_view key) const;
  // Index just past the last non-blank line of the section (the header counts): where a new key
  // goes, so that blank lines separating it from the next section stay after it.
  std::size_t content_end(const SectionRange& range) const;

  std::vector<IniLine> lines;
};

// Blanks, tabs and stray CRs at both ends removed.
std::string_view trim(std::string_view s);
bool is_blank(std::string_view line);
bool is_comment(std::string_view line);

}  // namespace kyx::ini
