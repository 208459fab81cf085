#pragma once
// Parts of the sample generator shared by its two files: the random source and the lists of
// codes that the definitions, the descriptions and the data sets all draw from.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/dataserver/generator.h"

namespace kyx::dataserver::detail {

// n written with at least `width` digits, leading zeros (Format(n, "000...")).
inline std::string Digits(int64_t n, int width) {
  char text[32];
  std::snprintf(text, sizeof text, "%0*lld", width, static_cast<long long>(n));
  return text;
}

// splitmix64: small, fast and the same on every platform (the standard distributions are not).
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n-1 (n >= 1).
  int64_t Below(int64_t n) { return n <= 1 ? 0 : static_cast<int64_t>(Next() % static_cast<uint64_t>(n)); }
  template <class T>
  const T& Pick(const std::vector<T>& items) { return items[static_cast<std::size_t>(Below(items.size()))]; }

 private:
  uint64_t state_;
};

struct Customer {
  std::string code;      // C00001
  std::string name;
  std::string city;
  std::string province;
  std::string category;  // GD, DE, IN
  int zone = 0;          // index into Codes::zones
  int agent = 0;         // index into Codes::agents
  bool deleted = false;
};

struct Product {
  std::string code;  // line (2) + 6 digits
  std::string name;
  int line = 0;      // index into Codes::lines
};

struct Codes {
  std::vector<std::string> zones, zone_names;
  std::vector<std::string> agents, agent_names;
  std::vector<std::string> lines, line_names;
  std::vector<Customer> customers;
  std::vector<Product> products;
};

Codes MakeCodes(const GeneratorOptions& options, Random& random);

// "yyyymmddhhnnss" of a day number (days since 1970-01-01) and the minutes into it.
std::string Timestamp(int64_t days, int minutes);
int64_t DaysFromCivil(int y, unsigned m, unsigned d);
void CivilFromDays(int64_t z, int* y, unsigned* m, unsigned* d);

Status WriteDefinitions(Store& store, const GeneratorOptions& options);
Status WriteDescriptions(Store& store, const Codes& codes, Random& random);
Status WriteSalesData(Store& store, const Codes& codes, const GeneratorOptions& options, Random& random);

}  // namespace kyx::dataserver::detail
