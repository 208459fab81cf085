#include "platform/data/recordset_file.h"

#include "platform/data/adtg_reader.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace kyx::data {

namespace {

constexpr char kMagic[8] = {'K', 'Y', 'X', 'R', 'S', 'E', 'T', '\x1A'};
constexpr uint16_t kVersion = 1;
constexpr char kEnd[4] = {'E', 'N', 'D', '!'};
constexpr uint32_t kMaxFields = 4096;
constexpr uint16_t kMaxName = 1024;  // limits of the older format, still read

uint32_t Crc32(const std::string& data, size_t n) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) c = table[(c ^ static_cast<unsigned char>(data[i])) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

class Reader {
 public:
  Reader(const std::string& d, size_t end) : d_(d), end_(end) {}
  template <typename T>
  bool Get(T* v) {
    if (end_ - i_ < sizeof(T)) return false;
    uint64_t x = 0;
    for (size_t k = 0; k < sizeof(T); ++k) x |= static_cast<uint64_t>(static_cast<unsigned char>(d_[i_ + k])) << (8 * k);
    i_ += sizeof(T);
    *v = static_cast<T>(x);
    return true;
  }
  bool Bytes(size_t n, std::string* out) {
    if (end_ - i_ < n) return false;
    out->assign(d_, i_, n);
    i_ += n;
    return true;
  }
  size_t left() const { return end_ - i_; }
  size_t at() const { return i_; }

 private:
  const std::string& d_;
  size_t end_;
  size_t i_ = 0;
};

Status Refused(const std::string& path, const std::string& why) {
  return Status::Error(kNotRecordsetFile, "The file " + path + " is not a recordset saved by Kyx: " + why);
}

bool StartsWith(const std::string& d, std::string_view prefix) {
  return d.size() >= prefix.size() && std::string_view(d).substr(0, prefix.size()) == prefix;
}

}  // namespace

Status WriteRecordsetFile(const std::string& path, const std::vector<FieldInfo>& fields,
                          const std::vector<const std::vector<Value>*>& rows) {
  return WriteAdtgFile(path, fields, rows.size(), [&rows](size_t i) -> const std::vector<Value>& { return *rows[i]; });
}

Status WriteRecordsetFile(const std::string& path, const std::vector<FieldInfo>& fields, size_t row_count,
                          const RowSource& row) {
  return WriteAdtgFile(path, fields, row_count, row);
}

Status ReadRecordsetFile(const std::string& path, std::vector<FieldInfo>* fields,
                         std::vector<std::vector<Value>>* rows) {
  fields->clear();
  rows->clear();
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Error(kFileNotFound, "Cannot open " + path + ": " + std::strerror(errno));
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size < 0) return Status::Error(kFileError, "Cannot read " + path);
  std::string d(static_cast<size_t>(size), '\0');
  if (!in.read(d.data(), size)) return Status::Error(kFileError, "Cannot read " + path);

  if (IsAdtg(d)) {
    Status s = ReadAdtg(d, fields, rows);
    if (!s.ok()) return Refused(path, "it is damaged or truncated: " + s.description());
    return s;
  }
  if (!StartsWith(d, std::string_view(kMagic, sizeof kMagic))) {
    size_t i = 0;
    if (StartsWith(d, "\xEF\xBB\xBF")) i = 3;
    while (i < d.size() && (d[i] == ' ' || d[i] == '\r' || d[i] == '\n' || d[i] == '\t')) ++i;
    if (i < d.size() && d[i] == '<')
      return Refused(path, "it is an XML file (a recordset saved in XML by another program, or another document)");
    if (d.empty()) return Refused(path, "it is empty");
    return Refused(path, "it is neither a TableGram nor an older Kyx recordset (a binary file of another program)");
  }
  if (d.size() < sizeof kMagic + 4 + sizeof kEnd + 4) return Refused(path, "it is truncated");
  size_t body = d.size() - 4;
  uint32_t stored = 0;
  for (int k = 0; k < 4; ++k) stored |= static_cast<uint32_t>(static_cast<unsigned char>(d[body + k])) << (8 * k);
  if (Crc32(d, body) != stored) return Refused(path, "it is damaged or truncated (checksum mismatch)");
  if (std::memcmp(d.data() + body - sizeof kEnd, kEnd, sizeof kEnd) != 0) return Refused(path, "its end mark is missing");

  Reader r(d, body - sizeof kEnd);
  std::string skip;
  r.Bytes(sizeof kMagic, &skip);
  uint16_t version = 0, flags = 0;
  uint32_t count = 0;
  if (!r.Get(&version) || !r.Get(&flags) || !r.Get(&count)) return Refused(path, "its header is truncated");
  if (version != kVersion) return Refused(path, "it has format version " + std::to_string(version) + ", not 1");
  if (count == 0 || count > kMaxFields) return Refused(path, "its field count is invalid");
  std::vector<FieldInfo> fs(count);
  for (FieldInfo& f : fs) {
    uint16_t len = 0;
    uint8_t type = 0;
    uint32_t size = 0;
    if (!r.Get(&len) || len > kMaxName || !r.Bytes(len, &f.name) || !r.Get(&type) || !r.Get(&size))
      return Refused(path, "its field list is damaged");
    if (type > static_cast<uint8_t>(FieldType::LongText) || size > 0x7FFFFFFF)
      return Refused(path, "field " + f.name + " has an unknown type");
    f.type = static_cast<FieldType>(type);
    f.size = static_cast<int>(size);
  }
  uint64_t n = 0;
  if (!r.Get(&n) || n > r.left() / count) return Refused(path, "its row count is invalid");
  std::vector<std::vector<Value>> rs;
  rs.reserve(static_cast<size_t>(n));
  for (uint64_t i = 0; i < n; ++i) {
    std::vector<Value> row(count);
    for (uint32_t c = 0; c < count; ++c) {
      uint8_t tag = 0;
      if (!r.Get(&tag)) return Refused(path, "a row is truncated");
      if (tag == 0) continue;
      if (tag == 1 || tag == 2) {
        uint64_t bits = 0;
        if (!r.Get(&bits)) return Refused(path, "a row is truncated");
        if (tag == 1) {
          row[c] = Value(static_cast<int64_t>(bits));
        } else {
          double v;
          std::memcpy(&v, &bits, sizeof v);
          row[c] = Value(v);
        }
      } else if (tag == 3) {
        uint32_t len = 0;
        std::string t;
        if (!r.Get(&len) || !r.Bytes(len, &t)) return Refused(path, "a row is truncated");
        row[c] = Value(std::move(t));
      } else {
        return Refused(path, "a value has an unknown kind");
      }
    }
    rs.push_back(std::move(row));
  }
  if (r.left() != 0) return Refused(path, "there are unexpected bytes after the last row");
  *fields = std::move(fs);
  *rows = std::move(rs);
  return Status::Ok();
}

}  // namespace kyx::data
