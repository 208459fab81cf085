#include "platform/ini/ini_document.h"

#include "platform/text/cp1252.h"

namespace kyx::ini {

std::string_view trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool is_blank(std::string_view line) { return trim(line).empty(); }

bool is_comment(std::string_view line) {
  const auto t = trim(line);
  return !t.empty() && t.front() == ';';
}

IniLine IniDocument::classify(std::string line) {
  IniLine out;
  const std::string_view t = trim(line);
  if (!t.empty() && t.front() == '[') {
    // "[ OPZ ]" names the section "OPZ": Windows ignores blanks inside the brackets. A "[" with no
    // "]" is not a header; Windows reads such a line as an ordinary one.
    if (const auto close = t.find(']'); close != std::string_view::npos) {
      out.kind = IniLine::Kind::kSection;
      out.name = std::string(trim(t.substr(1, close - 1)));
    }
  } else if (!t.empty() && t.front() != ';') {
    if (const auto eq = t.find('='); eq != std::string_view::npos) {
      // "Font Size = 8" is the key "Font Size" with the value "8".
      out.kind = IniLine::Kind::kKey;
      out.name = std::string(trim(t.substr(0, eq)));
      out.value = std::string(trim(t.substr(eq + 1)));
    }
  }
  out.text = std::move(line);
  return out;
}

IniDocument IniDocument::parse(std::string_view bytes) {
  IniDocument doc;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    auto nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) nl = bytes.size();
    std::string_view line = bytes.substr(pos, nl - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    doc.lines.push_back(classify(std::string(line)));
    pos = nl + 1;
  }
  return doc;
}

std::string IniDocument::serialize() const {
  std::size_t size = 0;
  for (const auto& l : lines) size += l.text.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& l : lines) {
    out += l.text;
    out += "\r\n";
  }
  return out;
}

std::optional<SectionRange> IniDocument::find_section(std::string_view name) const {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != IniLine::Kind::kSection || !text::equal_ignoring_case(lines[i].name, name)) {
      continue;
    }
    std::size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != IniLine::Kind::kSection) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> IniDocument::find_key(const SectionRange& range,
                                                 std::string_view key) const {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    if (lines[i].kind == IniLine::Kind::kKey && text::equal_ignoring_case(lines[i].name, key)) {
      return i;
    }
  }
  return std::nullopt;
}

std::size_t IniDocument::content_end(const SectionRange& range) const {
  std::size_t end = range.end;
  while (end > range.header + 1 && is_blank(lines[end - 1].text)) --end;
  return end;
}

}  // namespace kyx::ini
