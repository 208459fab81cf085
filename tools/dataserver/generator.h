#pragma once
// The sample information systems: sales statistics ("VENDITE": periods, zones, agents,
// customers, products; quantities, amounts and costs) and the orders that feed them ("ORDINI"),
// which share part of the key map with the sales system. Written into a new server database,
// deterministically from a seed: the same seed and size give the same file, byte for byte.
#include <cstdint>
#include <string>

#include "tools/dataserver/store.h"

namespace kyx::dataserver {

// Names the tests and the demo rely on.
namespace sample {
inline constexpr char kSales[] = "VENDITE";
inline constexpr char kSalesLibrary[] = "LIBVEN";
inline constexpr char kOrders[] = "ORDINI";
inline constexpr char kOrdersLibrary[] = "LIBORD";
// The first user has a password and filters on both systems; the second a blank password.
inline constexpr char kUser[] = "ROSSI";
inline constexpr char kPassword[] = "ALFA";
inline constexpr char kSecondUser[] = "BIANCHI";
// Every description of the sample changed at or before this time.
inline constexpr char kLastChange[] = "20240630235959";
}  // namespace sample

enum class SampleSize { kSmall, kMedium, kLarge };

struct GeneratorOptions {
  uint64_t seed = 1;
  int zones = 6;
  int agents = 5;
  int customers = 40;
  int products = 30;
  int64_t sales_rows = 500;   // rows of the sales data set; the orders get a quarter of it
  // Rows of the data set that the elaboration queries read ("LIBVEN/KYX_D0_00F", data_sets.h);
  // the orders get a quarter of it.
  int64_t data_set_rows = 500;
};

// The preset of a size: small for tests, medium for the demo, large for benchmarks.
GeneratorOptions SizeOptions(SampleSize size, uint64_t seed);
bool ParseSize(const std::string& text, SampleSize* size);

// Writes the sample into a new server database at `path` (an existing file is replaced).
Status GenerateSample(const std::string& path, const GeneratorOptions& options);

// The widest structure the files of the definitions can carry, for the download benchmark: every
// system ("SIS01".., library "LIB01"..) lists every other one sharing all its keys; the first has
// the layouts, the user filters and structures of the sample's first user (kUser, kPassword),
// and the descriptions, each a code of its own with progressive 1.
struct WorstCaseOptions {
  uint64_t seed = 1;
  int systems = 64;            // the systems list holds 64
  int keys = 128;              // a keys file holds 128
  int values = 256;            // a values file holds 256
  int areas = 32;              // the areas file holds 32
  int layouts = 256;           // the layout list holds 256
  int elements = 128;          // an elements file holds 128
  int filters_per_element = 2; // of the 25 an element can carry
  int drills_per_layout = 4;
  int user_filters = 127;      // the user filter file holds 128, the last an end mark
  int user_structures = 160;   // the user structure file holds 161, the first the release mark
  int64_t descriptions = 1000000;
};
inline constexpr char kWorstCaseSystem[] = "SIS01";
Status GenerateWorstCase(const std::string& path, const WorstCaseOptions& options);

}  // namespace kyx::dataserver
