// The widest structure the download can meet: every file of the definitions as full as its
// records allow (64 systems sharing all their 128 keys, 256 layouts of 128 elements), and as many
// descriptions as asked for. For the download benchmark.
#include <cstdio>

#include "tools/dataserver/generator.h"
#include "tools/dataserver/generator_detail.h"

namespace kyx::dataserver {

namespace {

using detail::Digits;

std::string SystemCode(int s) { return "SIS" + Digits(s, 2); }
std::string SystemLibrary(int s) { return "LIB" + Digits(s, 2); }

Status WriteSystem(Store& store, const WorstCaseOptions& o, int s, detail::Random& random) {
  const std::string code = SystemCode(s);
  Status st = Status::Ok();
  // Every system lists every other one, sharing all its keys.
  for (int other = 1; other <= o.systems && st; ++other) {
    for (int k = 1; k <= o.keys && st; ++k) st = store.AddKeyMap(code, KeyMapEntry{SystemCode(other), k, k});
  }
  for (int k = 1; k <= o.keys && st; ++k) {
    KeyDef d;
    d.idx = k;
    d.length = 1 + static_cast<int>(random.Below(30));
    d.title = "Chiave " + Digits(k, 3) + " di " + code;
    d.totals = {"S", "S", "N", "N"};
    for (int t = 0; t < 12; ++t) d.titles[t] = "Titolo " + Digits(t + 1, 2) + " chiave " + Digits(k, 3);
    d.areas = {"A" + Digits(1 + k % 32, 2), "A" + Digits(1 + (k + 1) % 32, 2), "", "", ""};
    d.order = Digits(k * 10, 5);
    d.description_key = k;
    d.visible = "S";
    d.kind = k % 4 == 0 ? "A" : k % 4 == 1 ? "K" : k % 4 == 2 ? "D" : "I";
    d.attribute = "1";
    d.format = k % 2 ? "#,##0" : "";
    st = store.AddKey(code, d);
  }
  for (int v = 1; v <= o.values && st; ++v) st = store.AddValue(code, ValueDef{v, 1 + v % 3});
  for (int a = 1; a <= o.areas && st; ++a) {
    st = store.AddArea(code, AreaDef{a, "A" + Digits(a, 2), "Area " + Digits(a, 2) + " di " + code, Digits(a, 5)});
  }
  return st;
}

Status WriteLayouts(Store& store, const WorstCaseOptions& o, detail::Random& random) {
  const std::string code = SystemCode(1);
  Status st = Status::Ok();
  for (int l = 1; l <= o.layouts && st; ++l) {
    LayoutDef d;
    d.idx = l;
    d.dim_f = 8;
    d.col_b = 2;
    d.description = "Prospetto " + Digits(l, 3);
    d.font = "Arial";
    d.order = Digits(l, 5);
    d.col_ot = "A";
    d.xls_std = " ";
    d.modest = " ";
    for (int p = 0; p < 9; ++p) {
      d.parameters[p] = "Parametro " + Digits(p + 1, 1);
      d.parameter_keys[p] = 1 + p;
    }
    st = store.AddLayout(code, d);
    for (int e = 1; e <= o.elements && st; ++e) {
      ElementDef x;
      x.idx = e;
      x.row = 1 + (e - 1) / 64;
      x.column = 1 + (e - 1) % 64;
      x.print_width = 1200;
      x.visible = "V";
      x.total = "T";
      x.heading = "Colonna " + Digits(e, 3) + " del prospetto " + Digits(l, 3);
      x.format = "###,###,##0.00";
      x.calc = e % 3 == 0 ? "c" + std::to_string(e - 1) + "/c" + std::to_string(e - 2) + "*100" : "#+V001#";
      x.sn_int = " ";
      x.sn_tot = " ";
      for (int f = 1; f <= o.filters_per_element; ++f) {
        x.filters.push_back(ElementFilter{f, 1 + static_cast<int>(random.Below(o.keys)), " ", "=",
                                          "V" + Digits(random.Below(100000), 5) + ",V" + Digits(random.Below(100000), 5),
                                          "E"});
      }
      st = store.AddElement(code, l, x);
    }
    for (int r = 1; r <= o.drills_per_layout && st; ++r) {
      DrillDef d;
      d.key = 1 + r;
      d.index = r;
      d.layout = 1 + l % o.layouts;
      d.key_values[0] = 1 + r;
      d.description = "Dettaglio " + Digits(r, 2);
      d.cancelled = " ";
      st = store.AddDrill(code, l, r, d);
    }
  }
  return st;
}

Status WriteUser(Store& store, const WorstCaseOptions& o) {
  const std::string code = SystemCode(1);
  Status st = store.AddUser(UserDef{sample::kUser, sample::kPassword, 1});
  for (int f = 1; f <= o.user_filters && st; ++f) {
    st = store.AddUserFilter(code, sample::kUser, f, UserFilterDef{1 + f % o.keys, "=", "V" + Digits(f, 5), " "});
  }
  for (int s = 1; s <= o.user_structures && st; ++s) {
    st = store.AddUserStructure(code, sample::kUser, UserStructureDef{1 + s % 32, 1 + s % o.keys, {1, 2, 3, 200}});
  }
  return st;
}

Status WriteManyDescriptions(Store& store, const WorstCaseOptions& o, detail::Random& random) {
  const std::string code = SystemCode(1);
  const int64_t first_day = detail::DaysFromCivil(2024, 1, 1);
  Status st = Status::Ok();
  for (int64_t i = 0; i < o.descriptions && st; ++i) {
    if (i % 100000 == 0) st = store.Begin();
    // Distinct codes in scattered order, spread over every key.
    const int64_t n = (i * 2654435761LL) % 1000000000LL;
    DescriptionRow d;
    d.system = code;
    d.key = 1 + static_cast<int>(i % o.keys);
    d.code = "ART-" + Digits(n, 9);
    d.progressive = 1;
    d.status = " ";
    d.text = "Articolo " + std::to_string(n % 100000) + " colore " + std::to_string(i % 17) + " taglia " +
             std::to_string(i % 9);
    d.time = detail::Timestamp(first_day + random.Below(181), static_cast<int>(random.Below(24 * 60)));
    st = st ? store.PutDescription(d) : st;
    if (st && (i % 100000 == 99999 || i + 1 == o.descriptions)) st = store.Commit();
  }
  return st;
}

}  // namespace

Status GenerateWorstCase(const std::string& path, const WorstCaseOptions& options) {
  Store store;
  Status s = store.Create(path);
  if (!s) return s;
  detail::Random random(options.seed);
  s = store.Begin();
  for (int i = 1; i <= options.systems && s; ++i) {
    s = store.AddSystem(SystemDef{i, SystemCode(i), SystemLibrary(i), "KYXDB" + Digits(i, 2), " "});
  }
  for (int i = 1; i <= options.systems && s; ++i) s = WriteSystem(store, options, i, random);
  s = s ? WriteLayouts(store, options, random) : s;
  s = s ? WriteUser(store, options) : s;
  s = s ? store.Commit() : s;
  return s ? WriteManyDescriptions(store, options, random) : s;
}

}  // namespace kyx::dataserver
