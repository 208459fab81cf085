// Elaboration queries: the server dialect rewritten into SQLite, results packed into blocks.
#include "tools/dataserver/queries.h"

#include <cctype>
#include <algorithm>
#include <cmath>

#include "platform/text/cp1252.h"

namespace kyx::dataserver {

namespace {

bool IsName(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '#' || c == '$' || c == '@';
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s) { return std::string(text::trim_blanks(s)); }

// Whether `word` (upper case) starts at `at`, in any case, not as the tail of a longer name.
bool WordAt(const std::string& s, std::size_t at, const char* word) {
  const std::size_t n = std::char_traits<char>::length(word);
  if (at + n > s.size() || (at > 0 && IsName(s[at - 1]))) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::toupper(static_cast<unsigned char>(s[at + i])) != word[i]) return false;
  return true;
}

// The end (index after) of the quoted literal that starts at `at`; npos when it never closes.
std::size_t LiteralEnd(const std::string& s, std::size_t at) {
  for (std::size_t i = at + 1; i < s.size(); ++i) {
    if (s[i] != '\'') continue;
    if (i + 1 < s.size() && s[i + 1] == '\'') {
      ++i;
      continue;
    }
    return i + 1;
  }
  return std::string::npos;
}

// The arguments of the call whose "(" is at `open`, split at the commas of its own level; the
// index after its ")" in *end. False when it never closes.
bool CallArguments(const std::string& s, std::size_t open, std::vector<std::string>* args, std::size_t* end) {
  int depth = 0;
  std::size_t from = open + 1;
  for (std::size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\'') {
      const std::size_t e = LiteralEnd(s, i);
      if (e == std::string::npos) return false;
      i = e - 1;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth == 0) {
        args->push_back(s.substr(from, i - from));
        *end = i + 1;
        return true;
      }
    } else if (c == ',' && depth == 1) {
      args->push_back(s.substr(from, i - from));
      from = i + 1;
    }
  }
  return false;
}

// The text between the quotes of a literal, its doubled quotes made single.
bool LiteralText(const std::string& item, std::string* out) {
  const std::string t = Trim(item);
  if (t.size() < 2 || t.front() != '\'' || LiteralEnd(t, 0) != t.size()) return false;
  out->clear();
  for (std::size_t i = 1; i + 1 < t.size(); ++i) {
    out->push_back(t[i]);
    if (t[i] == '\'') ++i;
  }
  return true;
}

std::string Quoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) {
    q += c;
    if (c == '\'') q += '\'';
  }
  return q + "'";
}

int Digits(const std::string& text) {
  const std::string t = Trim(text);
  if (t.empty() || t.size() > 4) return -1;
  int n = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

struct Rewriter {
  std::vector<std::string> libraries;  // every library the text names
  std::string error;

  // Rewrites s (recursively for the arguments of the calls it changes).
  std::string Run(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
      const char c = s[i];
      if (c == '\'') {
        const std::size_t e = LiteralEnd(s, i);
        if (e == std::string::npos) {
          error = "a text literal never closes";
          return out;
        }
        out += s.substr(i, e - i);
        i = e;
      } else if (WordAt(s, i, "DECIMAL(") || WordAt(s, i, "CHAR(")) {
        const bool decimal = WordAt(s, i, "DECIMAL(");
        const std::size_t open = s.find('(', i);
        std::vector<std::string> args;
        std::size_t end = 0;
        if (!CallArguments(s, open, &args, &end)) {
          error = "a call never closes";
          return out;
        }
        out += decimal ? Decimal(args) : Char(args);
        i = end;
      } else if (IsName(c) && (i == 0 || !IsName(s[i - 1]))) {
        std::size_t e = i;
        while (e < s.size() && IsName(s[e])) ++e;
        if (e < s.size() && s[e] == '/') {
          std::size_t t = e + 1;
          while (t < s.size() && IsName(s[t])) ++t;
          const std::string table = Upper(s.substr(e + 1, t - e - 1));
          if (table.size() == 10 && table.compare(0, 5, "KYX_D") == 0 && table.compare(6, 4, "_00F") == 0 &&
              table[5] >= '0' && table[5] <= '4') {
            const std::string library = s.substr(i, e - i);
            libraries.push_back(library);
            out += "\"" + DataSetTable(library) + "\"";
            i = t;
            continue;
          }
        }
        out += s.substr(i, e - i);
        i = e;
      } else {
        out += c;
        ++i;
      }
    }
    return out;
  }

  // decimal(x, 17, 3): x to thousandths (the packing keeps 3 decimals).
  std::string Decimal(const std::vector<std::string>& args) {
    const int scale = args.size() >= 3 ? Digits(args[2]) : 0;
    return "round(" + Run(args[0]) + ", " + std::to_string(std::max(scale, 0)) + ")";
  }

  // CHAR('text', n): the text blank-padded or cut to n characters.
  std::string Char(const std::vector<std::string>& args) {
    const int n = args.size() >= 2 ? Digits(args[1]) : -1;
    std::string literal;
    if (n < 0 || !LiteralText(args[0], &literal)) {
      if (n < 0) error = "CHAR without a length";
      return "substr(" + Run(args[0]) + ", 1, " + std::to_string(std::max(n, 0)) + ")";
    }
    literal.resize(static_cast<std::size_t>(n), ' ');
    return Quoted(literal);
  }
};

// The select list of a query: from after its seven-character head to its first FROM.
std::vector<std::string> SelectItems(const std::string& text) {
  std::vector<std::string> items;
  std::size_t end = text.size();
  for (std::size_t i = 7; i < text.size(); ++i) {
    if (text[i] == '\'') {
      const std::size_t e = LiteralEnd(text, i);
      if (e == std::string::npos) break;
      i = e - 1;
    } else if (WordAt(text, i, "FROM ")) {
      end = i;
      break;
    }
  }
  int depth = 0;
  std::size_t from = std::min<std::size_t>(7, text.size());
  for (std::size_t i = from; i < end; ++i) {
    const char c = text[i];
    if (c == '\'') {
      const std::size_t e = LiteralEnd(text, i);
      if (e == std::string::npos || e > end) break;
      i = e - 1;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (c == ',' && depth == 0) {
      items.push_back(Trim(text.substr(from, i - from)));
      from = i + 1;
    }
  }
  items.push_back(Trim(text.substr(from, end - from)));
  return items;
}

}  // namespace

std::string DataSetTable(const std::string& library) { return Trim(library) + "/KYX_D0_00F"; }

void AppendPackedNumber(double value, std::string* out) {
  if (!std::isfinite(value)) value = 0;
  const bool negative = value < 0;
  double thousandths = std::round(std::fabs(value) * 1000.0);
  thousandths = std::fmod(thousandths, 1e17);
  auto magnitude = static_cast<uint64_t>(thousandths);
  // Seventeen digits and the sign, two half-bytes a byte, from the last byte back.
  char packed[9];
  packed[8] = static_cast<char>(((magnitude % 10) << 4) | (negative && thousandths > 0 ? 0xD : 0xF));
  magnitude /= 10;
  for (int k = 7; k >= 0; --k) {
    const auto low = magnitude % 10;
    magnitude /= 10;
    packed[k] = static_cast<char>(((magnitude % 10) << 4) | low);
    magnitude /= 10;
  }
  out->append(packed, sizeof packed);
}

std::string PackedNumber(double value) {
  std::string packed;
  AppendPackedNumber(value, &packed);
  return packed;
}

void AppendWireField(const CodeTable& table, const data::Value& v, int width, std::string* out) {
  if (width <= 0) {
    AppendPackedNumber(v.is_null() ? 0.0 : v.AsDouble(), out);
    return;
  }
  std::string number;
  std::string_view t;
  if (v.kind() == data::Value::Kind::Text) {
    t = v.text();
  } else if (!v.is_null()) {
    number = v.AsText();
    t = number;
  }
  const auto w = static_cast<std::size_t>(width);
  const std::size_t n = std::min(t.size(), w);
  const std::size_t at = out->size();
  out->resize(at + w);
  char* d = out->data() + at;
  for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<char>(table.Encode(t[i]));
  std::fill(d + n, d + w, static_cast<char>(table.Encode(' ')));
}

bool PrepareQuery(Store& store, const std::string& text, PreparedQuery* out, std::string* error) {
  Rewriter r;
  out->sql = r.Run(text);
  if (!r.error.empty()) {
    *error = r.error;
    return false;
  }
  if (r.libraries.empty()) {
    *error = "the query names no data table";
    return false;
  }
  SystemDef sys;
  bool found = false;
  Status s = store.FindSystemByLibrary(r.libraries.front(), &sys, &found);
  if (!s || !found) {
    *error = "no system has the library " + r.libraries.front();
    return false;
  }
  std::vector<KeyDef> keys;
  if (!(s = store.Keys(Trim(sys.code), &keys))) {
    *error = s.ToString();
    return false;
  }
  out->items.clear();
  out->record_length = 0;
  for (const std::string& item : SelectItems(text)) {
    std::string bare;
    for (char c : item)
      if (c != ' ') bare += c;
    const std::string upper = Upper(bare);
    RecordItem it;
    std::string literal;
    if (upper.size() == 5 && upper.compare(0, 2, "K_") == 0 && Digits(upper.substr(2)) >= 0) {
      const int key = Digits(upper.substr(2));
      const KeyDef* def = nullptr;
      for (const auto& k : keys)
        if (k.idx == key) def = &k;
      if (!def || def->length < 1) {
        *error = "the system has no key " + upper;
        return false;
      }
      it.width = def->length;
    } else if (LiteralText(item, &literal)) {
      it.width = static_cast<int>(literal.size());
    } else if (upper.compare(0, 5, "CHAR(") == 0) {
      std::vector<std::string> args;
      std::size_t end = 0;
      it.width = CallArguments(bare, 4, &args, &end) && args.size() >= 2 ? std::max(Digits(args[1]), 0) : 0;
    }
    if (it.width < 0 || (it.width == 0 && (upper.compare(0, 5, "CHAR(") == 0 || upper.front() == '\''))) {
      *error = "a text item of no width: " + item;
      return false;
    }
    out->record_length += it.width > 0 ? static_cast<std::size_t>(it.width) : 9;
    out->items.push_back(it);
  }
  return true;
}

bool QueryCursor::Start(Store& store, const std::string& text, std::string* error) {
  Close();
  if (!PrepareQuery(store, text, &query_, error)) return false;
  std::unique_ptr<data::Statement> st;
  Status s = store.connection().Prepare(query_.sql, &st);
  if (s && st->ColumnCount() != static_cast<int>(query_.items.size())) {
    s = Status::Error(1, "the select list has " + std::to_string(st->ColumnCount()) + " columns");
  }
  if (s) s = st->Step(&has_row_);
  if (!s) {
    *error = s.ToString();
    return false;
  }
  statement_ = std::move(st);
  return true;
}

bool QueryCursor::NextBlock(const CodeTable& table, std::size_t max_payload, std::string* payload, bool* last) {
  payload->clear();
  *last = true;
  if (!statement_) return true;
  const std::size_t width = query_.record_length;
  if (width == 0 || width > max_payload) return false;
  data::Value v;
  for (std::size_t n = max_payload / width; has_row_ && n > 0; --n) {
    for (std::size_t j = 0; j < query_.items.size(); ++j) {
      statement_->Read(static_cast<int>(j), &v);
      AppendWireField(table, v, query_.items[j].width, payload);
    }
    if (!statement_->Step(&has_row_)) {
      Close();
      return false;
    }
  }
  *last = !has_row_;
  if (*last) Close();
  return true;
}

void QueryCursor::Close() {
  if (statement_) statement_->Reset();
  statement_.reset();
  has_row_ = false;
}

}  // namespace kyx::dataserver
