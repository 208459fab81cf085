#pragma once
#include <gtest/gtest.h>

#include "platform/vb/vb.h"

namespace kyx::vb {

// Sets a locale for one test and puts the previous one back afterwards.
class ScopedLocale {
 public:
  explicit ScopedLocale(Locale loc) : saved_(locale()) { set_locale(loc); }
  ~ScopedLocale() { set_locale(saved_); }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  Locale saved_;
};

inline constexpr Locale kItalian{',', '.'};
inline constexpr Locale kEnglish{'.', ','};

// The VbError number a call raises, or 0 when it raises none.
template <typename F>
int error_of(F&& f) {
  try {
    f();
  } catch (const VbError& e) {
    return e.number();
  }
  return 0;
}

}  // namespace kyx::vb
