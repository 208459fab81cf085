// Module xEvaluate. Both functions read the same grammar with the same scan: the text is cut at
// its loosest operator outside parentheses (the last one among equals, which makes every operator
// left-associative) and each fragment is read again; a text without such an operator is a leaf. No
// parse tree is kept: formulas are short and the scan is cheap.
#include "engine/x_evaluate.h"

#include <cmath>
#include <cstdint>
#include <limits>

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

class Lettore {
 public:
  bool troppo_profondo = false;

  double Valore(std::string_view testo) {
    if (!Entra()) return 0;
    const double v = Valore_Interno(Togli_Spazi(testo));
    --profondita_;
    return v;
  }

  int32_t Livello(std::string_view testo) {
    if (!Entra()) return -1;
    const int32_t v = Livello_Interno(Togli_Spazi(testo));
    --profondita_;
    return v;
  }

 private:
  bool Entra() {
    if (troppo_profondo || profondita_ >= x_evaluate::kProfondita_Massima) {
      troppo_profondo = true;
      return false;
    }
    ++profondita_;
    return true;
  }

  double Valore_Interno(std::string_view s) {
    if (s.empty()) return 0;
    const Taglio t = Scansione(s);
    if (t.malformato) return 0;
    if (t.lunghezza > 0) {
      const std::string_view op = s.substr(t.posizione, t.lunghezza);
      const double l = Valore(s.substr(0, t.posizione));
      const size_t resto = t.posizione + t.lunghezza;
      const double r = resto < s.size() ? Valore(s.substr(resto)) : 0.0;
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
    // A leaf.
    const size_t n = s.size();
    if (n >= 2 && s.front() == '(' && s.back() == ')') return Valore(s.substr(1, n - 2));
    if (s.front() == '-') return -Valore(s.substr(1));
    if (s.front() == '+') return Valore(s.substr(1));
    if (s.substr(0, 3) == "not") return Valore(s.substr(3)) == 1 ? 0 : 1;
    if (Forma_If(s)) {
      std::string_view condizione, allora, altrimenti;
      if (!Parti_If(s, condizione, allora, altrimenti)) return 0;
      return Valore(condizione) == 1 ? Valore(allora) : Valore(altrimenti);
    }
    if (Funzione(s, "sin(")) return Finito(std::sin(Valore(s.substr(4, n - 5))));
    if (Funzione(s, "cos(")) return Finito(std::cos(Valore(s.substr(4, n - 5))));
    if (Funzione(s, "tan(")) return Finito(std::tan(Valore(s.substr(4, n - 5))));
    if (Funzione(s, "sqr(")) return Finito(std::sqrt(Valore(s.substr(4, n - 5))));
    char lettera = 0;
    int k = 0;
    if (Riferimento(s, lettera, k) && k <= Numero_Colonne) {
      const auto c = static_cast<size_t>(k);
      if (lettera == 'c') return Valori_Riga[c];
      if (lettera == 't') return Totali[0][c];
      // A subtotal level outside the totals table reads nothing.
      if (Livello_Subtotale < 0 || Livello_Subtotale > 9) return 0;
      return Totali[static_cast<size_t>(Livello_Subtotale)][c];
    }
    try {
      return Finito(vb::Val(s));
    } catch (const vb::VbError&) {
      return 0;  // the number does not fit a Double
    }
  }

  int32_t Livello_Interno(std::string_view s) {
    if (s.empty()) return -1;
    const Taglio t = Scansione(s);
    if (t.malformato) return -1;
    if (t.lunghezza > 0) {
      const int32_t l = Livello(s.substr(0, t.posizione));
      if (l < 0) return -1;
      const size_t resto = t.posizione + t.lunghezza;
      const int32_t r = resto < s.size() ? Livello(s.substr(resto)) : 0;
      if (r < 0) return -1;
      return l > r ? l : r;
    }
    const size_t n = s.size();
    if (n >= 2 && s.front() == '(' && s.back() == ')') return Livello(s.substr(1, n - 2));
    if (s.front() == '-' || s.front() == '+') return Livello(s.substr(1));
    if (s.substr(0, 3) == "not") return Livello(s.substr(3));
    if (Forma_If(s)) {
      std::string_view condizione, allora, altrimenti;
      if (!Parti_If(s, condizione, allora, altrimenti)) return -1;
      int32_t massimo = -1;
      for (std::string_view parte : {condizione, allora, altrimenti}) {
        const int32_t v = Livello(parte);
        if (v < 0) return -1;
        if (v > massimo) massimo = v;
      }
      return massimo;
    }
    if (Funzione(s, "sin(") || Funzione(s, "cos(") || Funzione(s, "tan(") || Funzione(s, "sqr("))
      return Livello(s.substr(4, n - 5));
    char lettera = 0;
    int k = 0;
    if (Riferimento(s, lettera, k)) {
      if (k >= 1 && k <= Numero_Colonne && Col_Precedenza[static_cast<size_t>(k)] >= 0)
        return Col_Precedenza[static_cast<size_t>(k)] + 1;
      return -1;
    }
    // A parameter placeholder left in the text ("#x1") is not data of the database.
    return vb::Like(s, "*[#][x]#*") ? 1 : 0;
  }

  int profondita_ = 0;
};

std::string Normalizza(std::string_view Formula) { return vb::LCase(Togli_Spazi(Formula)); }

}  // namespace

double Evaluate(std::string_view Formula) {
  if (Formula.size() > x_evaluate::kLunghezza_Massima) return 0;
  const std::string s = Normalizza(Formula);
  Lettore lettore;
  const double v = lettore.Valore(s);
  if (lettore.troppo_profondo) return 0;
  return v + 0.0;  // never a negative zero
}

int32_t Evaluate_Livello(std::string_view Formula) {
  if (Formula.size() > x_evaluate::kLunghezza_Massima) return -1;
  const std::string s = Normalizza(Formula);
  Lettore lettore;
  const int32_t v = lettore.Livello(s);
  return lettore.troppo_profondo ? -1 : v;
}

}  // namespace kyx
