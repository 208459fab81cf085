// Module xEvaluate. Both functions read the same grammar with the same scan: the text is cut at
// its loosest operator outside parentheses (the last one among equals, which makes every operator
// left-associative) and each fragment is read again; a text without such an operator is a leaf.
// The cuts are kept as a tree, built once per formula text and evaluated for every row.
#include "engine/x_evaluate.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <algorithm>

#include "common/modello.h"
#include "engine/stato_motore.h"
#include "platform/vb/vb.h"

namespace kyx {
namespace {

constexpr int kNessuno = 14;  // weakest rank found: none yet

// Where the scan of one fragment cuts it.
struct Taglio {
  bool malformato = false;
  size_t posizione = 0;  // 0-based position of the operator
  size_t lunghezza = 0;  // 0 = no operator outside parentheses: a leaf
};

std::string_view Togli_Spazi(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool Inizia(std::string_view s, size_t i, std::string_view t) { return s.substr(i, t.size()) == t; }

// The scan: walks the characters keeping the parenthesis depth and whether an operand may start
// here. An operator character met where an operand may start is a sign, not an operator; that is
// also what skips the second character of ">=", "<=" and "<>".
Taglio Scansione(std::string_view s) {
  Taglio t;
  int profondita = 0;
  bool operando = true;
  int rango_minimo = kNessuno;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ' ') continue;
    if (c == '(') {
      ++profondita;
      operando = true;
      continue;
    }
    if (c == ')') {
      --profondita;
      operando = false;
      if (profondita < 0) {
        t.malformato = true;
        return t;
      }
      continue;
    }
    if (profondita > 0) {
      operando = false;
      continue;
    }
    int rango = 0;
    size_t lunghezza = 1;
    switch (c) {
      case '^': rango = 11; break;
      case '*': case '/': case '\\': rango = 9; break;
      case '%': rango = 7; break;
      case '+': case '-': rango = 5; break;
      case '=': rango = 4; break;
      case '<':
        rango = 4;
        if (Inizia(s, i + 1, "=") || Inizia(s, i + 1, ">")) lunghezza = 2;
        break;
      case '>':
        rango = 4;
        if (Inizia(s, i + 1, "=")) lunghezza = 2;
        break;
      default:
        if (Inizia(s, i, "and")) {
          rango = 2;
          lunghezza = 3;
        } else if (Inizia(s, i, "or")) {
          rango = 3;
          lunghezza = 2;
        }
    }
    if (rango == 0) {
      operando = false;
      continue;
    }
    if (operando) continue;  // a sign
    if (rango <= rango_minimo) {
      rango_minimo = rango;
      t.posizione = i;
      t.lunghezza = lunghezza;
    }
    operando = true;
  }
  if (profondita != 0) {
    t.malformato = true;
    t.lunghezza = 0;
  }
  return t;
}

// The fragments of "if(condition,then,else)": the first two commas at parenthesis depth 1. False
// when the text is not well formed.
bool Parti_If(std::string_view s, std::string_view& condizione, std::string_view& allora, std::string_view& altrimenti) {
  const size_t n = s.size();
  size_t p1 = 0, p2 = 0;  // 1-based positions of the two commas, 0 = not found
  int profondita = 0;
  for (size_t i = 0; i < n; ++i) {
    if (s[i] == '(') ++profondita;
    else if (s[i] == ')') --profondita;
    else if (s[i] == ',' && profondita == 1) {
      if (p1 == 0) p1 = i + 1;
      else if (p2 == 0) p2 = i + 1;
    }
  }
  if (p1 < 5 || p2 < p1 + 2 || n < p2 + 2 || profondita != 0) return false;
  condizione = s.substr(3, p1 - 4);
  allora = s.substr(p1, p2 - p1 - 1);
  altrimenti = s.substr(p2, n - p2 - 1);
  return true;
}

// The text has the form if(*,*,*): two commas anywhere between "if(" and the closing ")".
bool Forma_If(std::string_view s) {
  if (s.size() < 6 || s.substr(0, 3) != "if(" || s.back() != ')') return false;
  const size_t prima = s.find(',', 3);
  return prima != std::string_view::npos && s.find(',', prima + 1) < s.size() - 1;
}

bool Funzione(std::string_view s, std::string_view nome) {
  return s.size() >= 5 && s.substr(0, 4) == nome && s.back() == ')';
}

// A reference c<n>, t<n> or s<n> with one to three digits: its letter and number, else false.
bool Riferimento(std::string_view s, char& lettera, int& numero) {
  if (s.size() < 2 || s.size() > 4) return false;
  if (s[0] != 'c' && s[0] != 't' && s[0] != 's') return false;
  numero = 0;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    numero = numero * 10 + (s[i] - '0');
  }
  lettera = s[0];
  return true;
}

// A step whose result is no finite number gives 0 (see the header).
double Finito(double v) { return std::isfinite(v) ? v : 0.0; }

// The operands of "\" and "%" as BASIC Longs (rounded half to even); false when one does not fit
// or the divisor rounds to 0.
bool Interi(double l, double r, int64_t& a, int64_t& b) {
  const double ra = vb::RoundHalfEven(l), rb = vb::RoundHalfEven(r);
  constexpr double lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  if (!(ra >= lo && ra <= hi && rb >= lo && rb <= hi)) return false;
  a = static_cast<int64_t>(ra);
  b = static_cast<int64_t>(rb);
  return b != 0;
}

// A formula read once: the cuts and leaves of the scan as a tree, evaluated row after row without
// reading the text again.
struct Nodo {
  enum class Tipo : uint8_t { Costante, Riferimento, Binario, Segno, Non, Se, Funzione };
  Tipo tipo = Tipo::Costante;
  double valore = 0;    // Costante: its value
  int32_t livello = 0;  // Costante: its level
  char lettera = 0;     // Riferimento: c, t or s; Funzione: s(in), c(os), t(an), q (sqr)
  int numero = 0;       // Riferimento: the column
  std::string op;       // Binario: the operator
  bool negativo = false;  // Segno: "-" (else "+")
  bool oltre_limiti = false;  // the whole formula: too long or nested too deep, worth 0
  std::unique_ptr<Nodo> a, b, c;
};

std::unique_ptr<Nodo> Costante(double valore, int32_t livello) {
  auto n = std::make_unique<Nodo>();
  n->valore = valore;
  n->livello = livello;
  return n;
}

// Reads a text into its tree. Only nesting counts towards the depth limit (parentheses, signs,
// "not", if( and the functions); a chain of operators however long is no nesting.
class Compilatore {
 public:
  bool troppo_profondo = false;

  std::unique_ptr<Nodo> Leggi(std::string_view testo) {
    if (troppo_profondo) return Costante(0, -1);
    const std::string_view s = Togli_Spazi(testo);
    if (s.empty()) return Costante(0, -1);
    const Taglio t = Scansione(s);
    if (t.malformato) return Costante(0, -1);
    if (t.lunghezza > 0) {
      auto n = std::make_unique<Nodo>();
      n->tipo = Nodo::Tipo::Binario;
      n->op = std::string(s.substr(t.posizione, t.lunghezza));
      n->a = Leggi(s.substr(0, t.posizione));
      const size_t resto = t.posizione + t.lunghezza;
      n->b = resto < s.size() ? Leggi(s.substr(resto)) : Costante(0, 0);
      return n;
    }
    if (profondita_ >= x_evaluate::kProfondita_Massima) {
      troppo_profondo = true;
      return Costante(0, -1);
    }
    ++profondita_;
    auto n = Foglia(s);
    --profondita_;
    return n;
  }

 private:
  std::unique_ptr<Nodo> Uno(Nodo::Tipo tipo, std::string_view testo) {
    auto n = std::make_unique<Nodo>();
    n->tipo = tipo;
    n->a = Leggi(testo);
    return n;
  }

  std::unique_ptr<Nodo> Foglia(std::string_view s) {
    const size_t n = s.size();
    if (n >= 2 && s.front() == '(' && s.back() == ')') return Leggi(s.substr(1, n - 2));
    if (s.front() == '-' || s.front() == '+') {
      auto x = Uno(Nodo::Tipo::Segno, s.substr(1));
      x->negativo = s.front() == '-';
      return x;
    }
    if (s.substr(0, 3) == "not") return Uno(Nodo::Tipo::Non, s.substr(3));
    if (Forma_If(s)) {
      std::string_view condizione, allora, altrimenti;
      if (!Parti_If(s, condizione, allora, altrimenti)) return Costante(0, -1);
      auto x = std::make_unique<Nodo>();
      x->tipo = Nodo::Tipo::Se;
      x->a = Leggi(condizione);
      x->b = Leggi(allora);
      x->c = Leggi(altrimenti);
      return x;
    }
    for (const auto& [nome, lettera] : {std::pair<std::string_view, char>{"sin(", 's'}, {"cos(", 'c'}, {"tan(", 't'},
                                        {"sqr(", 'q'}}) {
      if (!Funzione(s, nome)) continue;
      auto x = Uno(Nodo::Tipo::Funzione, s.substr(4, n - 5));
      x->lettera = lettera;
      return x;
    }
    char lettera = 0;
    int k = 0;
    if (Riferimento(s, lettera, k)) {
      auto x = std::make_unique<Nodo>();
      x->tipo = Nodo::Tipo::Riferimento;
      x->lettera = lettera;
      x->numero = k;
      return x;
    }
    double v = 0;
    try {
      v = Finito(vb::Val(s));
    } catch (const vb::VbError&) {
      v = 0;  // the number does not fit a Double
    }
    // A parameter placeholder left in the text ("#x1") is not data of the database.
    return Costante(v, vb::Like(s, "*[#][x]#*") ? 1 : 0);
  }

  int profondita_ = 0;
};

double Valore(const Nodo& n) {
  switch (n.tipo) {
    case Nodo::Tipo::Costante: return n.valore;
    case Nodo::Tipo::Riferimento: {
      // A column beyond the result is read as a number, and a letter is none.
      if (n.numero > Numero_Colonne) return 0;
      const auto c = static_cast<size_t>(n.numero);
      if (n.lettera == 'c') return Valori_Riga[c];
      if (n.lettera == 't') return Totali[0][c];
      // A subtotal level outside the totals table reads nothing.
      if (Livello_Subtotale < 0 || Livello_Subtotale > 9) return 0;
      return Totali[static_cast<size_t>(Livello_Subtotale)][c];
    }
    case Nodo::Tipo::Segno: return n.negativo ? -Valore(*n.a) : Valore(*n.a);
    case Nodo::Tipo::Non: return Valore(*n.a) == 1 ? 0 : 1;
    case Nodo::Tipo::Se: return Valore(*n.a) == 1 ? Valore(*n.b) : Valore(*n.c);
    case Nodo::Tipo::Funzione: {
      const double x = Valore(*n.a);
      switch (n.lettera) {
        case 's': return Finito(std::sin(x));
        case 'c': return Finito(std::cos(x));
        case 't': return Finito(std::tan(x));
        default: return Finito(std::sqrt(x));
      }
    }
    case Nodo::Tipo::Binario: break;
  }
  const std::string& op = n.op;
  const double l = Valore(*n.a);
  const double r = Valore(*n.b);
  if (op == "+") return Finito(l + r);
  if (op == "-") return Finito(l - r);
  if (op == "*") return Finito(l * r);
  if (op == "/") return r == 0 ? 0.0 : Finito(l / r);
  if (op == "\\" || op == "%") {
    int64_t a = 0, b = 0;
    if (r == 0 || !Interi(l, r, a, b)) return 0;
    return static_cast<double>(op == "\\" ? a / b : a % b);
  }
  if (op == "^") return (l == 0 || r == 0) ? 0.0 : Finito(std::pow(l, r));
  if (op == "=") return l == r ? 1 : 0;
  if (op == "<>") return l != r ? 1 : 0;
  if (op == "<") return l < r ? 1 : 0;
  if (op == ">") return l > r ? 1 : 0;
  if (op == "<=") return l <= r ? 1 : 0;
  if (op == ">=") return l >= r ? 1 : 0;
  if (op == "and") return (l == 1 && r == 1) ? 1 : 0;
  if (op == "or") return (l == 1 || r == 1) ? 1 : 0;
  return 0;
}

int32_t Livello(const Nodo& n) {
  switch (n.tipo) {
    case Nodo::Tipo::Costante: return n.livello;
    case Nodo::Tipo::Riferimento: {
      const int k = n.numero;
      if (k >= 1 && k <= Numero_Colonne && Col_Precedenza[static_cast<size_t>(k)] >= 0)
        return Col_Precedenza[static_cast<size_t>(k)] + 1;
      return -1;
    }
    case Nodo::Tipo::Segno:
    case Nodo::Tipo::Non:
    case Nodo::Tipo::Funzione: return Livello(*n.a);
    case Nodo::Tipo::Se:
    case Nodo::Tipo::Binario: break;
  }
  int32_t massimo = -1;
  for (const Nodo* parte : {n.a.get(), n.b.get(), n.c.get()}) {
    if (!parte) continue;
    const int32_t v = Livello(*parte);
    if (v < 0) return -1;
    massimo = std::max(massimo, v);
  }
  return massimo;
}

// The trees of the formulas met last, by their text: a column's formula is read once and then
// evaluated for every row. Dropped all at once when it grows past a bound.
const Nodo& Albero(std::string_view Formula) {
  static std::unordered_map<std::string, std::unique_ptr<Nodo>> cache;
  static const std::unique_ptr<Nodo> troppo_lunga = [] {
    auto n = Costante(0, -1);
    n->oltre_limiti = true;
    return n;
  }();
  if (Formula.size() > x_evaluate::kLunghezza_Massima) return *troppo_lunga;
  const std::string chiave(Formula);
  if (auto it = cache.find(chiave); it != cache.end()) return *it->second;
  if (cache.size() >= 4096) cache.clear();
  Compilatore compilatore;
  std::unique_ptr<Nodo> albero = compilatore.Leggi(vb::LCase(Togli_Spazi(Formula)));
  if (compilatore.troppo_profondo) {
    albero = Costante(0, -1);
    albero->oltre_limiti = true;
  }
  return *cache.emplace(chiave, std::move(albero)).first->second;
}

}  // namespace

double Evaluate(std::string_view Formula) {
  const Nodo& albero = Albero(Formula);
  // A formula the limits make worth 0 is told at the end of the run.
  if (albero.oltre_limiti) Formule_Oltre_Limiti = true;
  return Valore(albero) + 0.0;  // never a negative zero
}

int32_t Evaluate_Livello(std::string_view Formula) { return Livello(Albero(Formula)); }

bool Formula_Oltre_Limiti(std::string_view Formula) { return Albero(Formula).oltre_limiti; }

}  // namespace kyx
