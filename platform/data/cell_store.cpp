#include "platform/data/cell_store.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/data/collation.h"
#include "platform/data/radix_sort.h"

namespace kyx::data {

namespace {

size_t LengthSize(size_t n) {
  size_t k = 1;
  while (n >= 0x80) n >>= 7, ++k;
  return k;
}

void PutLength(char* at, size_t n) {
  while (n >= 0x80) {
    *at++ = static_cast<char>((n & 0x7F) | 0x80);
    n >>= 7;
  }
  *at = static_cast<char>(n);
}

// Numbers sort as doubles (as CompareForSort compares them); the bits are turned so that their
// unsigned order is the numeric order. -0 sorts as 0.
uint64_t NumberKey(double d) {
  if (d == 0) d = 0;
  const uint64_t u = std::bit_cast<uint64_t>(d);
  return (u >> 63) ? ~u : u | (uint64_t{1} << 63);
}

std::string_view TrimBlanks(std::string_view s) {
  size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}

// The plain letters of characters 8w .. 8w + 7 of a text, big-endian, padded with zeros. Texts
// whose words differ compare as their first differing words do (the first differing plain letter
// decides, and a text that ends first is the smaller).
uint64_t PrimaryWord(std::string_view text, size_t w) {
  uint64_t k = 0;
  for (size_t i = 8 * w; i < 8 * w + 8; ++i) {
    k <<= 8;
    if (i < text.size()) k |= JetPrimary(static_cast<unsigned char>(text[i]));
  }
  return k;
}

// Gives each item its rank in the JET order of its text (items[i].row names the text, text(row)
// reads it with trailing blanks removed; the keys hold word 0 of each text, and extra its length
// with kAccents set when it holds a byte above 0x7F, so that most runs need no text read). Texts the collation
// holds equal share a rank. A most-significant-word-first radix sort: runs of texts equal so far
// are sorted by their next word, and only runs whose plain letters are equal to the end, and
// which hold accented letters, are compared character by character.
constexpr uint32_t kAccents = 0x80000000u;

template <typename Text, typename Rank>
void RankTexts(KeyedRow* items, size_t n, KeyedRow* scratch, const Text& text, const Rank& set_rank) {
  struct Run {
    size_t begin, end, word;
  };
  std::vector<Run> stack;
  // Pushes the runs of equal keys in [b, e) so that the first is processed first.
  const auto push_runs = [&](size_t b, size_t e, size_t word) {
    const size_t mark = stack.size();
    for (size_t i = b; i < e;) {
      size_t j = i + 1;
      while (j < e && items[j].key == items[i].key) ++j;
      stack.push_back({i, j, word});
      i = j;
    }
    std::reverse(stack.begin() + static_cast<ptrdiff_t>(mark), stack.end());
  };
  RadixSort(items, n, scratch);
  push_runs(0, n, 0);
  uint64_t rank = 0;
  while (!stack.empty()) {
    const Run run = stack.back();
    stack.pop_back();
    if (run.end - run.begin == 1) {
      set_rank(items[run.begin].row, rank++);
      continue;
    }
    size_t longest = 0;
    for (size_t i = run.begin; i < run.end; ++i) longest = std::max<size_t>(longest, items[i].extra & ~kAccents);
    if (longest > 8 * (run.word + 1)) {
      for (size_t i = run.begin; i < run.end; ++i) items[i].key = PrimaryWord(text(items[i].row), run.word + 1);
      RadixSort(items + run.begin, run.end - run.begin, scratch);
      push_runs(run.begin, run.end, run.word + 1);
      continue;
    }
    // Plain letters equal to the end of the longest: the shorter texts first (their padding was
    // compared with characters of code 0), then the accents decide among texts of one length.
    for (size_t i = run.begin; i < run.end; ++i) items[i].key = items[i].extra & ~kAccents;
    RadixSort(items + run.begin, run.end - run.begin, scratch);
    for (size_t i = run.begin; i < run.end;) {
      size_t j = i + 1;
      while (j < run.end && items[j].key == items[i].key) ++j;
      bool accents = false;
      for (size_t k = i; k < j; ++k) accents |= (items[k].extra & kAccents) != 0;
      if (!accents) {
        for (size_t k = i; k < j; ++k) set_rank(items[k].row, rank);
      } else {
        const auto by_text = [&](const KeyedRow& x, const KeyedRow& y) { return JetCompare(text(x.row), text(y.row)) < 0; };
        std::sort(items + i, items + j, by_text);
        for (size_t k = i; k < j; ++k) {
          if (k > i && JetCompare(text(items[k - 1].row), text(items[k].row)) != 0) ++rank;
          set_rank(items[k].row, rank);
        }
      }
      ++rank;
      i = j;
    }
  }
}

}  // namespace

void CellStore::Reset(size_t columns) {
  cols_.assign(columns, Column());
  rows_ = 0;
  std::vector<KeyedRow>().swap(work_a_);
  std::vector<KeyedRow>().swap(work_b_);
}

std::string_view CellStore::TextAt(const Column& col, size_t r) {
  const char* p = col.arena.data() + col.word[r];
  size_t n = 0;
  for (int shift = 0;; shift += 7) {
    const unsigned char b = static_cast<unsigned char>(*p++);
    n |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
  }
  return {p, n};
}

// Writes v into slot r of the column. A text replacing a text is written over it when it fits in
// the old one's bytes; otherwise it goes to the end of the arena.
void CellStore::Write(Column& col, size_t r, const Value& v, bool in_place) {
  col.keys_valid = false;
  switch (v.kind()) {
    case Value::Kind::Null: col.word[r] = 0; break;
    case Value::Kind::Integer: col.word[r] = v.integer(); break;
    case Value::Kind::Double: col.word[r] = std::bit_cast<int64_t>(v.real()); break;
    case Value::Kind::Text: {
      const std::string& t = v.text();
      const size_t need = LengthSize(t.size()) + t.size();
      if (in_place && col.kind[r] == Value::Kind::Text) {
        const std::string_view old = TextAt(col, r);
        if (need <= LengthSize(old.size()) + old.size()) {
          char* at = col.arena.data() + col.word[r];
          PutLength(at, t.size());
          std::memcpy(at + LengthSize(t.size()), t.data(), t.size());
          break;
        }
      }
      const size_t at = col.arena.size();
      col.arena.resize(at + need);
      PutLength(col.arena.data() + at, t.size());
      std::memcpy(col.arena.data() + at + LengthSize(t.size()), t.data(), t.size());
      col.word[r] = static_cast<int64_t>(at);
      break;
    }
  }
  col.kind[r] = v.kind();
}

size_t CellStore::Append(const std::vector<Value>& row) {
  static const Value kNull;
  for (size_t c = 0; c < cols_.size(); ++c) {
    Column& col = cols_[c];
    col.kind.push_back(Value::Kind::Null);
    col.word.push_back(0);
    Write(col, rows_, c < row.size() ? row[c] : kNull, false);
  }
  return rows_++;
}

void CellStore::Replace(size_t r, const std::vector<Value>& row) {
  Value old;
  for (size_t c = 0; c < cols_.size() && c < row.size(); ++c) {
    Read(r, c, &old);
    const bool same = old.kind() != Value::Kind::Double
                          ? old == row[c]
                          : row[c].kind() == Value::Kind::Double &&
                                std::bit_cast<int64_t>(old.real()) == std::bit_cast<int64_t>(row[c].real());
    if (same) continue;
    Write(cols_[c], r, row[c], true);
  }
}

void CellStore::Read(size_t r, size_t c, Value* out) const {
  const Column& col = cols_[c];
  switch (col.kind[r]) {
    case Value::Kind::Null: out->SetNull(); break;
    case Value::Kind::Integer: out->AssignInteger(col.word[r]); break;
    case Value::Kind::Double: out->AssignDouble(std::bit_cast<double>(col.word[r])); break;
    case Value::Kind::Text: out->AssignText(TextAt(col, r)); break;
  }
}

void CellStore::ReadRow(size_t r, std::vector<Value>* out) const {
  out->resize(cols_.size());
  for (size_t c = 0; c < cols_.size(); ++c) Read(r, c, &(*out)[c]);
}

const CellStore::OrderKeys& CellStore::Keys(size_t c) {
  Column& col = cols_[c];
  if (!col.keys_valid) BuildKeys(col);
  return col.keys;
}

void CellStore::BuildKeys(Column& col) {
  const size_t rows = rows_;
  Grow(rows);
  OrderKeys& k = col.keys;
  k.payload.assign(rows, 0);
  k.kind_rank.assign(rows, 0);
  bool seen[3] = {false, false, false};
  size_t texts = 0;
  for (size_t r = 0; r < rows; ++r) {
    switch (col.kind[r]) {
      case Value::Kind::Null: seen[0] = true; break;
      case Value::Kind::Integer:
        k.kind_rank[r] = 1, seen[1] = true;
        k.payload[r] = NumberKey(static_cast<double>(col.word[r]));
        break;
      case Value::Kind::Double:
        k.kind_rank[r] = 1, seen[1] = true;
        k.payload[r] = NumberKey(std::bit_cast<double>(col.word[r]));
        break;
      case Value::Kind::Text: {
        k.kind_rank[r] = 2, seen[2] = true;
        const std::string_view t = TrimBlanks(TextAt(col, r));
        bool accents = false;
        for (unsigned char c : t) accents |= c >= 0x80;
        // Lengths beyond 2^31 - 1 do not occur (the store's texts come from fields of at most
        // a few thousand characters); clipped all the same, they would only reach the last stage.
        const uint32_t length = static_cast<uint32_t>(std::min<size_t>(t.size(), kAccents - 1));
        work_a_[texts++] = {PrimaryWord(t, 0), static_cast<uint32_t>(r), length | (accents ? kAccents : 0)};
        break;
      }
    }
  }
  if (texts > 0)
    RankTexts(
        work_a_.data(), texts, work_b_.data(), [&col](uint32_t r) { return TrimBlanks(TextAt(col, r)); },
        [&k](uint32_t r, uint64_t rank) { k.payload[r] = rank; });
  if (int(seen[0]) + int(seen[1]) + int(seen[2]) <= 1) k.kind_rank.clear();
  col.keys_valid = true;
}

}  // namespace kyx::data

namespace kyx::data {

void CellStore::Grow(size_t n) {
  if (work_a_.size() < n) work_a_.resize(n);
  if (work_b_.size() < n) work_b_.resize(n);
}

// Least significant key first, each key a stable radix sort by the column's order keys (the
// value, then its kind when the column holds more than one), inverted for a descending key.
void CellStore::Sort(std::vector<int>* order, const std::vector<SortKey>& keys) {
  if (keys.empty() || order->size() < 2) return;
  for (const SortKey& k : keys) Keys(static_cast<size_t>(k.field));  // before the buffers are used
  const size_t n = order->size();
  Grow(n);
  KeyedRow* items = work_a_.data();
  const auto pass = [&](const auto& key_of, bool descending) {
    for (size_t i = 0; i < n; ++i) {
      const uint32_t r = static_cast<uint32_t>((*order)[i]);
      const uint64_t k = key_of(r);
      items[i] = {descending ? ~k : k, r};
    }
    RadixSort(items, n, work_b_.data());
    for (size_t i = 0; i < n; ++i) (*order)[i] = static_cast<int>(items[i].row);
  };
  for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
    const OrderKeys& ok = cols_[static_cast<size_t>(k->field)].keys;
    pass([&](uint32_t r) { return ok.payload[r]; }, k->descending);
    if (!ok.kind_rank.empty()) pass([&](uint32_t r) { return uint64_t{ok.kind_rank[r]}; }, k->descending);
  }
}

}  // namespace kyx::data
