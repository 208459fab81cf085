#include "platform/data/criteria.h"

#include <algorithm>
#include <cctype>

#include "platform/data/collation.h"
#include "platform/data/field.h"

namespace kyx::data {

namespace {

Status Bad(std::string_view text, const std::string& why) {
  return Status::Error(kBadCriteria, "Cannot understand \"" + std::string(text) + "\": " + why);
}

bool IsNameChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return std::isalnum(u) || c == '_' || u >= 0x80;
}

class Scanner {
 public:
  explicit Scanner(std::string_view t) : t_(t) {}
  void Blanks() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t')) ++i_;
  }
  bool AtEnd() {
    Blanks();
    return i_ >= t_.size();
  }
  char Peek() {
    Blanks();
    return i_ < t_.size() ? t_[i_] : '\0';
  }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++i_;
    return true;
  }
  // A keyword (AND, OR, ASC, DESC, LIKE, NULL) followed by a non-name character.
  bool Keyword(std::string_view kw) {
    Blanks();
    if (i_ + kw.size() > t_.size() || !SameName(t_.substr(i_, kw.size()), kw)) return false;
    if (i_ + kw.size() < t_.size() && IsNameChar(t_[i_ + kw.size()])) return false;
    i_ += kw.size();
    return true;
  }
  // A field name, plain or in brackets.
  bool Name(std::string* out) {
    Blanks();
    if (i_ < t_.size() && t_[i_] == '[') {
      size_t close = t_.find(']', i_ + 1);
      if (close == std::string_view::npos) return false;
      *out = std::string(t_.substr(i_ + 1, close - i_ - 1));
      i_ = close + 1;
      return true;
    }
    size_t start = i_;
    while (i_ < t_.size() && IsNameChar(t_[i_])) ++i_;
    *out = std::string(t_.substr(start, i_ - start));
    return !out->empty();
  }
  bool Operator(std::string* op) {
    Blanks();
    static const char* ops[] = {"<=", ">=", "<>", "=", "<", ">"};
    for (const char* o : ops) {
      std::string_view ov(o);
      if (t_.substr(i_, ov.size()) == ov) {
        *op = o;
        i_ += ov.size();
        return true;
      }
    }
    if (Keyword("LIKE")) {
      *op = "LIKE";
      return true;
    }
    return false;
  }
  // A literal: 'text', #date#, a number or NULL.
  bool Literal(Value* out) {
    Blanks();
    if (i_ >= t_.size()) return false;
    char q = t_[i_];
    if (q == '\'' || q == '#') {
      std::string s;
      ++i_;
      while (i_ < t_.size()) {
        if (t_[i_] == q) {
          if (q == '\'' && i_ + 1 < t_.size() && t_[i_ + 1] == '\'') {
            s += '\'';
            i_ += 2;
            continue;
          }
          ++i_;
          *out = Value(std::move(s));
          return true;
        }
        s += t_[i_++];
      }
      return false;
    }
    if (Keyword("NULL")) {
      *out = Value();
      return true;
    }
    size_t start = i_;
    while (i_ < t_.size() && (std::isdigit(static_cast<unsigned char>(t_[i_])) || t_[i_] == '.' || t_[i_] == '-' ||
                              t_[i_] == '+' || t_[i_] == 'e' || t_[i_] == 'E'))
      ++i_;
    return ParseNumber(t_.substr(start, i_ - start), out);
  }

 private:
  std::string_view t_;
  size_t i_ = 0;
};

// Compares a field value with a literal; false when they cannot be compared.
bool CompareValues(const Value& a, const Value& b, int* result) {
  if (a.is_null() || b.is_null()) return false;
  if (a.is_number() && b.is_number()) {
    double x = a.AsDouble(), y = b.AsDouble();
    *result = x < y ? -1 : x > y ? 1 : 0;
    return true;
  }
  if (a.is_number() || b.is_number()) {
    Value n;
    const Value& text = a.is_number() ? b : a;
    if (ParseNumber(text.text(), &n)) {
      double x = a.is_number() ? a.AsDouble() : n.AsDouble();
      double y = b.is_number() ? b.AsDouble() : n.AsDouble();
      *result = x < y ? -1 : x > y ? 1 : 0;
      return true;
    }
  }
  if (a.kind() == Value::Kind::Text && b.kind() == Value::Kind::Text) {
    *result = JetCompare(a.text(), b.text());  // no copy of either text
    return true;
  }
  *result = JetCompare(a.AsText(), b.AsText());
  return true;
}

}  // namespace

struct Criteria::Node {
  enum Kind { kAnd, kOr, kClause } kind = kClause;
  enum Op { kEq, kNe, kLt, kGt, kLe, kGe, kLike } code = kEq;
  std::unique_ptr<Node> left, right;
  int field = -1;
  std::string op;
  Value value;

  template <typename Cell>
  bool Eval(const Cell& cell) const {
    if (kind == kAnd) return left->Eval(cell) && right->Eval(cell);
    if (kind == kOr) return left->Eval(cell) || right->Eval(cell);
    const Value& v = cell(field);
    if (value.is_null()) return code == kEq ? v.is_null() : !v.is_null();
    if (code == kLike) {
      if (v.is_null()) return false;
      return v.kind() == Value::Kind::Text ? JetLike(v.text(), value.text()) : JetLike(v.AsText(), value.AsText());
    }
    int c = 0;
    if (!CompareValues(v, value, &c)) return false;
    switch (code) {
      case kEq: return c == 0;
      case kNe: return c != 0;
      case kLt: return c < 0;
      case kGt: return c > 0;
      case kLe: return c <= 0;
      default: return c >= 0;
    }
  }

  void Fields(std::vector<int>* out) const {
    if (kind != kClause) {
      left->Fields(out);
      right->Fields(out);
    } else if (std::find(out->begin(), out->end(), field) == out->end()) {
      out->push_back(field);
    }
  }
};

namespace {

using NodePtr = std::unique_ptr<Criteria::Node>;

Status ParseOr(Scanner& s, std::string_view text, const FieldLookup& lookup, int depth, NodePtr* out);

Status ParsePrimary(Scanner& s, std::string_view text, const FieldLookup& lookup, int depth, NodePtr* out) {
  if (depth > 64) return Bad(text, "too many parentheses");
  if (s.Take('(')) {
    Status st = ParseOr(s, text, lookup, depth + 1, out);
    if (!st.ok()) return st;
    if (!s.Take(')')) return Bad(text, "a closing parenthesis is missing");
    return Status::Ok();
  }
  auto node = std::make_unique<Criteria::Node>();
  std::string name;
  if (!s.Name(&name)) return Bad(text, "a field name is expected");
  node->field = lookup(name);
  if (node->field < 0) return Bad(text, "there is no field " + name);
  if (!s.Operator(&node->op)) return Bad(text, "an operator is expected after " + name);
  if (!s.Literal(&node->value)) return Bad(text, "a value is expected after " + name + " " + node->op);
  static const char* const kOps[] = {"=", "<>", "<", ">", "<=", ">=", "LIKE"};
  for (int i = 0; i < 7; ++i)
    if (node->op == kOps[i]) node->code = static_cast<Criteria::Node::Op>(i);
  if (node->value.is_null() && node->op != "=" && node->op != "<>")
    return Bad(text, "NULL can only be compared with = or <>");
  *out = std::move(node);
  return Status::Ok();
}

Status ParseAnd(Scanner& s, std::string_view text, const FieldLookup& lookup, int depth, NodePtr* out) {
  Status st = ParsePrimary(s, text, lookup, depth, out);
  while (st.ok() && s.Keyword("AND")) {
    auto node = std::make_unique<Criteria::Node>();
    node->kind = Criteria::Node::kAnd;
    node->left = std::move(*out);
    st = ParsePrimary(s, text, lookup, depth, &node->right);
    *out = std::move(node);
  }
  return st;
}

Status ParseOr(Scanner& s, std::string_view text, const FieldLookup& lookup, int depth, NodePtr* out) {
  Status st = ParseAnd(s, text, lookup, depth, out);
  while (st.ok() && s.Keyword("OR")) {
    auto node = std::make_unique<Criteria::Node>();
    node->kind = Criteria::Node::kOr;
    node->left = std::move(*out);
    st = ParseAnd(s, text, lookup, depth, &node->right);
    *out = std::move(node);
  }
  return st;
}

}  // namespace

Criteria::Criteria() = default;
Criteria::~Criteria() = default;
Criteria::Criteria(Criteria&&) noexcept = default;
Criteria& Criteria::operator=(Criteria&&) noexcept = default;

Status Criteria::Parse(std::string_view text, const FieldLookup& lookup, Criteria* out) {
  Scanner s(text);
  Criteria c;
  if (!s.AtEnd()) {
    Status st = ParseOr(s, text, lookup, 0, &c.root_);
    if (!st.ok()) return st;
    if (!s.AtEnd()) return Bad(text, "unexpected text after the criteria");
  }
  *out = std::move(c);
  return Status::Ok();
}

bool Criteria::Matches(const std::vector<Value>& row) const {
  return !root_ || root_->Eval([&row](int f) -> const Value& { return row[static_cast<size_t>(f)]; });
}

bool Criteria::Matches(CellReader read, const void* row) const {
  return !root_ || root_->Eval([read, row](int f) -> const Value& { return read(row, f); });
}

std::vector<int> Criteria::FieldsRead() const {
  std::vector<int> out;
  if (root_) root_->Fields(&out);
  return out;
}

Status ParseSort(std::string_view text, const FieldLookup& lookup, std::vector<SortKey>* keys) {
  keys->clear();
  Scanner s(text);
  std::vector<SortKey> out;
  while (!s.AtEnd()) {
    std::string name;
    if (!s.Name(&name)) return Bad(text, "a field name is expected");
    SortKey k;
    k.field = lookup(name);
    if (k.field < 0) return Bad(text, "there is no field " + name);
    if (s.Keyword("DESC")) k.descending = true;
    else s.Keyword("ASC");
    out.push_back(k);
    if (!s.Take(',') && !s.AtEnd()) return Bad(text, "a comma is expected after " + name);
  }
  *keys = std::move(out);
  return Status::Ok();
}

int CompareForSort(const Value& a, const Value& b) {
  auto rank = [](const Value& v) { return v.is_null() ? 0 : v.is_number() ? 1 : 2; };
  int ra = rank(a), rb = rank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra == 0) return 0;
  if (ra == 1) {
    double x = a.AsDouble(), y = b.AsDouble();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  return JetCompare(a.text(), b.text());
}

}  // namespace kyx::data
