#include "platform/data/adtg_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "platform/data/adtg_tokens.h"

namespace kyx::data {

namespace {

using namespace adtg;

constexpr size_t kMaxFields = 4096;
constexpr size_t kFlushAt = 1 << 20;

template <typename T>
void Put(std::string& out, T v) {
  for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>((static_cast<uint64_t>(v) >> (8 * i)) & 0xFF));
}

// A length-prefixed string: its length in UTF-16 code units, then the units.
void PutString(std::string& out, std::string_view cp1252) {
  Put<uint16_t>(out, static_cast<uint16_t>(cp1252.size()));
  AppendUtf16(cp1252, &out);
}

// Opens an element whose size field (USHORT) is filled in by Close.
size_t Open(std::string& out, uint8_t token) {
  out.push_back(static_cast<char>(token));
  Put<uint16_t>(out, 0);
  return out.size();
}
void Close(std::string& out, size_t body) {
  size_t n = out.size() - body;
  out[body - 2] = static_cast<char>(n & 0xFF);
  out[body - 1] = static_cast<char>(n >> 8);
}

uint16_t TypeOf(FieldType t) {
  switch (t) {
    case FieldType::Text:
    case FieldType::LongText: return kTypeWStr;
    case FieldType::Int16: return kTypeI2;
    case FieldType::Int32: return kTypeI4;
    case FieldType::Double: return kTypeR8;
    case FieldType::Numeric: return kTypeNumeric;
    case FieldType::Any: return kTypeVariant;
  }
  return kTypeVariant;
}

void PutDouble(std::string& out, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  Put<uint64_t>(out, bits);
}

// A numeric(17,3): the value times 1000, rounded, as a sign and a 16-byte magnitude.
void PutNumeric(std::string& out, double d) {
  out.push_back(static_cast<char>(kNumericPrecision));
  out.push_back(static_cast<char>(kNumericScale));
  out.push_back(d < 0 ? 0 : 1);
  double m = std::fabs(d) * 1000.0;
  unsigned __int128 v = 0;
  if (std::isfinite(m) && m < 3.4e38) v = static_cast<unsigned __int128>(std::nearbyint(m));
  for (int i = 0; i < 16; ++i) out.push_back(static_cast<char>(static_cast<uint8_t>(v >> (8 * i))));
}

void PutText(std::string& out, std::string_view text) {
  Put<uint32_t>(out, static_cast<uint32_t>(2 * text.size()));
  AppendUtf16(text, &out);
}

void PutValue(std::string& out, FieldType type, const Value& v, std::string& scratch) {
  switch (type) {
    case FieldType::Text:
    case FieldType::LongText:
      if (v.kind() == Value::Kind::Text) {
        PutText(out, v.text());
      } else {
        scratch = v.AsText();
        PutText(out, scratch);
      }
      break;
    case FieldType::Int16: Put<int16_t>(out, static_cast<int16_t>(v.AsInteger())); break;
    case FieldType::Int32: Put<int32_t>(out, static_cast<int32_t>(v.AsInteger())); break;
    case FieldType::Double: PutDouble(out, v.AsDouble()); break;
    case FieldType::Numeric: PutNumeric(out, v.AsDouble()); break;
    case FieldType::Any:
      switch (v.kind()) {
        case Value::Kind::Null: Put<uint16_t>(out, kVtNull); break;
        case Value::Kind::Integer:
          Put<uint16_t>(out, kVtI8);
          Put<uint64_t>(out, static_cast<uint64_t>(v.integer()));
          break;
        case Value::Kind::Double:
          Put<uint16_t>(out, kVtR8);
          PutDouble(out, v.real());
          break;
        case Value::Kind::Text:
          Put<uint16_t>(out, kVtBstr);
          PutText(out, v.text());
          break;
      }
      break;
  }
}

void PutPrologue(std::string& out, const std::vector<FieldInfo>& fields, size_t row_count) {
  out.push_back(static_cast<char>(kTokenHeader));
  out.push_back(static_cast<char>(kHeaderSize));
  out += "TG!";
  out.push_back(1);  // major version
  out.push_back(0);  // minor version
  out.push_back(0);  // little-endian
  out.push_back(1);  // Unicode strings

  size_t body = Open(out, kTokenHandlerOptions);
  out.append(reinterpret_cast<const char*>(kRecordsetGuid), 16);
  out.push_back(3);  // all rows
  PutString(out, "");
  PutString(out, "");
  PutString(out, "");
  Put<uint16_t>(out, kAsyncSynchronous);
  Close(out, body);

  body = Open(out, kTokenResultDescriptor);
  out.append(reinterpret_cast<const char*>(kRecordsetGuid), 16);
  out.push_back(0);  // reserved
  out.push_back(0);  // snapshot
  out.push_back(0);  // not normalized
  Put<uint16_t>(out, static_cast<uint16_t>(fields.size()));  // visible columns
  Put<uint16_t>(out, static_cast<uint16_t>(fields.size()));  // all columns
  Put<uint16_t>(out, 0);                                     // computed columns
  Put<uint16_t>(out, 0);                                     // base tables
  Put<uint16_t>(out, 0);                                     // order-by columns
  Put<uint32_t>(out, static_cast<uint32_t>(row_count));
  Close(out, body);

  for (size_t i = 0; i < fields.size(); ++i) {
    const FieldInfo& f = fields[i];
    body = Open(out, kTokenColumnDescriptor);
    out.push_back(static_cast<char>(kHasName));
    out.append(kPresenceMapSize - 1, '\0');
    Put<uint16_t>(out, static_cast<uint16_t>(i + 1));
    PutString(out, f.name);
    Put<uint16_t>(out, TypeOf(f.type));
    uint32_t max_length = 0, precision = 0, scale = 0, flags = kFlagNullable | kFlagMaybeNull;
    switch (f.type) {
      case FieldType::Text: max_length = static_cast<uint32_t>(f.size); break;
      case FieldType::LongText:
        max_length = static_cast<uint32_t>(f.size);
        flags |= kFlagLong;
        break;
      case FieldType::Int16: max_length = 2, precision = 5, flags |= kFlagFixedLength; break;
      case FieldType::Int32: max_length = 4, precision = 10, flags |= kFlagFixedLength; break;
      case FieldType::Double: max_length = 8, precision = 15, flags |= kFlagFixedLength; break;
      case FieldType::Numeric:
        max_length = kNumericSize, precision = kNumericPrecision, scale = kNumericScale;
        flags |= kFlagFixedLength;
        break;
      case FieldType::Any: max_length = 16; break;
    }
    Put<uint32_t>(out, max_length);
    Put<uint32_t>(out, precision);
    Put<uint32_t>(out, scale);
    Put<uint32_t>(out, flags);
    Put<uint16_t>(out, kBooleanTrue);  // IsVisible
    Close(out, body);
  }
}

class FileSink {
 public:
  explicit FileSink(const std::string& temp) : temp_(temp) {
    fd_ = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd_ < 0) err_ = errno;
  }
  ~FileSink() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(temp_.c_str());
  }
  bool ok() const { return err_ == 0; }
  int error() const { return err_; }
  void Write(std::string& buf) {
    size_t done = 0;
    while (err_ == 0 && done < buf.size()) {
      ssize_t w = ::write(fd_, buf.data() + done, buf.size() - done);
      if (w < 0) {
        if (errno != EINTR) err_ = errno;
        continue;
      }
      done += static_cast<size_t>(w);
    }
    buf.clear();
  }
  // Syncs, closes and renames over `path`; the temporary file is removed if any step fails.
  void Commit(const std::string& path) {
    if (err_ == 0 && ::fsync(fd_) != 0) err_ = errno;
    if (::close(fd_) != 0 && err_ == 0) err_ = errno;
    fd_ = -1;
    if (err_ == 0 && ::rename(temp_.c_str(), path.c_str()) != 0) err_ = errno;
    kept_ = err_ == 0;
  }

 private:
  std::string temp_;
  int fd_ = -1;
  int err_ = 0;
  bool kept_ = false;
};

}  // namespace

Status WriteAdtgFile(const std::string& path, const std::vector<FieldInfo>& fields, size_t row_count,
                     const RowSource& row) {
  if (fields.empty() || fields.size() > kMaxFields)
    return Status::Error(kNotSupported, "A saved recordset needs 1 to 4096 fields");
  if (row_count > UINT32_MAX) return Status::Error(kNotSupported, "A saved recordset holds at most 4294967295 rows");
  for (const FieldInfo& f : fields)
    if (f.name.size() > UINT16_MAX) return Status::Error(kNotSupported, "Field name too long: " + f.name.substr(0, 40));

  const std::string temp = path + ".~tmp";
  FileSink sink(temp);
  if (!sink.ok()) return Status::Error(kFileError, "Cannot create " + temp + ": " + std::strerror(sink.error()));

  std::string buf;
  buf.reserve(kFlushAt + (1 << 16));
  std::string scratch;
  PutPrologue(buf, fields, row_count);
  const size_t bitmap = (fields.size() + 7) / 8;
  for (size_t r = 0; r < row_count && sink.ok(); ++r) {
    const std::vector<Value>& values = row(r);
    buf.push_back(static_cast<char>(kTokenRow));
    size_t mask = buf.size();
    buf.append(bitmap, '\0');
    for (size_t c = 0; c < fields.size(); ++c) {
      if (c >= values.size() || values[c].is_null()) {
        buf[mask + c / 8] = static_cast<char>(buf[mask + c / 8] | (1 << (c % 8)));
        continue;
      }
      PutValue(buf, fields[c].type, values[c], scratch);
    }
    if (buf.size() >= kFlushAt) sink.Write(buf);
  }
  buf.push_back(static_cast<char>(kTokenDone));
  sink.Write(buf);
  sink.Commit(path);
  if (!sink.ok()) return Status::Error(kFileError, "Cannot write " + path + ": " + std::strerror(sink.error()));
  return Status::Ok();
}

}  // namespace kyx::data
