// Reading the delimited text of a sheet by line number, and its numbers.
#include "platform/xls/testo_delimitato.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace kyx::xls {
namespace {

constexpr size_t kBlocco = 1 << 18;

}  // namespace

bool Leggi_Numero(std::string_view t, char Decimale, double& v) {
  // The number's characters as the C library reads them: sign, digits, a point.
  char corto[64];
  std::string lungo;
  char* s = corto;
  if (t.size() >= sizeof corto) {
    lungo.resize(t.size() + 1);
    s = lungo.data();
  }
  size_t n = 0;
  bool cifre = false, decimale = false, meno = false;
  const char migliaia = Decimale == ',' ? '.' : ',';
  for (size_t i = 0; i < t.size(); ++i) {
    const char ch = t[i];
    if (ch >= '0' && ch <= '9') {
      s[n++] = ch;
      cifre = true;
    } else if ((ch == '-' || ch == '+') && i == 0) {
      meno = ch == '-';
    } else if (ch == Decimale && !decimale) {
      s[n++] = '.';
      decimale = true;
    } else if (ch == migliaia && !decimale && cifre) {
      // thousands separator
    } else {
      return false;
    }
  }
  if (!cifre) return false;
  double x = 0;
  const auto [fine, errore] = std::from_chars(s, s + n, x);
  if (errore != std::errc() || fine != s + n) {
    s[n] = '\0';
    x = std::strtod(s, nullptr);  // out of range: what the C library makes of it
  }
  v = meno ? -x : x;
  return true;
}

Testo_Delimitato::~Testo_Delimitato() { Chiudi(); }

void Testo_Delimitato::Chiudi() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  inizi_.clear();
  buf_.clear();
  buf_inizio_ = 0;
}

bool Testo_Delimitato::Trova_Linee(const std::string& File) {
  Chiudi();
  fd_ = ::open(File.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  inizi_.push_back(0);
  uint64_t pos = 0;
  for (;;) {
    if (!Carica(pos, 1)) return false;
    if (buf_.empty()) break;
    for (size_t p = 0, nl; (nl = buf_.find('\n', p)) != std::string::npos; p = nl + 1) inizi_.push_back(pos + nl + 1);
    pos += buf_.size();
  }
  if (inizi_.back() != pos) inizi_.push_back(pos);  // the last line has no LF
  buf_.clear();
  buf_.shrink_to_fit();
  buf_inizio_ = 0;
  return true;
}

bool Testo_Delimitato::Carica(uint64_t Inizio, size_t Minimo) const {
  const size_t voluti = std::max(kBlocco, Minimo);
  buf_.resize(voluti);
  size_t letti = 0;
  while (letti < voluti) {
    const ssize_t r = ::pread(fd_, buf_.data() + letti, voluti - letti, static_cast<off_t>(Inizio + letti));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      buf_.clear();
      return false;
    }
    if (r == 0) break;
    letti += static_cast<size_t>(r);
  }
  buf_.resize(letti);
  buf_inizio_ = Inizio;
  return true;
}

std::string_view Testo_Delimitato::Linea(size_t i) const {
  if (i >= Linee()) return {};
  const uint64_t a = inizi_[i], b = inizi_[i + 1];
  if (a < buf_inizio_ || b > buf_inizio_ + buf_.size()) {
    if (!Carica(a, static_cast<size_t>(b - a)) || b > buf_inizio_ + buf_.size()) return {};
  }
  std::string_view l(buf_.data() + (a - buf_inizio_), static_cast<size_t>(b - a));
  if (!l.empty() && l.back() == '\n') l.remove_suffix(1);
  if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
  return l;
}

}  // namespace kyx::xls
