#include "platform/data/columnar_query.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/data/collation.h"
#include "platform/data/columnar_cache.h"

namespace kyx::data {
namespace {

// ---- Tokens ---------------------------------------------------------------------------------

struct Token {
  enum Kind { kWord, kText, kNumber, kPunct, kEnd } kind = kEnd;
  std::string text;  // a word as written, a literal without its quotes, a number, a punctuation
};

bool Tokenize(std::string_view s, std::vector<Token>* out) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      ++i;
    } else if (std::isalpha(c) || c == '_') {
      size_t j = i;
      while (j < s.size() && (std::isalnum(static_cast<unsigned char>(s[j])) || s[j] == '_')) ++j;
      out->push_back({Token::kWord, std::string(s.substr(i, j - i))});
      i = j;
    } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
      size_t j = i;
      while (j < s.size() && (std::isdigit(static_cast<unsigned char>(s[j])) || s[j] == '.')) ++j;
      if (j < s.size() && (std::isalpha(static_cast<unsigned char>(s[j])) || s[j] == '_')) return false;
      out->push_back({Token::kNumber, std::string(s.substr(i, j - i))});
      i = j;
    } else if (c == '\'') {
      std::string text;
      size_t j = i + 1;
      for (;; ++j) {
        if (j >= s.size()) return false;  // an open literal
        if (s[j] == '\'') {
          if (j + 1 < s.size() && s[j + 1] == '\'') {
            text += '\'';
            ++j;
            continue;
          }
          break;
        }
        text += s[j];
      }
      out->push_back({Token::kText, std::move(text)});
      i = j + 1;
    } else if (c == '(' || c == ')' || c == ',' || c == '+') {
      out->push_back({Token::kPunct, std::string(1, static_cast<char>(c))});
      ++i;
    } else {
      return false;
    }
  }
  out->push_back({Token::kEnd, ""});
  return true;
}

bool Is(const Token& t, std::string_view word) {
  if (t.kind != Token::kWord || t.text.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(t.text[i])) != word[i]) return false;
  return true;
}

bool IsKeyName(const std::string& w) { return w.size() > 2 && (w[0] == 'k' || w[0] == 'K') && w[1] == '_'; }
bool IsValueName(const std::string& w) { return w.size() > 2 && (w[0] == 'v' || w[0] == 'V') && w[1] == '_'; }

// ---- Parse tree -----------------------------------------------------------------------------

struct Item {
  enum Kind { kKey, kConstant, kSum } kind = kConstant;
  std::string key;
  Value constant;
  std::vector<std::string> terms;
};

struct Cond {
  enum Kind { kAnd, kOr, kIn, kNotIn, kBetween } kind = kAnd;
  std::unique_ptr<Cond> left, right;
  std::string key;
  std::vector<std::string> texts;
};

struct Query {
  std::vector<Item> items;
  std::string table;
  std::unique_ptr<Cond> where;
  std::vector<std::string> group_by, order_by;
};

class Parser {
 public:
  explicit Parser(std::vector<Token> t) : t_(std::move(t)) {}

  bool Parse(Query* q) {
    if (!Is(Peek(), "SELECT")) return false;
    ++p_;
    do {
      Item item;
      if (!ParseItem(&item)) return false;
      q->items.push_back(std::move(item));
    } while (Punct(","));
    if (!Word("FROM") || Peek().kind != Token::kWord) return false;
    q->table = t_[p_++].text;
    if (Word("WHERE")) {
      q->where = ParseOr();
      if (!q->where) return false;
    }
    if (Word("GROUP")) {
      if (!Word("BY") || !ParseKeys(&q->group_by)) return false;
    }
    if (Word("ORDER")) {
      if (!Word("BY") || !ParseKeys(&q->order_by)) return false;
    }
    return Peek().kind == Token::kEnd;
  }

 private:
  const Token& Peek() const { return t_[p_]; }
  bool Punct(char c) {
    if (Peek().kind == Token::kPunct && Peek().text[0] == c) {
      ++p_;
      return true;
    }
    return false;
  }
  bool Punct(const char* c) { return Punct(c[0]); }
  bool Word(std::string_view w) {
    if (Is(Peek(), w)) {
      ++p_;
      return true;
    }
    return false;
  }
  bool Key(std::string* name) {
    if (Peek().kind != Token::kWord || !IsKeyName(Peek().text)) return false;
    *name = t_[p_++].text;
    return true;
  }
  bool Text(std::string* text) {
    if (Peek().kind != Token::kText) return false;
    *text = t_[p_++].text;
    return true;
  }
  bool ParseKeys(std::vector<std::string>* keys) {
    do {
      std::string k;
      if (!Key(&k)) return false;
      keys->push_back(std::move(k));
    } while (Punct(","));
    return true;
  }
  bool ParseItem(Item* item) {
    const Token& t = Peek();
    if (t.kind == Token::kText) {
      item->kind = Item::kConstant;
      item->constant = Value(t.text);
      ++p_;
      return true;
    }
    if (t.kind == Token::kNumber) {
      item->kind = Item::kConstant;
      if (!ParseNumber(t.text, &item->constant)) return false;
      ++p_;
      return true;
    }
    if (Is(t, "SUM")) {
      ++p_;
      item->kind = Item::kSum;
      if (!Punct("(")) return false;
      do {
        if (Peek().kind != Token::kWord || !IsValueName(Peek().text)) return false;
        item->terms.push_back(t_[p_++].text);
      } while (Punct("+"));
      return Punct(")");
    }
    item->kind = Item::kKey;
    return Key(&item->key);
  }
  std::unique_ptr<Cond> Join(Cond::Kind kind, std::unique_ptr<Cond> l, std::unique_ptr<Cond> r) {
    auto c = std::make_unique<Cond>();
    c->kind = kind;
    c->left = std::move(l);
    c->right = std::move(r);
    return c;
  }
  std::unique_ptr<Cond> ParseOr() {
    auto l = ParseAnd();
    while (l && Word("OR")) {
      auto r = ParseAnd();
      if (!r) return nullptr;
      l = Join(Cond::kOr, std::move(l), std::move(r));
    }
    return l;
  }
  std::unique_ptr<Cond> ParseAnd() {
    auto l = ParseFactor();
    while (l && Word("AND")) {
      auto r = ParseFactor();
      if (!r) return nullptr;
      l = Join(Cond::kAnd, std::move(l), std::move(r));
    }
    return l;
  }
  std::unique_ptr<Cond> ParseFactor() {
    if (Punct("(")) {
      auto c = ParseOr();
      if (!c || !Punct(")")) return nullptr;
      return c;
    }
    auto c = std::make_unique<Cond>();
    if (!Key(&c->key)) return nullptr;
    if (Word("BETWEEN")) {
      c->kind = Cond::kBetween;
      c->texts.resize(2);
      if (!Text(&c->texts[0]) || !Word("AND") || !Text(&c->texts[1])) return nullptr;
      return c;
    }
    c->kind = Word("NOT") ? Cond::kNotIn : Cond::kIn;
    if (!Word("IN") || !Punct("(")) return nullptr;
    do {
      std::string text;
      if (!Text(&text)) return nullptr;
      c->texts.push_back(std::move(text));
    } while (Punct(","));
    if (!Punct(")")) return nullptr;
    return c;
  }

  std::vector<Token> t_;
  size_t p_ = 0;
};

bool ParseQuery(std::string_view sql, Query* q) {
  std::vector<Token> tokens;
  if (!Tokenize(sql, &tokens)) return false;
  return Parser(std::move(tokens)).Parse(q);
}

// ---- Conditions as masks over the codes of each key ----------------------------------------

// A conjunction of conditions on single keys: key index -> accepted codes (Null never is: a
// comparison with Null is never true, and the grammar has no negation of a whole condition).
using Masks = std::map<int, std::vector<uint8_t>>;

std::optional<Masks> Compile(const ColumnarTable& t, const Cond& c) {
  if (c.kind == Cond::kAnd || c.kind == Cond::kOr) {
    auto l = Compile(t, *c.left);
    auto r = Compile(t, *c.right);
    if (!l || !r) return std::nullopt;
    if (c.kind == Cond::kAnd) {
      for (auto& [k, m] : *r) {
        auto it = l->find(k);
        if (it == l->end()) {
          l->emplace(k, std::move(m));
        } else {
          for (size_t i = 0; i < m.size(); ++i) it->second[i] &= m[i];
        }
      }
      return l;
    }
    // "or" only between conditions on one and the same key.
    if (l->size() != 1 || r->size() != 1 || l->begin()->first != r->begin()->first) return std::nullopt;
    auto& a = l->begin()->second;
    const auto& b = r->begin()->second;
    for (size_t i = 0; i < a.size(); ++i) a[i] |= b[i];
    return l;
  }
  const int k = t.KeyIndex(c.key);
  if (k < 0) return std::nullopt;
  const ColumnarKey& key = t.keys[static_cast<size_t>(k)];
  std::vector<uint8_t> mask(key.texts.size(), 0);
  for (size_t code = 1; code < key.texts.size(); ++code) {
    const std::string& text = key.texts[code];
    bool v;
    if (c.kind == Cond::kBetween) {
      v = JetCompare(c.texts[0], text) <= 0 && JetCompare(text, c.texts[1]) <= 0;
    } else {
      v = std::any_of(c.texts.begin(), c.texts.end(), [&](const std::string& x) { return JetEqual(x, text); });
      if (c.kind == Cond::kNotIn) v = !v;
    }
    mask[code] = v ? 1 : 0;
  }
  Masks m;
  m.emplace(k, std::move(mask));
  return m;
}

// ---- The scan -------------------------------------------------------------------------------

struct SumPlan {
  std::vector<const ColumnarValue*> terms;
};

bool Run(const ColumnarTable& t, const Query& q, const RowSink& each) {
  // Group-by keys.
  std::vector<int> group;
  for (const auto& name : q.group_by) {
    const int k = t.KeyIndex(name);
    if (k < 0) return false;
    group.push_back(k);
  }
  auto grouped_at = [&](const std::string& name) -> int {
    const int k = t.KeyIndex(name);
    for (size_t g = 0; g < group.size(); ++g)
      if (group[g] == k) return static_cast<int>(g);
    return -1;
  };
  // Items.
  std::vector<int> item_group(q.items.size(), -1), item_sum(q.items.size(), -1);
  std::vector<SumPlan> sums;
  for (size_t i = 0; i < q.items.size(); ++i) {
    const Item& it = q.items[i];
    if (it.kind == Item::kKey) {
      if ((item_group[i] = grouped_at(it.key)) < 0) return false;
    } else if (it.kind == Item::kSum) {
      SumPlan plan;
      for (const auto& term : it.terms) {
        const int v = t.ValueIndex(term);
        if (v < 0) return false;
        plan.terms.push_back(&t.values[static_cast<size_t>(v)]);
      }
      item_sum[i] = static_cast<int>(sums.size());
      sums.push_back(std::move(plan));
    }
  }
  // Without a group, only sums make one row of the whole table.
  if (group.empty() && sums.empty()) return false;
  std::vector<int> order;
  for (const auto& name : q.order_by) {
    const int g = grouped_at(name);
    if (g < 0) return false;
    order.push_back(g);
  }
  std::vector<std::pair<const uint32_t*, const uint8_t*>> filters;
  std::optional<Masks> masks;
  if (q.where) {
    masks = Compile(t, *q.where);
    if (!masks) return false;
    for (const auto& [k, m] : *masks) filters.emplace_back(t.keys[static_cast<size_t>(k)].codes.data(), m.data());
  }

  // Groups are numbered by their codes in mixed radix.
  std::vector<uint64_t> stride(group.size(), 1);
  uint64_t space = 1;
  for (size_t g = group.size(); g-- > 0;) {
    stride[g] = space;
    const uint64_t n = t.keys[static_cast<size_t>(group[g])].texts.size();
    if (space > (uint64_t{1} << 62) / n) return false;
    space *= n;
  }
  std::vector<uint64_t> group_ids;
  // A group shows its keys as its first row spells them, as SQLite does: wanted only when a
  // grouped key has classes of several spellings.
  bool spelt = false;
  for (int k : group) spelt = spelt || !t.keys[static_cast<size_t>(k)].spellings.empty();
  constexpr size_t kNoRow = SIZE_MAX;
  std::vector<size_t> first_rows;  // per group, with `spelt`
  std::vector<double> acc;     // slot * sums + s
  std::vector<uint8_t> seen;   // 1 when a non-Null value was added
  const size_t ns = sums.size();
  bool nulls = false;  // some term can be Null
  for (const SumPlan& p : sums)
    for (const ColumnarValue* term : p.terms) nulls = nulls || !term->nulls.empty();
  std::vector<const uint32_t*> gcodes;
  for (int k : group) gcodes.push_back(t.keys[static_cast<size_t>(k)].codes.data());
  const auto passes = [&](size_t r) {
    for (const auto& [codes, mask] : filters)
      if (!mask[codes[r]]) return false;
    return true;
  };
  const auto group_of = [&](size_t r) {
    uint64_t id = 0;
    for (size_t g = 0; g < gcodes.size(); ++g) id += gcodes[g][r] * stride[g];
    return id;
  };
  // Adds row r's sums into the accumulators at `a` and `a_seen`.
  const auto add = [&](size_t r, double* a, uint8_t* a_seen) {
    for (size_t s = 0; s < ns; ++s) {
      double v = 0;
      bool null = false;
      for (const ColumnarValue* term : sums[s].terms) {
        if (nulls && !term->nulls.empty() && term->nulls[r]) {
          null = true;
          break;
        }
        v += term->values[r];
      }
      if (null) continue;
      a[s] += v;
      if (a_seen) a_seen[s] = 1;
    }
  };
  const auto n = static_cast<size_t>(t.rows);
  const size_t width = std::max<size_t>(ns, 1);
  if (space * width <= (uint64_t{1} << 20)) {
    // A small space of groups: the sums accumulate in place, at the group's own number; the
    // groups that took rows are gathered afterwards.
    std::vector<double> dense(space * ns, 0.0);
    std::vector<uint8_t> dense_seen(nulls ? space * ns : 0, 0);
    std::vector<uint8_t> taken(space, 0);
    std::vector<size_t> first(spelt ? space : 0, kNoRow);
    for (size_t r = 0; r < n; ++r) {
      if (!passes(r)) continue;
      const uint64_t id = group_of(r);
      if (spelt && !taken[id]) first[id] = r;
      taken[id] = 1;
      add(r, dense.data() + id * ns, nulls ? dense_seen.data() + id * ns : nullptr);
    }
    if (group.empty()) taken[0] |= 2;  // one row even from no rows
    for (uint64_t id = 0; id < space; ++id) {
      if (!taken[id]) continue;
      group_ids.push_back(id);
      if (spelt) first_rows.push_back(first[id]);
      acc.insert(acc.end(), dense.begin() + static_cast<ptrdiff_t>(id * ns),
                 dense.begin() + static_cast<ptrdiff_t>((id + 1) * ns));
      for (size_t x = 0; x < ns; ++x) seen.push_back(nulls ? dense_seen[id * ns + x] : taken[id] & 1);
    }
  } else {
    std::unordered_map<uint64_t, int32_t> slot_map;
    auto slot_for = [&](uint64_t id, size_t r) -> size_t {
      int32_t& s = slot_map.try_emplace(id, -1).first->second;
      if (s < 0) {
        s = static_cast<int32_t>(group_ids.size());
        group_ids.push_back(id);
        if (spelt) first_rows.push_back(r);
        acc.resize(acc.size() + ns, 0.0);
        seen.resize(seen.size() + ns, 0);
      }
      return static_cast<size_t>(s);
    };
    if (group.empty()) slot_for(0, kNoRow);  // one row even from no rows
    for (size_t r = 0; r < n; ++r) {
      if (!passes(r)) continue;
      const size_t slot = slot_for(group_of(r), r);
      add(r, acc.data() + slot * ns, seen.data() + slot * ns);
    }
  }

  // Rows in the order of their group keys (as a sorting GROUP BY gives them), then ORDER BY:
  // each group's key codes turned into their collation ranks, numbered in the same mixed radix.
  const size_t ng = group_ids.size();
  const size_t nk = group.size();
  std::vector<uint32_t> codes(ng * nk);
  std::vector<std::pair<uint64_t, uint32_t>> sorted(ng);
  for (size_t i = 0; i < ng; ++i) {
    uint64_t by_rank = 0;
    for (size_t g = 0; g < nk; ++g) {
      const ColumnarKey& key = t.keys[static_cast<size_t>(group[g])];
      const auto code = static_cast<uint32_t>((group_ids[i] / stride[g]) % key.texts.size());
      codes[i * nk + g] = code;
      by_rank += key.ranks[code] * stride[g];
    }
    sorted[i] = {by_rank, static_cast<uint32_t>(i)};
  }
  std::sort(sorted.begin(), sorted.end());
  if (!order.empty()) {
    // The ORDER BY keys are some of the group keys: their ranks in a radix of their own.
    for (auto& [by_rank, i] : sorted) {
      uint64_t by_order = 0;
      for (int g : order) {
        const ColumnarKey& key = t.keys[static_cast<size_t>(group[static_cast<size_t>(g)])];
        by_order = by_order * key.texts.size() + key.ranks[codes[i * nk + static_cast<size_t>(g)]];
      }
      by_rank = by_order;
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
  }

  std::vector<Value> row(q.items.size());
  for (size_t x = 0; x < q.items.size(); ++x)
    if (q.items[x].kind == Item::kConstant) row[x] = q.items[x].constant;
  for (const auto& entry : sorted) {
    const size_t i = entry.second;
    for (size_t x = 0; x < q.items.size(); ++x) {
      const Item& it = q.items[x];
      if (it.kind == Item::kKey) {
        const auto g = static_cast<size_t>(item_group[x]);
        const uint32_t code = codes[i * nk + g];
        const ColumnarKey& key = t.keys[static_cast<size_t>(group[g])];
        if (code == 0) row[x].SetNull();
        else if (key.spellings.empty() || !spelt || first_rows[i] == kNoRow) row[x].AssignText(key.texts[code]);
        else row[x].AssignText(key.spelling_texts[key.spellings[first_rows[i]]]);
      } else if (it.kind == Item::kSum) {
        const size_t s = static_cast<size_t>(item_sum[x]);
        if (seen[i * ns + s]) row[x].AssignDouble(acc[i * ns + s]);
        else row[x].SetNull();
      }
    }
    each(row);
  }
  return true;
}

// Collects the rows of an answer.
RowSink Into(std::vector<std::vector<Value>>* rows) {
  rows->clear();
  return [rows](const std::vector<Value>& row) { rows->push_back(row); };
}

}  // namespace

bool AnswerClosedQuery(const ColumnarTable& table, std::string_view sql, std::vector<std::vector<Value>>* rows) {
  Query q;
  if (!ParseQuery(sql, &q)) return false;
  if (JetCompare(q.table, table.table) != 0) return false;
  std::vector<std::vector<Value>> out;
  if (!Run(table, q, Into(&out))) return false;
  *rows = std::move(out);
  return true;
}

bool AnswerFromColumnarCache(Connection& cn, std::string_view sql, const RowSink& each) {
  if (!ColumnarCache::Enabled()) return false;
  Query q;
  if (!ParseQuery(sql, &q)) return false;
  auto table = ColumnarCache::Get(cn, q.table);
  if (!table) return false;
  return Run(*table, q, each);
}

bool AnswerFromColumnarCache(Connection& cn, std::string_view sql, std::vector<std::vector<Value>>* rows) {
  std::vector<std::vector<Value>> out;
  if (!AnswerFromColumnarCache(cn, sql, Into(&out))) return false;
  *rows = std::move(out);
  return true;
}

}  // namespace kyx::data
