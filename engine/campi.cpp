#include "engine/campi.h"

namespace kyx::motore {

bool Cerca(data::TableRecordset* Rs, const std::vector<data::Value>& Chiave) {
  if (!Rs || !Rs->IsOpen()) return false;
  if (!Rs->Seek(Chiave).ok()) return false;
  return !Rs->AfterLast() && !Rs->BeforeFirst();
}

bool Vuota(const data::TableRecordset* Rs) {
  if (!Rs || !Rs->IsOpen()) return true;
  return Rs->BeforeFirst() && Rs->AfterLast();
}

std::string Testo(const data::Recordset& Rs, std::string_view Campo) {
  const data::Value& v = Rs.Field(Campo);
  if (v.is_null()) return "";
  return v.kind() == data::Value::Kind::Text ? v.text() : v.AsText();
}

int64_t Numero(const data::Recordset& Rs, std::string_view Campo) { return Rs.Field(Campo).AsInteger(); }

std::string Cifre(int64_t n, int cifre) {
  const bool negativo = n < 0;
  std::string s = std::to_string(negativo ? -n : n);
  if (static_cast<int>(s.size()) < cifre) s.insert(0, static_cast<size_t>(cifre) - s.size(), '0');
  return negativo ? "-" + s : s;
}

}  // namespace kyx::motore
