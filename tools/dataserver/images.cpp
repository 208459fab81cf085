#include "tools/dataserver/images.h"

#include <algorithm>

#include "tools/dataserver/wire_record.h"

namespace kyx::dataserver {

namespace {

// Copies a record into slot `slot` of a region of the image.
void Place(std::string& image, const Region& region, std::size_t slot, const std::string& record) {
  if (slot >= region.slots) return;
  const std::size_t at = region.offset + slot * region.record;
  if (image.size() < region.end()) image.resize(region.end(), '\0');
  std::copy_n(record.begin(), std::min(record.size(), region.record), image.begin() + at);
}

// Fills the slots from `first` on with end-mark records ("A" in the last byte).
void MarkRest(std::string& image, const CodeTable& table, const Region& region, std::size_t first) {
  WireRecord mark(table, region.record);
  mark.Text(region.record, 1, "A");
  for (std::size_t slot = first; slot < region.slots; ++slot) Place(image, region, slot, mark.bytes());
}

std::string KeyRecord(const CodeTable& table, const KeyDef& k) {
  WireRecord r(table, kKeysRegion.record);
  r.Binary(1, 2, k.idx).Binary(3, 2, k.length).Text(9, 40, k.title);
  for (int i = 0; i < 4; ++i) r.Text(94 + i, 1, k.totals[i]);
  for (int i = 0; i < 12; ++i) r.Text(98 + 20 * i, 20, k.titles[i]);
  r.Text(339, 3, k.areas[0]).Text(342, 5, k.order).Binary(347, 2, k.description_key);
  r.Text(349, 1, k.visible).Text(350, 1, k.kind);
  for (int i = 1; i < 5; ++i) r.Text(351 + 3 * (i - 1), 3, k.areas[i]);
  r.Text(363, 1, k.attribute).Text(364, 20, k.format).Text(384, 1, " ");
  return r.bytes();
}

std::string ValueRecord(const CodeTable& table, const ValueDef& v) {
  WireRecord r(table, kValuesRegion.record);
  r.Binary(1, 2, v.idx).Binary(3, 2, v.elements).Text(64, 1, " ");
  return r.bytes();
}

std::string AreaRecord(const CodeTable& table, const AreaDef& a) {
  WireRecord r(table, kAreasRegion.record);
  r.Binary(1, 2, a.idx).Text(3, 3, a.code).Text(6, 40, a.description).Text(46, 5, a.order).Text(64, 1, " ");
  return r.bytes();
}

std::string LayoutRecord(const CodeTable& table, const LayoutDef& l) {
  WireRecord r(table, kLayoutsRegion.record);
  r.Binary(1, 2, l.idx).Binary(3, 2, l.dim_f).Binary(5, 2, l.col_b);
  r.Text(7, 40, l.description).Text(47, 40, l.font).Text(87, 5, l.order);
  r.Binary(97, 2, l.col_o).Text(99, 1, l.col_ot).Text(100, 60, l.xls_run).Text(160, 1, l.xls_std);
  for (int k = 0; k < 9; ++k) r.Text(161 + 40 * k, 40, l.parameters[k]);
  for (int k = 0; k < 9; ++k) r.Binary(521 + 2 * k, 2, l.parameter_keys[k]);
  r.Text(539, 1, l.modest).Text(576, 1, " ");
  return r.bytes();
}

std::string SystemRecord(const CodeTable& table, const SystemDef& s, const std::vector<KeyMapEntry>& map) {
  WireRecord r(table, kSystemsRegion.record);
  r.Binary(1, 2, s.idx).Text(3, 10, s.code).Text(13, 10, s.library).Text(23, 50, s.sql_database);
  for (const auto& e : map) {
    if (e.listed == s.code && e.key_i >= 1 && e.key_i <= 128) r.Binary(71 + 2 * e.key_i, 2, e.key_e);
  }
  r.Text(384, 1, " ");
  return r.bytes();
}

std::string ElementRecord(const CodeTable& table, const ElementDef& e) {
  WireRecord r(table, kElementsRegion.record);
  r.Binary(1, 2, e.idx).Binary(3, 2, e.row).Binary(5, 2, e.column).Binary(7, 2, e.print_width);
  r.Text(9, 1, e.visible).Text(10, 1, e.total).Text(11, 40, e.heading).Text(51, 40, e.format);
  r.Text(91, 60, e.calc).Text(151, 10, e.system).Text(161, 1, e.sn_int).Text(162, 1, e.sn_tot);
  r.Text(163, 60, e.vis2).Text(320, 1, " ");
  // Every filter part starts blank (operator blank: no condition); the element's own fill them.
  for (int j = 0; j < 25; ++j) r.Blanks(320 + 80 * j + 3, 63);
  for (const auto& f : e.filters) {
    if (f.position < 1 || f.position > 25) continue;
    const std::size_t s = 320 + 80 * (f.position - 1);
    r.Binary(s + 1, 2, f.key).Text(s + 3, 1, f.block).Text(s + 4, 1, f.op).Text(s + 5, 60, f.value);
    r.Text(s + 65, 1, f.relation);
  }
  return r.bytes();
}

std::string DrillRecord(const CodeTable& table, const DrillDef& d) {
  WireRecord r(table, kDrillRegion.record);
  r.Binary(1, 2, d.key).Binary(3, 2, d.index).Binary(5, 2, d.layout);
  for (int k = 0; k < 9; ++k) r.Binary(7 + 2 * k, 2, d.key_values[k]);
  for (int k = 0; k < 9; ++k) r.Binary(25 + 2 * k, 2, d.key_orders[k]);
  r.Text(43, 40, d.description);
  for (int k = 0; k < 9; ++k) r.Text(83 + 24 * k, 24, d.parameters[k]);
  // The last byte is both the cancelled flag and the end mark: a row never carries "A" there.
  r.Text(320, 1, d.cancelled == "A" ? " " : d.cancelled);
  return r.bytes();
}

std::string UserFilterRecord(const CodeTable& table, const UserFilterDef& f) {
  WireRecord r(table, kUserFilterRegion.record);
  // Byte 64 is the block flag and the end mark at once: "A" cannot be sent as a flag.
  r.Binary(1, 2, f.key).Text(3, 1, f.op).Text(4, 60, f.value).Text(64, 1, f.block == "A" ? " " : f.block);
  return r.bytes();
}

std::string StructureRecord(const CodeTable& table, const UserStructureDef& s) {
  WireRecord r(table, kUserStructureRegion.record);
  r.Binary(1, 2, s.area).Binary(3, 2, s.key);
  // Flag byte j (layouts 8(j-1)+1 .. 8j, lowest bit first) travels at wire byte 37 - j.
  uint8_t flags[32] = {};
  for (int lay : s.layouts) {
    if (lay < 1 || lay > 256) continue;
    flags[(lay - 1) / 8] |= static_cast<uint8_t>(1u << ((lay - 1) % 8));
  }
  for (int j = 1; j <= 32; ++j) r.Raw(37 - j, flags[j - 1]);
  return r.bytes();
}

}  // namespace

std::string LibraryImage(const CodeTable& table, const LibraryContent& c) {
  std::string image(kSystemsRegion.end(), '\0');
  std::size_t n = 0;
  for (const auto& k : c.keys) Place(image, kKeysRegion, n++, KeyRecord(table, k));
  MarkRest(image, table, kKeysRegion, n);
  n = 0;
  for (const auto& v : c.values) Place(image, kValuesRegion, n++, ValueRecord(table, v));
  MarkRest(image, table, kValuesRegion, n);
  n = 0;
  for (const auto& a : c.areas) Place(image, kAreasRegion, n++, AreaRecord(table, a));
  MarkRest(image, table, kAreasRegion, n);
  n = 0;
  for (const auto& l : c.layouts) Place(image, kLayoutsRegion, n++, LayoutRecord(table, l));
  MarkRest(image, table, kLayoutsRegion, n);
  for (const auto& [region, users] : {std::pair{kUsersFirstRegion, &c.users_first}, std::pair{kUsersSecondRegion, &c.users_second}}) {
    n = 0;
    for (const auto& u : *users) {
      WireRecord r(table, region.record);
      r.Text(3, 10, u).Text(64, 1, " ");
      Place(image, region, n++, r.bytes());
    }
    MarkRest(image, table, region, n);
  }
  n = 0;
  for (const auto& s : c.systems) Place(image, kSystemsRegion, n++, SystemRecord(table, s, c.key_map));
  MarkRest(image, table, kSystemsRegion, n);
  return image;
}

std::string ElementsImage(const CodeTable& table, const std::vector<ElementDef>& elements) {
  std::string image(kElementsRegion.end(), '\0');
  std::size_t n = 0;
  for (const auto& e : elements) Place(image, kElementsRegion, n++, ElementRecord(table, e));
  // The end mark of an element file sits at byte 320, the end of the element part.
  WireRecord mark(table, kElementsRegion.record);
  mark.Text(320, 1, "A");
  for (; n < kElementsRegion.slots; ++n) Place(image, kElementsRegion, n, mark.bytes());
  return image;
}

std::string DrillImage(const CodeTable& table, const std::vector<DrillDef>& drills) {
  std::string image(kDrillRegion.end(), '\0');
  std::size_t n = 0;
  for (const auto& d : drills) Place(image, kDrillRegion, n++, DrillRecord(table, d));
  MarkRest(image, table, kDrillRegion, n);
  return image;
}

// A user file of `size` bytes with the user's filter at its start.
std::string UserFilterImage(const CodeTable& table, const std::vector<UserFilterDef>& filters, std::size_t size) {
  std::string image(size, '\0');
  std::size_t n = 0;
  for (const auto& f : filters) Place(image, kUserFilterRegion, n++, UserFilterRecord(table, f));
  MarkRest(image, table, kUserFilterRegion, n);
  return image;
}

std::string UserImage(const CodeTable& table, const std::vector<UserFilterDef>& filters,
                      const std::vector<UserStructureDef>& structures) {
  std::string image = UserFilterImage(table, filters, kUserStructureRegion.end());
  std::size_t n = 0;
  // The structure has no end mark: its first record carries the release mark (area and key 0,
  // so the program skips it), the others one area and key each; unused slots stay zero.
  WireRecord head(table, kUserStructureRegion.record);
  head.Text(5, 32, kReleaseMark);
  Place(image, kUserStructureRegion, 0, head.bytes());
  n = 1;
  for (const auto& s : structures) Place(image, kUserStructureRegion, n++, StructureRecord(table, s));
  return image;
}

std::string Slice(const std::string& image, std::size_t offset, std::size_t count) {
  std::string out(count, '\0');
  if (offset < image.size()) {
    const std::size_t n = std::min(count, image.size() - offset);
    std::copy_n(image.begin() + offset, n, out.begin());
  }
  return out;
}

}  // namespace kyx::dataserver
