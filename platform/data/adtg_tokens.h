#pragma once
// Token values, type codes and helpers shared by the TableGram reader and writer
// (layout in adtg_format.md).
#include <cstdint>
#include <string>
#include <string_view>

namespace kyx::data::adtg {

// Tokens that open each element of a TableGram.
constexpr uint8_t kTokenHeader = 0x01;
constexpr uint8_t kTokenHandlerOptions = 0x02;
constexpr uint8_t kTokenResultDescriptor = 0x03;
constexpr uint8_t kTokenTableDescriptor = 0x05;
constexpr uint8_t kTokenColumnDescriptor = 0x06;
constexpr uint8_t kTokenRow = 0x07;        // an original row (unchanged, or the "before" of a change or delete)
constexpr uint8_t kTokenChangeRow = 0x0A;  // follows an original row: its values after the pending change
constexpr uint8_t kTokenDeleteRow = 0x0C;  // follows an original row: the row is deleted (pending)
constexpr uint8_t kTokenInsertRow = 0x0D;  // a row inserted (pending)
constexpr uint8_t kTokenDone = 0x0F;
constexpr uint8_t kTokenResultContext = 0x10;

constexpr uint8_t kHeaderSize = 7;  // "TG!", major and minor version, byte order, Unicode flag

// Column types (OLE DB type codes).
constexpr uint16_t kTypeI2 = 2;
constexpr uint16_t kTypeI4 = 3;
constexpr uint16_t kTypeR8 = 5;
constexpr uint16_t kTypeBool = 11;
constexpr uint16_t kTypeVariant = 12;
constexpr uint16_t kTypeI8 = 20;
constexpr uint16_t kTypeStr = 129;
constexpr uint16_t kTypeWStr = 130;
constexpr uint16_t kTypeNumeric = 131;

// Variant tags of the values of a kTypeVariant column.
constexpr uint16_t kVtNull = 1;
constexpr uint16_t kVtR8 = 5;
constexpr uint16_t kVtBstr = 8;
constexpr uint16_t kVtI8 = 20;

// Column flags.
constexpr uint32_t kFlagFixedLength = 0x10;
constexpr uint32_t kFlagNullable = 0x20;
constexpr uint32_t kFlagMaybeNull = 0x40;
constexpr uint32_t kFlagLong = 0x80;

// Presence map bits (first byte) of a column descriptor, in the order their fields follow.
constexpr uint8_t kHasName = 0x01;
constexpr uint8_t kHasBaseTableOrdinal = 0x02;
constexpr uint8_t kHasBaseColumnOrdinal = 0x04;
constexpr uint8_t kHasBaseColumnName = 0x08;
constexpr size_t kPresenceMapSize = 3;

// The GUIDs that mark the handler options and the result descriptor.
inline constexpr uint8_t kRecordsetGuid[16] = {0xB6, 0x92, 0xF2, 0x3F, 0x04, 0xB2, 0xCF, 0x11,
                                               0x8D, 0x23, 0x00, 0xAA, 0x00, 0x5F, 0xFE, 0x58};

// The handler options' last field: how the TableGram is fetched (1 = synchronously).
constexpr uint16_t kAsyncSynchronous = 1;
// A 2-byte boolean as the column descriptor's closing IsVisible carries it.
constexpr uint16_t kBooleanTrue = 0xFFFF;

constexpr uint8_t kNumericPrecision = 17;
constexpr uint8_t kNumericScale = 3;
constexpr size_t kNumericSize = 19;  // precision, scale, sign, 16-byte magnitude

// Windows-1252 byte <-> UTF-16 code unit. A code unit outside the code page becomes '?'.
uint16_t Cp1252ToUnit(unsigned char c);
char UnitToCp1252(uint16_t u);

// Appends the UTF-16LE form of a cp1252 text; replaces `out` by the cp1252 form of UTF-16LE
// bytes (a surrogate pair becomes one '?').
void AppendUtf16(std::string_view cp1252, std::string* out);
void Utf16ToCp1252(const unsigned char* utf16, size_t units, std::string* out);

}  // namespace kyx::data::adtg
