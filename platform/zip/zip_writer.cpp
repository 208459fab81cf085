#include "platform/zip/zip_writer.h"

#include <zlib.h>

#include <ctime>

namespace kyx::zip {

namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kDataDescriptor = 0x08074b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint16_t kVersion = 20;           // 2.0: deflate
constexpr uint16_t kFlagDescriptor = 0x0008;  // sizes and CRC in the data descriptor
constexpr uint16_t kDeflated = 8;
constexpr uint64_t kLimit = 0xFFFFFFFFu;    // without ZIP64 records
constexpr size_t kWindow = 1 << 18;

void Put16(std::string& s, uint32_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint64_t v) {
  Put16(s, static_cast<uint32_t>(v & 0xFFFF));
  Put16(s, static_cast<uint32_t>((v >> 16) & 0xFFFF));
}

}  // namespace

struct ZipWriter::Stream {
  z_stream s{};
  bool ready = false;
  ~Stream() {
    if (ready) deflateEnd(&s);
  }
};

ZipWriter::ZipWriter(int level) : level_(level < 1 ? 1 : (level > 9 ? 9 : level)), z_(std::make_unique<Stream>()) {}

ZipWriter::~ZipWriter() = default;

bool ZipWriter::Fail(std::string message) {
  if (!failed_) error_ = std::move(message);
  failed_ = true;
  return false;
}

bool ZipWriter::Open(std::string_view path) {
  if (!file_.open(path)) return Fail("Cannot create the archive " + std::string(path));
  if (deflateInit2(&z_->s, level_, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return Fail("Cannot start the compressor");
  z_->ready = true;
  out_.resize(kWindow);
  // The modification stamp of every entry: the local date and time in MS-DOS form.
  const std::time_t t = std::time(nullptr);
  std::tm l{};
  localtime_r(&t, &l);
  dos_time_ = static_cast<uint16_t>((l.tm_hour << 11) | (l.tm_min << 5) | (l.tm_sec / 2));
  dos_date_ = static_cast<uint16_t>(((l.tm_year > 80 ? l.tm_year - 80 : 0) << 9) | ((l.tm_mon + 1) << 5) | l.tm_mday);
  return true;
}

bool ZipWriter::Emit(std::string_view bytes) {
  if (failed_) return false;
  written_ += bytes.size();
  if (written_ > kLimit) return Fail("The archive would pass 4 GiB");
  if (!file_.write(bytes)) return Fail("Cannot write the archive");
  return true;
}

bool ZipWriter::Header(std::string_view name, bool folder) {
  if (failed_ || !file_.is_open()) return false;
  if (in_entry_ && !EndEntry()) return false;
  if (entries_.size() >= 0xFFFF) return Fail("Too many entries");
  if (name.size() > 0xFFFF) return Fail("An entry name is too long");
  Entry e;
  e.name = std::string(name);
  e.folder = folder;
  e.offset = written_;
  std::string h;
  Put32(h, kLocalHeader);
  Put16(h, kVersion);
  Put16(h, folder ? 0 : kFlagDescriptor);
  Put16(h, folder ? 0 : kDeflated);
  Put16(h, dos_time_);
  Put16(h, dos_date_);
  Put32(h, 0);  // CRC-32 and sizes: none for a folder, in the data descriptor for a file
  Put32(h, 0);
  Put32(h, 0);
  Put16(h, static_cast<uint32_t>(e.name.size()));
  Put16(h, 0);
  h += e.name;
  entries_.push_back(std::move(e));
  return Emit(h);
}

bool ZipWriter::Begin(std::string_view name) {
  if (!Header(name, false)) return false;
  if (deflateReset(&z_->s) != Z_OK) return Fail("Cannot restart the compressor");
  in_entry_ = true;
  return true;
}

bool ZipWriter::AddFolder(std::string_view name) { return Header(name, true); }

bool ZipWriter::Deflate(int flush) {
  z_stream& s = z_->s;
  Entry& e = entries_.back();
  do {
    s.next_out = reinterpret_cast<Bytef*>(out_.data());
    s.avail_out = static_cast<uInt>(out_.size());
    const int r = deflate(&s, flush);
    if (r == Z_STREAM_ERROR) return Fail("The compressor failed");
    const size_t n = out_.size() - s.avail_out;
    e.compressed += n;
    if (n > 0 && !Emit(std::string_view(out_.data(), n))) return false;
    if (flush == Z_FINISH && r == Z_STREAM_END) return true;
  } while (s.avail_out == 0 || (flush == Z_FINISH));
  return true;
}

bool ZipWriter::Write(std::string_view bytes) {
  if (failed_ || !in_entry_) return false;
  Entry& e = entries_.back();
  e.size += bytes.size();
  if (e.size > kLimit) return Fail("The entry " + e.name + " would pass 4 GiB");
  // Pieces of at most 1 GiB, the most the compressor's counters take at once.
  while (!bytes.empty()) {
    const size_t n = bytes.size() < (1u << 30) ? bytes.size() : (1u << 30);
    e.crc = static_cast<uint32_t>(crc32(e.crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(n)));
    z_->s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z_->s.avail_in = static_cast<uInt>(n);
    if (!Deflate(Z_NO_FLUSH)) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

bool ZipWriter::EndEntry() {
  in_entry_ = false;
  z_->s.next_in = nullptr;
  z_->s.avail_in = 0;
  if (!Deflate(Z_FINISH)) return false;
  const Entry& e = entries_.back();
  std::string d;
  Put32(d, kDataDescriptor);
  Put32(d, e.crc);
  Put32(d, e.compressed);
  Put32(d, e.size);
  return Emit(d);
}

bool ZipWriter::Commit() {
  if (failed_ || !file_.is_open()) {
    Discard();
    return false;
  }
  if (in_entry_ && !EndEntry()) {
    Discard();
    return false;
  }
  const uint64_t start = written_;
  std::string dir;
  for (const Entry& e : entries_) {
    Put32(dir, kCentralHeader);
    Put16(dir, kVersion);
    Put16(dir, kVersion);
    Put16(dir, e.folder ? 0 : kFlagDescriptor);
    Put16(dir, e.folder ? 0 : kDeflated);
    Put16(dir, dos_time_);
    Put16(dir, dos_date_);
    Put32(dir, e.crc);
    Put32(dir, e.compressed);
    Put32(dir, e.size);
    Put16(dir, static_cast<uint32_t>(e.name.size()));
    Put16(dir, 0);  // extra field
    Put16(dir, 0);  // comment
    Put16(dir, 0);  // disk
    Put16(dir, 0);  // internal attributes
    Put32(dir, e.folder ? 0x10 : 0);  // external attributes: the MS-DOS folder bit
    Put32(dir, e.offset);
    dir += e.name;
  }
  const uint64_t size = dir.size();
  Put32(dir, kEndOfDirectory);
  Put16(dir, 0);
  Put16(dir, 0);
  Put16(dir, static_cast<uint32_t>(entries_.size()));
  Put16(dir, static_cast<uint32_t>(entries_.size()));
  Put32(dir, size);
  Put32(dir, start);
  Put16(dir, 0);
  if (!Emit(dir)) {
    Discard();
    return false;
  }
  if (!file_.commit()) {
    Fail("Cannot complete the archive");
    Discard();
    return false;
  }
  return true;
}

void ZipWriter::Discard() {
  file_.discard();
  in_entry_ = false;
}

}  // namespace kyx::zip
