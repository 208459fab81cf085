#include "tools/dataserver/generator.h"

#include "tools/dataserver/data_sets.h"
#include "tools/dataserver/generator_detail.h"

namespace kyx::dataserver {

namespace detail {

namespace {

struct KeyRow {
  int idx;
  const char* title;
  int length;
  const char* kind;
  const char* attribute;
  const char* format;
  int description_key;
  const char* area1;
  const char* area2;
};

// The sales system: periods of several kinds, the commercial chain and the product tree.
const KeyRow kSalesKeys[] = {
    {1, "Anno", 4, "K", "3", "0000", 0, "TEM", ""},
    {2, "Mese", 6, "D", "B", "", 0, "TEM", ""},
    {3, "Data documento", 8, "D", "A", "dd/mm/yyyy", 0, "TEM", ""},
    {4, "Trimestre", 5, "D", "I", "", 0, "TEM", ""},
    {5, "Settimana", 6, "D", "C", "", 0, "TEM", ""},
    {6, "Semestre", 5, "D", "K", "", 0, "TEM", ""},
    {7, "Zona", 3, "K", "1", "", 7, "ANA", "COM"},
    {8, "Agente", 4, "K", "1", "", 8, "COM", ""},
    {9, "Cliente", 6, "K", "1", "#MID(2,5)#", 9, "ANA", "COM"},
    {10, "Prodotto", 8, "K", "1", "#MID(3,6)#", 10, "PRO", ""},
    {11, "Linea prodotto", 2, "A", "1", "", 11, "PRO", ""},
    {12, "Categoria cliente", 2, "A", "2", "", 0, "ANA", ""},
    {13, "Numero documento", 3, "I", "3", "#,##0", 0, "COM", ""},
    {14, "Quindicina", 6, "D", "D", "", 0, "TEM", ""},
};

// The orders system: its own numbering, sharing customers, products, agents and periods.
const KeyRow kOrderKeys[] = {
    {1, "Anno", 4, "K", "3", "0000", 0, "TEM", ""},
    {2, "Mese", 6, "D", "B", "", 0, "TEM", ""},
    {3, "Cliente", 6, "K", "1", "#MID(2,5)#", 3, "ORD", ""},
    {4, "Prodotto", 8, "K", "1", "#MID(3,6)#", 4, "ORD", ""},
    {5, "Agente", 4, "K", "1", "", 5, "ORD", ""},
    {6, "Data ordine", 8, "D", "A", "", 0, "TEM", ""},
    {7, "Numero ordine", 2, "I", "3", "", 0, "ORD", ""},
    {8, "Stato ordine", 1, "A", "2", "", 0, "ORD", ""},
    {9, "Trimestre", 5, "D", "I", "", 0, "TEM", ""},
};

// Sales key -> orders key, for the keys both systems know.
const std::pair<int, int> kSharedKeys[] = {{1, 1}, {2, 2}, {9, 3}, {10, 4}, {8, 5}, {3, 6}, {4, 9}};

char Sub(int n) { return static_cast<char>('0' + n); }

std::string Order(int n) {
  std::string s = std::to_string(n * 10);
  return std::string(5 - std::min<std::size_t>(5, s.size()), '0') + s;
}

Status AddKeys(Store& store, const std::string& system, const KeyRow* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const KeyRow& s = rows[i];
    KeyDef k;
    k.idx = s.idx;
    k.length = s.length;
    k.title = s.title;
    k.totals = {"S", "S", " ", " "};
    k.titles[0] = s.title;
    k.titles[1] = std::string("Descrizione ") + s.title;
    for (int t = 2; t < 12; ++t) k.titles[t] = std::string("Campo ") + Sub(t / 10) + Sub(t % 10);
    k.areas = {s.area1, s.area2, "", "", ""};
    k.order = Order(s.idx);
    k.description_key = s.description_key;
    // "V": the key is offered in the key and filter tree, the codes list, the filter panel and
    // the date picker, which list visible keys only.
    k.visible = "V";
    k.kind = s.kind;
    k.attribute = s.attribute;
    k.format = s.format;
    Status st = store.AddKey(system, k);
    if (!st) return st;
  }
  return Status::Ok();
}

Status AddAreas(Store& store, const std::string& system, const std::vector<std::pair<const char*, const char*>>& areas) {
  int idx = 0;
  for (const auto& [code, description] : areas) {
    ++idx;
    Status st = store.AddArea(system, AreaDef{idx, code, description, Order(idx)});
    if (!st) return st;
  }
  return Status::Ok();
}

ElementDef Element(int idx, int row, int column, const char* calc, const char* heading, const char* format = "",
                   const char* total = " ") {
  ElementDef e;
  e.idx = idx;
  e.row = row;
  e.column = column;
  e.print_width = 1200;
  e.visible = "V";
  e.total = total;
  e.heading = heading;
  e.format = format;
  e.calc = calc;
  e.sn_int = " ";
  e.sn_tot = " ";
  return e;
}

LayoutDef Layout(int idx, const char* description) {
  LayoutDef l;
  l.idx = idx;
  l.dim_f = 8;
  l.col_b = 2;
  l.description = description;
  l.font = "Arial";
  l.order = Order(idx);
  l.col_ot = "A";
  l.xls_std = " ";
  l.modest = " ";
  return l;
}

DrillDef Drill(int key, int index, int layout, int level_key, const char* description) {
  DrillDef d;
  d.key = key;
  d.index = index;
  d.layout = layout;
  d.key_values[0] = level_key;
  d.description = description;
  d.cancelled = " ";
  return d;
}

// Layout l of system sys and its elements, when s is still ok; the first failure is kept.
Status AddLayoutWith(Store& store, const std::string& sys, const LayoutDef& l, const std::vector<ElementDef>& elements,
                     Status s) {
  s = s ? store.AddLayout(sys, l) : s;
  for (const auto& e : elements) s = s ? store.AddElement(sys, l.idx, e) : s;
  return s;
}

Status AddSalesLayouts(Store& store) {
  const std::string sys = sample::kSales;
  // 1: two "L" row levels with subtotals, value columns with totals, a share formula, a second
  //    element row adding the costs, a filtered column; drill rows to layouts 4 and 3.
  LayoutDef l1 = Layout(1, "Vendite per zona e agente");
  l1.parameters[0] = "Anno di riferimento";
  l1.parameter_keys[0] = 1;
  std::vector<ElementDef> e1 = {
      Element(1, 1, 1, "#L1(007)", "Zona"),
      Element(2, 1, 2, "#L1<01>", "Descrizione zona"),
      Element(3, 1, 3, "#L2(008)", "Agente"),
      Element(4, 1, 4, "#L2<01>", "Nome agente"),
      Element(5, 1, 5, "#+V001#", "Quantit\xE0", "###,###,##0", "T"),
      Element(6, 1, 6, "#+V002#", "Importo", "###,###,##0.00", "T"),
      Element(7, 1, 7, "c6/t6*100", "% sul totale", "##0.00", "T"),
      Element(8, 2, 6, "#+V003#", "Costo"),
      Element(9, 1, 8, "#+V002#", "Importo grande distribuzione", "###,###,##0.00", "T"),
  };
  e1[0].sn_tot = "S";
  e1[2].sn_tot = "S";
  e1[8].filters = {ElementFilter{1, 12, " ", "=", "GD", " "}, ElementFilter{2, 1, " ", "R", "2023;2024", "E"}};
  Status s = AddLayoutWith(store, sys, l1, e1, Status::Ok());
  s = s ? store.AddDrill(sys, 1, 1, Drill(7, 1, 4, 9, "Clienti della zona")) : s;
  s = s ? store.AddDrill(sys, 1, 2, Drill(8, 1, 3, 10, "Prodotti dell'agente")) : s;

  // 2: a level chosen in the dialog, a cross-tab of amounts by month, a count of products.
  LayoutDef l2 = Layout(2, "Vendite per cliente e mese");
  l2.parameters[0] = "Mese iniziale";
  l2.parameter_keys[0] = 2;
  l2.parameters[1] = "Mese finale";
  l2.parameter_keys[1] = 2;
  const std::vector<ElementDef> e2 = {
      Element(1, 1, 1, "#L1(?\?\?)", "Livello"),
      Element(2, 1, 2, "#L1<01>", "Descrizione"),
      // One column per month, each titled with its month.
      Element(3, 1, 3, "#C1(002)#+V002#", "Importo #C1C", "###,###,##0"),
      Element(4, 1, 4, "#NR(010)", "Prodotti", "#,##0"),
  };
  s = AddLayoutWith(store, sys, l2, e2, s);

  // 3: an "R" outline of product lines and products with a margin formula.
  std::vector<ElementDef> e3 = {
      Element(1, 1, 1, "#R1(011)", "Linea"),
      Element(2, 1, 2, "#R2(010)", "Prodotto"),
      Element(3, 1, 3, "#R1<01>", "Descrizione"),
      Element(4, 1, 4, "#+V002#", "Importo", "###,###,##0.00", "T"),
      Element(5, 1, 5, "#+V003#", "Costo", "###,###,##0.00", "T"),
      Element(6, 1, 6, "(c4-c5)/c4*100", "Margine %", "##0.0", "T"),
  };
  e3[0].sn_int = "S";
  e3[0].sn_tot = "S";
  s = AddLayoutWith(store, sys, Layout(3, "Prodotti per linea"), e3, s);

  // 4: the target of the drill: its level comes from the drill row.
  const std::vector<ElementDef> e4 = {
      Element(1, 1, 1, "#L1(!!!)", "Cliente"),
      Element(2, 1, 2, "#L1<01>", "Ragione sociale"),
      Element(3, 1, 3, "#+V002#", "Importo", "###,###,##0.00", "T"),
      Element(4, 1, 4, "#@Note#", "Note"),
  };
  s = AddLayoutWith(store, sys, Layout(4, "Clienti (da drill)"), e4, s);

  // 5: one row level, so that its result can be shown as a chart.
  const std::vector<ElementDef> e5 = {
      Element(1, 1, 1, "#L1(007)", "Zona"),
      Element(2, 1, 2, "#L1<01>", "Descrizione zona"),
      Element(3, 1, 3, "#+V001#", "Quantit\xE0", "###,###,##0", "T"),
      Element(4, 1, 4, "#+V002#", "Importo", "###,###,##0.00", "T"),
  };
  s = AddLayoutWith(store, sys, Layout(5, "Vendite per zona"), e5, s);

  // 6: its workbook export takes the look of the grid (XLSSTD "S").
  LayoutDef l6 = Layout(6, "Vendite per agente (Excel)");
  l6.xls_std = "S";
  const std::vector<ElementDef> e6 = {
      Element(1, 1, 1, "#L1(008)", "Agente"),
      Element(2, 1, 2, "#L1<01>", "Nome agente"),
      Element(3, 1, 3, "#+V001#", "Quantit\xE0", "###,###,##0", "T"),
      Element(4, 1, 4, "#+V002#", "Importo", "###,###,##0.00", "T"),
      Element(5, 1, 5, "#+V003#", "Costo", "###,###,##0.00", "T"),
  };
  s = AddLayoutWith(store, sys, l6, e6, s);

  // 7: an "R" outline of zones and their agents, both keys with descriptions.
  std::vector<ElementDef> e7 = {
      Element(1, 1, 1, "#R1(007)", "Zona"),
      Element(2, 1, 2, "#R2(008)", "Agente"),
      Element(3, 1, 3, "#R1<01>", "Descrizione"),
      Element(4, 1, 4, "#+V002#", "Importo", "###,###,##0.00", "T"),
  };
  e7[0].sn_int = "S";
  e7[0].sn_tot = "S";
  s = AddLayoutWith(store, sys, Layout(7, "Zone e agenti"), e7, s);

  // 8: quarters across, one column each, titled with the quarter.
  const std::vector<ElementDef> e8 = {
      Element(1, 1, 1, "#L1(007)", "Zona"),
      Element(2, 1, 2, "#L1<01>", "Descrizione zona"),
      Element(3, 1, 3, "#C1(004)#+V002#", "Importo #C1C", "###,###,##0"),
  };
  s = AddLayoutWith(store, sys, Layout(8, "Vendite per zona e trimestre"), e8, s);

  // 9: customers by category.
  const std::vector<ElementDef> e9 = {
      Element(1, 1, 1, "#L1(012)", "Categoria"),
      Element(2, 1, 2, "#L2(009)", "Cliente"),
      Element(3, 1, 3, "#L2<01>", "Ragione sociale"),
      Element(4, 1, 4, "#+V002#", "Importo", "###,###,##0.00", "T"),
  };
  s = AddLayoutWith(store, sys, Layout(9, "Vendite per categoria cliente"), e9, s);
  return s;
}

Status AddOrderLayouts(Store& store) {
  const std::string sys = sample::kOrders;
  std::vector<ElementDef> e = {
      Element(1, 1, 1, "#L1(003)", "Cliente"),
      Element(2, 1, 2, "#L1<01>", "Ragione sociale"),
      Element(3, 1, 3, "#+V001#", "Quantit\xE0 ordinata", "###,###,##0", "T"),
      Element(4, 1, 4, "#+V002#", "Importo ordinato", "###,###,##0.00", "T"),
      Element(5, 1, 5, "#+V002#", "Fatturato", "###,###,##0.00", "T"),
  };
  e[4].system = sample::kSales;  // a column read from the sales system through the key map
  return AddLayoutWith(store, sys, Layout(1, "Ordini per cliente"), e, Status::Ok());
}

Status AddUsers(Store& store) {
  Status s = store.AddUser(UserDef{sample::kUser, sample::kPassword, 1});
  s = s ? store.AddUser(UserDef{sample::kSecondUser, "", 2}) : s;
  const std::string sales = sample::kSales, orders = sample::kOrders;
  // Wire operators: "=", "N", "R" as they stand, "i"/"r"/"n" the unblocked ones, "A"/"B"/"C" the
  // dialog's ones.
  const UserFilterDef rossi_sales[] = {
      {1, "=", "2024", " "}, {7, "i", "NOR;CEN", " "}, {9, "R", "C00001;C00050", " "}, {10, "B", "*", " "}};
  int pos = 0;
  for (const auto& f : rossi_sales) s = s ? store.AddUserFilter(sales, sample::kUser, ++pos, f) : s;
  // Every other key gets its marker row ("=", "*"): the filter panel lists a key without filter
  // only when it has one.
  for (int key : {2, 3, 4, 5, 6, 8, 10, 11, 12, 13, 14}) {
    s = s ? store.AddUserFilter(sales, sample::kUser, ++pos, UserFilterDef{key, "=", "*", " "}) : s;
  }
  s = s ? store.AddUserFilter(orders, sample::kUser, 1, UserFilterDef{8, "N", "X", " "}) : s;
  pos = 1;
  for (int key : {1, 2, 3, 4, 5, 6, 7, 9}) {
    s = s ? store.AddUserFilter(orders, sample::kUser, ++pos, UserFilterDef{key, "=", "*", " "}) : s;
  }
  s = s ? store.AddUserFilter(sales, sample::kSecondUser, 1, UserFilterDef{7, "=", "SUD", " "}) : s;

  // The layouts added for the chart, the workbook look and the outline sit under "Anagrafiche", so
  // that "Rete commerciale" keeps "Agente" as its first key.
  const UserStructureDef rossi_structure[] = {{1, 1, {1, 2, 3, 4}}, {1, 2, {2}},      {2, 7, {1, 4, 5, 7, 8}},
                                              {2, 9, {2, 4}},       {3, 8, {1}},       {4, 10, {3}},
                                              {4, 11, {3}},         {3, 13, {2, 8, 9}}, {2, 8, {6}},
                                              {2, 12, {9}}};
  for (const auto& st : rossi_structure) s = s ? store.AddUserStructure(sales, sample::kUser, st) : s;
  s = s ? store.AddUserStructure(orders, sample::kUser, UserStructureDef{2, 3, {1}}) : s;
  s = s ? store.AddUserStructure(sales, sample::kSecondUser, UserStructureDef{2, 7, {1}}) : s;
  return s;
}

}  // namespace

Status WriteDefinitions(Store& store, const GeneratorOptions&) {
  const std::string sales = sample::kSales, orders = sample::kOrders;
  Status s = store.AddSystem(SystemDef{1, sales, sample::kSalesLibrary, "KYXVEN", ";"});
  s = s ? store.AddSystem(SystemDef{2, orders, sample::kOrdersLibrary, "KYXORD", " "}) : s;
  // Each system lists itself with the identity map and the other one through the shared keys.
  for (const auto& k : kSalesKeys) s = s ? store.AddKeyMap(sales, KeyMapEntry{sales, k.idx, k.idx}) : s;
  for (const auto& k : kOrderKeys) s = s ? store.AddKeyMap(orders, KeyMapEntry{orders, k.idx, k.idx}) : s;
  for (const auto& [v, o] : kSharedKeys) {
    s = s ? store.AddKeyMap(sales, KeyMapEntry{orders, v, o}) : s;
    s = s ? store.AddKeyMap(orders, KeyMapEntry{sales, o, v}) : s;
  }
  s = s ? AddKeys(store, sales, kSalesKeys, std::size(kSalesKeys)) : s;
  s = s ? AddKeys(store, orders, kOrderKeys, std::size(kOrderKeys)) : s;
  // Values: quantity, amount, cost. The key of kind "I" numbers the data-set slots of its system
  // by its length (3 for the sales, 2 for the orders), and every value has one column per slot.
  s = s ? store.AddValue(sales, ValueDef{1, 3}) : s;
  s = s ? store.AddValue(sales, ValueDef{2, 3}) : s;
  s = s ? store.AddValue(sales, ValueDef{3, 3}) : s;
  s = s ? store.AddValue(orders, ValueDef{1, 2}) : s;
  s = s ? store.AddValue(orders, ValueDef{2, 2}) : s;
  s = s ? AddAreas(store, sales,
                   {{"TEM", "Tempo"}, {"ANA", "Anagrafiche"}, {"COM", "Rete commerciale"}, {"PRO", "Prodotti"}})
        : s;
  s = s ? AddAreas(store, orders, {{"TEM", "Tempo"}, {"ORD", "Ordini"}}) : s;
  s = s ? AddSalesLayouts(store) : s;
  s = s ? AddOrderLayouts(store) : s;
  s = s ? AddUsers(store) : s;
  return s;
}

}  // namespace detail

GeneratorOptions SizeOptions(SampleSize size, uint64_t seed) {
  GeneratorOptions o;
  o.seed = seed;
  switch (size) {
    case SampleSize::kSmall: break;
    case SampleSize::kMedium:
      o.agents = 40;
      o.customers = 2000;
      o.products = 800;
      o.sales_rows = 50000;
      o.data_set_rows = 50000;
      break;
    case SampleSize::kLarge:
      o.agents = 300;
      o.customers = 50000;
      o.products = 20000;
      o.sales_rows = 2000000;
      o.data_set_rows = 2000000;
      break;
  }
  return o;
}

bool ParseSize(const std::string& text, SampleSize* size) {
  if (text == "small") *size = SampleSize::kSmall;
  else if (text == "medium") *size = SampleSize::kMedium;
  else if (text == "large") *size = SampleSize::kLarge;
  else return false;
  return true;
}

Status GenerateSample(const std::string& path, const GeneratorOptions& options) {
  Store store;
  Status s = store.Create(path);
  if (!s) return s;
  detail::Random random(options.seed);
  const detail::Codes codes = detail::MakeCodes(options, random);
  s = store.Begin();
  s = s ? detail::WriteDefinitions(store, options) : s;
  s = s ? detail::WriteDescriptions(store, codes, random) : s;
  s = s ? store.Commit() : s;
  // The data sets commit block by block (see WriteSalesData).
  s = s ? detail::WriteSalesData(store, codes, options, random) : s;
  // The data sets the elaboration queries read, each drawn from its own seed.
  s = s ? GenerateDataSet(store, sample::kSales, options, options.seed, options.data_set_rows) : s;
  s = s ? GenerateDataSet(store, sample::kOrders, options, options.seed + 1, options.data_set_rows / 4) : s;
  return s;
}

}  // namespace kyx::dataserver
