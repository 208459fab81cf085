#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "server/campo.h"
#include "platform/vb/vb.h"
#include "server/socket.h"
#include "tests/server/ambiente_socket.h"

namespace kyx {
namespace {

class CampoTest : public test::AmbienteSocket {
 protected:
  // Puts the bytes into the record buffer from position `inizio`.
  static void Metti(const std::string& bytes, int32_t inizio = 1) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      Buffer_Record[static_cast<std::size_t>(inizio - 1) + i] = static_cast<uint8_t>(bytes[i]);
    }
  }
  // A packed number: the digits two by two, then the sign half-byte.
  static std::string Packed(const std::string& cifre, int segno) {
    std::string mezzi = cifre;
    std::string bytes;
    for (std::size_t i = 0; i + 1 < mezzi.size(); i += 2) {
      bytes += static_cast<char>(((mezzi[i] - '0') << 4) | (mezzi[i + 1] - '0'));
    }
    bytes += static_cast<char>(((mezzi.back() - '0') << 4) | segno);
    return bytes;
  }
};

struct Caso {
  std::string tipo;
  std::string bytes;
  int32_t decimali;
  std::string atteso;
};

TEST_F(CampoTest, DecodesEveryType) {
  const std::vector<Caso> casi = {
      // Text through the code table, untrimmed; byte 0 shows as "Ø", never as NUL.
      {"A", "\xC1\xC2\x40", 0, "AB "},
      {"A", "\x40\x40\x40", 3, "   "},
      {"A", std::string("\x00\xC1\x00", 3), 0, "\xD8" "A\xD8"},
      {"A", "\x44\x51\x54\x58\xCD\xDD", 0, "\xE0\xE9\xE8\xEC\xF2\xF9"},  // àéèìòù
      // Zoned: low half-bytes as digits, sign in the high half of the last byte.
      {"S", "\xF1\xF2\xD3", 1, "-12.3"},
      {"S", "\xF1\xF2\xF3", 0, "123"},
      {"S", "\xF1\xF2\xF3", 3, ".123"},
      {"S", "\xF1\xF2\xF3", 4, "123"},
      {"S", "\xF1\xF2\xF3", -1, "123"},
      {"S", "\xF0\xF0\xF0\xF0\xF7", 0, "00007"},
      {"S", "\xF5", 0, "5"},
      {"S", "\xD5", 0, "-5"},
      {"S", "\xB5", 0, "-5"},
      {"S", "\xC5", 0, "5"},
      {"S", "\xE5", 0, "5"},
      {"S", "\xFA", 0, ":"},  // not a digit: shown unchecked
      // Packed: two digits per byte, the sign half-byte shown as a blank.
      {"P", "\x12\x34\x5D", 2, "-123.45 "},
      {"P", "\x12\x34\x5F", 2, "123.45 "},
      {"P", "\x12\x34\x5C", 0, "12345 "},
      {"P", "\x12\x34\x5B", 5, "-.12345 "},
      {"P", "\x12\x34\x5F", 6, "12345 "},
      {"P", "\x0F", 0, "0 "},
      {"P", std::string("\x00\x1D", 2), 1, "-00.1 "},
      {"P", "\xA1\x2F", 0, ":12 "},  // a high half-byte above 9: never sent, kept in width
      // Binary, most significant byte first.
      {"B", "\x01\x02", 4, "258"},
      {"B", "\xFF\xFF", 4, "65535"},
      {"B", std::string("\x00\x00", 2), 4, "0"},
      {"B", "\x07", 0, "7"},
      {"B", "\xFF\xFF\xFF\xFF", 0, "4294967295"},
      // Unknown types.
      {"X", "\xF1", 0, ""},
      {"", "\xF1", 0, ""},
      {"AS", "\xF1", 0, ""},
  };
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.tipo + " " + std::to_string(caso.bytes.size()) + " bytes, " +
                 std::to_string(caso.decimali) + " decimals");
    Buffer_Record.fill(0x77);
    Metti(caso.bytes, 11);
    EXPECT_EQ(Campo(caso.tipo, 11, static_cast<int32_t>(caso.bytes.size()), 4, caso.decimali),
              caso.atteso);
  }
}

TEST_F(CampoTest, FieldsOutsideTheRecordBufferGiveNothing) {
  Buffer_Record.fill(0xF1);
  EXPECT_EQ(Campo("A", 0, 2, 0, 0), "");
  EXPECT_EQ(Campo("S", 1, 0, 0, 0), "");
  EXPECT_EQ(Campo("P", 1, -3, 0, 0), "");
  EXPECT_EQ(Campo("B", 16385, 2, 0, 0), "");
  EXPECT_EQ(Campo("S", 16385, 1, 0, 0), "1");  // the last byte of the buffer is inside
  EXPECT_EQ(Campo("A", 2147483647, 2147483647, 0, 0), "");
  EXPECT_EQ(Campo_P17_3(16378, "."), "");
  EXPECT_EQ(Campo_P17_3(-5, "."), "");
  EXPECT_EQ(Campo_P17_3(16377, ".").size(), 20u);
}

TEST_F(CampoTest, P17_3AlwaysGivesSignFourteenDigitsSeparatorThreeDigitsAndBlank) {
  struct CasoP {
    std::string cifre;  // 17 digits
    int segno;
    std::string separatore;
    std::string atteso;
  };
  const std::vector<CasoP> casi = {
      {"00000000000000000", 0xF, ",", " 00000000000000,000 "},
      {"00000000001234500", 0xF, ",", " 00000000001234,500 "},
      {"00000000001234500", 0xD, ".", "-00000000001234.500 "},
      {"12345678901234567", 0xB, ".", "-12345678901234.567 "},
      {"00000000000000001", 0xC, ".", " 00000000000000.001 "},
      {"00000000000000001", 0xA, "", " 00000000000000 001 "},
      {"00000000000000001", 0xF, ".,", " 00000000000000.001 "},
  };
  for (const CasoP& caso : casi) {
    SCOPED_TRACE(caso.atteso);
    Metti(Packed(caso.cifre, caso.segno), 100);
    EXPECT_EQ(Campo_P17_3(100, caso.separatore), caso.atteso);
  }
  Metti(std::string(8, '\0') + "\x0F", 1);
  EXPECT_EQ(Campo_P17_3(1, ","), " 00000000000000,000 ");
}

// The value read straight from the bytes is the very double the text gives (sign of zero
// included), for the numbers the server sends, those past 2^53 and fields that are not numbers.
TEST_F(CampoTest, P17_3ValueEqualsTheValueOfItsText) {
  auto Uguale = [](int32_t inizio) {
    const double testo = vb::Val(Campo_P17_3(inizio, "."));
    const double valore = Valore_P17_3(inizio);
    EXPECT_EQ(std::bit_cast<uint64_t>(valore), std::bit_cast<uint64_t>(testo))
        << Campo_P17_3(inizio, ".") << " gave " << valore;
  };
  const std::vector<std::pair<std::string, int>> casi = {
      {"00000000000000000", 0xD},  // no negative zero
      {"00000000000000000", 0xF},
      {"00000000001234500", 0xF},
      {"00000000000000001", 0xB},
      {"00000000000000003", 0xC},
      {"09007199254740992", 0xF},  // 2^53: the last exact one
      {"09007199254740993", 0xD},  // past it: through the text
      {"12345678901234567", 0xF},
      {"99999999999999999", 0xD},
      {"00000000000000123", 0x5},  // a digit where the sign goes
  };
  for (const auto& [cifre, segno] : casi) {
    SCOPED_TRACE(cifre);
    Metti(Packed(cifre, segno), 40);
    Uguale(40);
  }
  // Half-bytes above 9 among the digits, and random fields of either kind.
  Metti("\x00\x00\x0C\x00\x00\x00\x00\x12\x3F", 40);
  Uguale(40);
  Metti("\xA0\x00\x00\x00\x00\x00\x00\x12\x3F", 40);
  Uguale(40);
  std::mt19937 gen(11);
  for (int i = 0; i < 20000; ++i) {
    std::string bytes(9, '\0');
    const bool cifre = i % 2 == 0;
    for (auto& b : bytes) b = static_cast<char>(cifre ? (gen() % 10) << 4 | gen() % 10 : gen() % 256);
    // Leading zeros, so that most digit fields are the small numbers the server sends.
    if (cifre) std::fill_n(bytes.begin(), gen() % 8, '\0');
    if (cifre) bytes[8] = static_cast<char>((bytes[8] & 0xF0) | (10 + gen() % 6));
    Metti(bytes, 40);
    Uguale(40);
    if (HasFailure()) break;
  }
  EXPECT_EQ(Valore_P17_3(16378), 0.0);
  EXPECT_EQ(Valore_P17_3(-5), 0.0);
}

}  // namespace
}  // namespace kyx
