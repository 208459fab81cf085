// The sample's codes, their descriptions and the rows of its data sets.
#include <cstdio>

#include "tools/dataserver/generator_detail.h"

namespace kyx::dataserver::detail {

namespace {

using detail::Digits;

const std::vector<std::string> kSurnames = {"Rossi", "Bianchi", "Verdi", "Esposito", "Romano", "Colombo",
                                            "Ricci", "Marino", "Greco", "Bruno", "Gallo", "Conti",
                                            "De Luca", "Mancini", "Costa", "Giordano", "Rizzo", "Lombardi"};
const std::vector<std::string> kFirstNames = {"Mario", "Luca", "Giulia", "Anna", "Marco", "Paola",
                                              "Giorgio", "Elena", "Franco", "Sara", "Nicol\xF2", "Chiara"};
const std::vector<std::string> kForms = {"S.r.l.", "S.p.A.", "S.n.c.", "& C.", "S.a.s."};
const std::vector<std::pair<std::string, std::string>> kCities = {
    {"Milano", "MI"},  {"Torino", "TO"}, {"Genova", "GE"},  {"Bologna", "BO"}, {"Firenze", "FI"},
    {"Roma", "RM"},    {"Napoli", "NA"}, {"Bari", "BA"},    {"Palermo", "PA"}, {"Cagliari", "CA"},
    {"Verona", "VR"},  {"Padova", "PD"}, {"Forl\xEC", "FC"}, {"Cant\xF9", "CO"}};
const std::vector<std::string> kCategories = {"GD", "DE", "IN"};
const std::vector<std::string> kCategoryNames = {"Grande distribuzione", "Dettaglio", "Ingrosso"};
const std::vector<std::string> kGoods = {"Vite",    "Bullone", "Dado",    "Rondella", "Staffa", "Cerniera",
                                         "Maniglia", "Tassello", "Chiodo", "Molla",    "Perno",  "Guarnizione"};
const std::vector<std::string> kFinishes = {"zincata", "inox", "ottone", "nera", "bianca", "cromata"};

}  // namespace

int64_t DaysFromCivil(int y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

std::string Timestamp(int64_t days, int minutes) {
  int y;
  unsigned m, d;
  CivilFromDays(days, &y, &m, &d);
  return Digits(y, 4) + Digits(m, 2) + Digits(d, 2) + Digits(minutes / 60, 2) + Digits(minutes % 60, 2) + "00";
}

Codes MakeCodes(const GeneratorOptions& o, Random& random) {
  Codes c;
  const std::vector<std::string> zones = {"NOR", "CEN", "SUD", "EST", "OVE", "ISO"};
  const std::vector<std::string> zone_names = {"Nord", "Centro", "Sud", "Nord-est", "Nord-ovest", "Isole"};
  for (int i = 0; i < o.zones; ++i) {
    c.zones.push_back(i < 6 ? zones[i] : "Z" + Digits(i, 2));
    c.zone_names.push_back(i < 6 ? zone_names[i] : "Zona " + Digits(i, 2));
  }
  for (int i = 1; i <= o.agents; ++i) {
    c.agents.push_back("A" + Digits(i, 3));
    // Every draw its own statement: the operands of + are evaluated in no fixed order.
    const std::string surname = random.Pick(kSurnames);
    c.agent_names.push_back(surname + " " + random.Pick(kFirstNames));
  }
  for (char a = 'A'; a <= 'F'; ++a) {
    c.lines.push_back(std::string("L") + a);
    c.line_names.push_back(std::string("Linea ") + a);
  }
  for (int i = 1; i <= o.customers; ++i) {
    Customer k;
    k.code = "C" + Digits(i, 5);
    const std::string surname = random.Pick(kSurnames);
    k.name = surname + " " + random.Pick(kForms);
    const auto& city = random.Pick(kCities);
    k.city = city.first;
    k.province = city.second;
    k.category = random.Pick(kCategories);
    k.zone = static_cast<int>(random.Below(static_cast<int64_t>(c.zones.size())));
    k.agent = static_cast<int>(random.Below(static_cast<int64_t>(c.agents.size())));
    k.deleted = i % 13 == 0;
    c.customers.push_back(k);
  }
  for (int i = 1; i <= o.products; ++i) {
    Product p;
    p.line = static_cast<int>(random.Below(static_cast<int64_t>(c.lines.size())));
    p.code = c.lines[p.line] + Digits(i, 6);
    const std::string good = random.Pick(kGoods);
    const std::string finish = random.Pick(kFinishes);
    p.name = good + " " + finish + " " + std::to_string(2 + random.Below(40)) + " mm";
    c.products.push_back(p);
  }
  return c;
}

Status WriteDescriptions(Store& store, const Codes& c, Random& random) {
  // Change times spread over the first half of 2024, so that an update "since" a date in the
  // middle brings only part of them.
  const int64_t first_day = DaysFromCivil(2024, 1, 1);
  auto when = [&] { return Timestamp(first_day + random.Below(181), static_cast<int>(random.Below(24 * 60))); };
  Status s = Status::Ok();
  auto put = [&](const std::string& system, int key, const std::string& code, int prog, const std::string& status,
                 const std::string& text) {
    if (s) s = store.PutDescription(DescriptionRow{system, key, code, prog, status, text, when()});
  };
  const std::string sales = sample::kSales, orders = sample::kOrders;
  for (std::size_t i = 0; i < c.zones.size(); ++i) {
    put(sales, 7, c.zones[i], 1, " ", c.zone_names[i]);
    put(sales, 7, c.zones[i], 2, " ", "Area " + c.zone_names[i]);
  }
  for (std::size_t i = 0; i < c.agents.size(); ++i) {
    for (const std::string& system : {sales, orders}) {
      const int key = system == sales ? 8 : 5;
      put(system, key, c.agents[i], 1, " ", c.agent_names[i]);
      put(system, key, c.agents[i], 2, " ", c.zone_names[i % c.zone_names.size()]);
    }
  }
  for (const auto& k : c.customers) {
    for (const std::string& system : {sales, orders}) {
      const int key = system == sales ? 9 : 3;
      // A deleted customer keeps its row with status "A" on the first progressive.
      put(system, key, k.code, 1, k.deleted ? "A" : " ", k.name);
      const std::string street = "Via " + random.Pick(kSurnames);
      put(system, key, k.code, 2, " ", street + " " + std::to_string(1 + random.Below(200)));
      put(system, key, k.code, 3, " ", k.city);
      put(system, key, k.code, 4, " ", k.province);
      put(system, key, k.code, 5, " ", kCategoryNames[k.category == "GD" ? 0 : k.category == "DE" ? 1 : 2]);
      if (system == sales && k.code.back() == '7') put(system, key, k.code, 16, " ", "Cliente da ricontattare");
    }
  }
  for (const auto& p : c.products) {
    for (const std::string& system : {sales, orders}) {
      const int key = system == sales ? 10 : 4;
      put(system, key, p.code, 1, " ", p.name);
      put(system, key, p.code, 2, " ", c.line_names[p.line]);
      put(system, key, p.code, 3, " ", "PZ");
    }
  }
  for (std::size_t i = 0; i < c.lines.size(); ++i) put(sales, 11, c.lines[i], 1, " ", c.line_names[i]);
  return s;
}

Status WriteSalesData(Store& store, const Codes& c, const GeneratorOptions& o, Random& random) {
  // One table per system: the keys of kind K, A and D as text columns, then one number per value
  // slot, the shape the data-set download hands out.
  auto& cn = store.connection();
  Status s = cn.Execute(
      "CREATE TABLE DATI_VENDITE (K_001 TEXT, K_002 TEXT, K_003 TEXT, K_004 TEXT, K_005 TEXT, K_006 TEXT,"
      " K_007 TEXT, K_008 TEXT, K_009 TEXT, K_010 TEXT, K_011 TEXT, K_012 TEXT, K_014 TEXT,"
      " V_001_1 REAL, V_001_2 REAL, V_002_1 REAL, V_002_2 REAL, V_002_3 REAL, V_003_1 REAL);"
      "CREATE TABLE DATI_ORDINI (K_001 TEXT, K_002 TEXT, K_003 TEXT, K_004 TEXT, K_005 TEXT, K_006 TEXT,"
      " K_008 TEXT, K_009 TEXT, V_001_1 REAL, V_001_2 REAL, V_002_1 REAL)");
  if (!s) return s;
  std::unique_ptr<data::Statement> sales, orders;
  s = cn.Prepare("INSERT INTO DATI_VENDITE VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)", &sales);
  s = s ? cn.Prepare("INSERT INTO DATI_ORDINI VALUES (?,?,?,?,?,?,?,?,?,?,?)", &orders) : s;
  const int64_t first_day = DaysFromCivil(2023, 1, 1);
  const int64_t days = DaysFromCivil(2025, 1, 1) - first_day;
  const int64_t order_rows = o.sales_rows / 4;
  for (int64_t row = 0; s && row < o.sales_rows + order_rows; ++row) {
    if (row % 20000 == 0) s = store.Begin();
    const bool is_sale = row < o.sales_rows;
    const int64_t day = first_day + random.Below(days);
    int y;
    unsigned m, d;
    CivilFromDays(day, &y, &m, &d);
    const int doy = static_cast<int>(day - DaysFromCivil(y, 1, 1));
    const std::string year = Digits(y, 4);
    const std::string month = year + Digits(m, 2);
    const std::string date = month + Digits(d, 2);
    const std::string quarter = year + Digits((m - 1) / 3 + 1, 1);
    const Customer& k = c.customers[static_cast<std::size_t>(random.Below(static_cast<int64_t>(c.customers.size())))];
    const Product& p = c.products[static_cast<std::size_t>(random.Below(static_cast<int64_t>(c.products.size())))];
    const int64_t quantity = 1 + random.Below(100);
    const double price = static_cast<double>(100 + random.Below(9900)) / 100.0;
    const double gross = static_cast<double>(quantity) * price;
    const double discount = static_cast<double>(random.Below(20)) * gross / 100.0;
    std::vector<data::Value> v;
    if (is_sale) {
      v = {year, month, date, quarter, year + Digits(doy / 7 + 1, 2), year + Digits(m <= 6 ? 1 : 2, 1),
           c.zones[k.zone], c.agents[k.agent], k.code, p.code, c.lines[p.line], k.category,
           year + Digits((m - 1) * 2 + (d > 15 ? 2 : 1), 2),
           static_cast<double>(quantity), static_cast<double>(random.Below(3)), gross, discount, gross - discount,
           gross * 0.6};
    } else {
      v = {year, month, k.code, p.code, c.agents[k.agent], date, std::string(random.Below(4) ? "E" : "A"), quarter,
           static_cast<double>(quantity), static_cast<double>(random.Below(quantity + 1)), gross};
    }
    data::Statement& st = is_sale ? *sales : *orders;
    for (std::size_t i = 0; s && i < v.size(); ++i) s = st.Bind(static_cast<int>(i + 1), v[i]);
    s = s ? st.Run() : s;
    if (s && (row % 20000 == 19999 || row + 1 == o.sales_rows + order_rows)) s = store.Commit();
  }
  return s;
}

}  // namespace kyx::dataserver::detail
