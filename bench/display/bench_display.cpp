// The display recordset as an elaboration leaves it: a result shaped like DATI (row key, a code, a
// description, three amounts) of ROWS rows (default 1,000,000), filled, walked end to end, sorted
// by an amount, filtered, and 1,000 rows deleted. Prints the time of each step.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/bench_common.h"
#include "platform/data/static_recordset.h"

namespace {

using kyx::data::StaticRecordset;
using kyx::data::Value;

void Controlla(const kyx::data::Status& s, const char* cosa) {
  if (s.ok()) return;
  std::fprintf(stderr, "%s: %s\n", cosa, s.ToString().c_str());
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t righe = argc > 1 ? std::atoll(argv[1]) : 1000000;
  StaticRecordset rs;
  rs.AppendField(kyx::data::TextField("c000", 12));
  rs.AppendField(kyx::data::TextField("c001", 10));
  rs.AppendField(kyx::data::TextField("c002", 40));
  for (const char* n : {"c003", "c004", "c005"}) rs.AppendField(kyx::data::DoubleField(n));
  Controlla(rs.OpenFabricated(), "open");

  double t = kyx::bench::Now();
  uint64_t x = 88172645463325252ull;
  char chiave[16];
  for (int64_t i = 0; i < righe; ++i) {
    x ^= x << 13, x ^= x >> 7, x ^= x << 17;
    Controlla(rs.AddNew(), "AddNew");
    std::snprintf(chiave, sizeof chiave, "%06lld2", static_cast<long long>(i % 999999 + 1));
    (void)rs.SetText(0, chiave);
    (void)rs.SetText(1, "A" + std::to_string(x % 5000));
    (void)rs.SetText(2, "Descrizione del cliente");
    (void)rs.Set(3, Value(static_cast<double>(x % 100000) / 100.0));
    (void)rs.Set(4, Value(static_cast<double>((x >> 20) % 1000)));
    (void)rs.Set(5, Value(static_cast<double>((x >> 40) % 77)));
    Controlla(rs.Update(), "Update");
  }
  std::printf("fill    %s rows  %.3f s\n", kyx::bench::Grouped(righe).c_str(), kyx::bench::Now() - t);

  t = kyx::bench::Now();
  double somma = 0;
  for (Controlla(rs.MoveFirst(), "MoveFirst"); !rs.AfterLast(); (void)rs.MoveNext()) somma += rs.Field(3).AsDouble();
  std::printf("walk    %.3f s  (sum %.2f)\n", kyx::bench::Now() - t, somma);

  t = kyx::bench::Now();
  Controlla(rs.SetSort("c003 DESC"), "Sort");
  std::printf("sort    %.3f s\n", kyx::bench::Now() - t);

  t = kyx::bench::Now();
  Controlla(rs.SetFilter("c004 > 500"), "Filter");
  std::printf("filter  %.3f s  (%s rows)\n", kyx::bench::Now() - t, kyx::bench::Grouped(rs.RecordCount()).c_str());

  Controlla(rs.SetFilter(""), "Filter");
  t = kyx::bench::Now();
  Controlla(rs.SetAbsolutePosition(rs.RecordCount() / 2), "position");
  for (int i = 0; i < 1000 && !rs.AfterLast(); ++i) {
    Controlla(rs.Delete(), "Delete");
    (void)rs.MoveNext();
  }
  std::printf("delete  1,000 rows  %.3f s  (%s left)\n", kyx::bench::Now() - t,
              kyx::bench::Grouped(rs.RecordCount()).c_str());
  return 0;
}
