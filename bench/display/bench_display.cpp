// The display recordset as an elaboration leaves it: a result shaped like DATI (row key, a code, a
// description, three amounts) of ROWS rows (default 1,000,000), filled once, then each step run
// RUNS times (default 7) and printed as the median with the fastest and slowest run:
//   walk           every row from first to last, one amount read per row
//   page           50 random pages of 40 rows: position, then read six fields of each row
//   sort number    "c003 DESC"
//   sort text      "c001 ASC" (codes of 5,000 values); "cold" after a change of the column, so that
//                  its collation ranks are built again, "warm" with the ranks kept
//   sort keys      "c003 DESC, c000 ASC" (cold)
//   filter         "c004 > 500"; "c001 = 'a17' OR c001 LIKE 'A49*'" (texts, case-blind)
//   delete         1,000 rows from the middle, each followed by MoveNext
//   save           the whole recordset to a TableGram file
// Also the peak memory of the process after the fill. Built with the project so that it keeps
// compiling; run on demand (never in CI): bench_display [ROWS [RUNS]].
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

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

double PiccoMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// Runs `passo` `volte` times (each after `prima`, untimed) and prints median, min and max in ms.
void Misura(const char* nome, int volte, const std::function<void()>& prima, const std::function<std::string()>& passo) {
  std::vector<double> ms;
  std::string nota;
  for (int i = 0; i < volte; ++i) {
    if (prima) prima();
    const double t = kyx::bench::Now();
    nota = passo();
    ms.push_back(1000.0 * (kyx::bench::Now() - t));
  }
  std::sort(ms.begin(), ms.end());
  std::printf("%-22s median %9.2f ms   min %9.2f   max %9.2f   %s\n", nome, ms[ms.size() / 2], ms.front(), ms.back(),
              nota.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const int64_t righe = argc > 1 ? std::atoll(argv[1]) : 1000000;
  const int volte = std::max(5, argc > 2 ? std::atoi(argv[2]) : 7);
  const double memoria_iniziale = PiccoMb();
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
    (void)rs.SetText(1, ((x & 1) ? "A" : "a") + std::to_string(x % 5000));
    (void)rs.SetText(2, "Descrizione del cliente");
    (void)rs.Set(3, Value(static_cast<double>(x % 100000) / 100.0));
    (void)rs.Set(4, Value(static_cast<double>((x >> 20) % 1000)));
    (void)rs.Set(5, Value(static_cast<double>((x >> 40) % 77)));
    Controlla(rs.Update(), "Update");
  }
  std::printf("fill %s rows in %.3f s; peak memory %.0f MB (%.0f MB before the fill)\n",
              kyx::bench::Grouped(righe).c_str(), kyx::bench::Now() - t, PiccoMb(), memoria_iniziale);
  std::printf("each step %d times: median, fastest, slowest\n", volte);

  Misura("walk", volte, nullptr, [&] {
    double somma = 0;
    for (Controlla(rs.MoveFirst(), "MoveFirst"); !rs.AfterLast(); (void)rs.MoveNext()) somma += rs.Field(3).AsDouble();
    return "sum " + std::to_string(somma);
  });
  uint64_t y = 12345;
  Misura("page (50 x 40 rows)", volte, nullptr, [&] {
    size_t letti = 0;
    for (int p = 0; p < 50; ++p) {
      y ^= y << 13, y ^= y >> 7, y ^= y << 17;
      Controlla(rs.SetAbsolutePosition(1 + static_cast<int64_t>(y % static_cast<uint64_t>(rs.RecordCount()))), "position");
      for (int r = 0; r < 40 && !rs.AfterLast(); ++r, (void)rs.MoveNext())
        for (int c = 0; c < 6; ++c) letti += rs.Field(c).kind() == Value::Kind::Text ? rs.Field(c).text().size() : 8;
    }
    return std::to_string(letti) + " bytes read";
  });

  // A change of one cell of a column drops its sort keys: the next sort builds them again.
  const auto cambia = [&](int campo) {
    return [&rs, campo] {
      Controlla(rs.SetSort(""), "Sort");
      Controlla(rs.MoveFirst(), "MoveFirst");
      const Value v = rs.Field(campo);
      // A text gains or loses one trailing blank (the field's size stays respected).
      std::string t = v.text();
      if (!t.empty() && t.back() == ' ') t.pop_back();
      else t += ' ';
      Controlla(rs.Set(campo, v.kind() == Value::Kind::Text ? Value(t) : Value(v.AsDouble() + 1)), "Set");
      Controlla(rs.Update(), "Update");
    };
  };
  Misura("sort number (cold)", volte, cambia(3), [&] {
    Controlla(rs.SetSort("c003 DESC"), "Sort");
    return std::string("c003 DESC");
  });
  Misura("sort text (cold)", volte, cambia(1), [&] {
    Controlla(rs.SetSort("c001 ASC"), "Sort");
    return std::string("c001 ASC");
  });
  Misura("sort text (warm)", volte, [&] { Controlla(rs.SetSort(""), "Sort"); }, [&] {
    Controlla(rs.SetSort("c001 ASC"), "Sort");
    return std::string("c001 ASC");
  });
  Misura("sort keys (cold)", volte, [&] { cambia(0)(), cambia(3)(); }, [&] {
    Controlla(rs.SetSort("c003 DESC, c000 ASC"), "Sort");
    return std::string("c003 DESC, c000 ASC");
  });
  Misura("filter number", volte, nullptr, [&] {
    Controlla(rs.SetFilter("c004 > 500"), "Filter");
    return kyx::bench::Grouped(rs.RecordCount()) + " rows";
  });
  Misura("filter text", volte, nullptr, [&] {
    Controlla(rs.SetFilter("c001 = 'a17' OR c001 LIKE 'A49*'"), "Filter");
    return kyx::bench::Grouped(rs.RecordCount()) + " rows";
  });
  Controlla(rs.SetFilter(""), "Filter");

  Misura("delete 1,000 rows", volte, nullptr, [&] {
    Controlla(rs.SetAbsolutePosition(rs.RecordCount() / 2), "position");
    for (int i = 0; i < 1000 && !rs.AfterLast(); ++i) {
      Controlla(rs.Delete(), "Delete");
      (void)rs.MoveNext();
    }
    return kyx::bench::Grouped(rs.RecordCount()) + " left";
  });

  kyx::bench::Scratch cartella(false);
  const std::string file = cartella.file("risultato.dat");
  Misura("save", volte, nullptr, [&] {
    Controlla(rs.Save(file), "Save");
    return kyx::bench::Grouped(rs.RecordCount()) + " rows";
  });
  std::printf("peak memory at the end %.0f MB\n", PiccoMb());
  return 0;
}
