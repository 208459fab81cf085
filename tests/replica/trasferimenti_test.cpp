// What the transfers make of the server's lists: the entry's database for a system the server
// names none for, as many element and drill rows as the last layout's number says, every user of both lists, the user filter's flags, the requests of a full
// list, and a number too large for its field.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/text/cp1252.h"
#include "tests/replica/ambiente_replica.h"
#include "tools/dataserver/store.h"

namespace kyx {
namespace {

namespace ds = dataserver;
namespace sample = ds::sample;

class Trasferimenti : public test::AmbienteReplica {
 protected:
  void SetUp() override {
    AmbienteReplica::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(store_.Open(dir.file("server.db")).ok());
  }
  int Conta(const std::string& tipo) const {
    return std::stoi(pg_.Query("KYXREPLICA", "SELECT count(*) FROM kyx_master WHERE substr(chiave, 11, 2) = '" + tipo + "'"));
  }
  std::string Esadecimale(const std::string& chiave, int da, int quanti) const {
    return pg_.Query("KYXREPLICA", "SELECT encode(substring(dati from " + std::to_string(da) + " for " +
                                       std::to_string(quanti) + "), 'hex') FROM kyx_master WHERE chiave = '" + chiave + "'");
  }
  ds::Store store_;
};

TEST_F(Trasferimenti, ListsAreTakenAsTheServerSendsThem) {
  // A layout numbered three past the last: the elements are asked for every number up to it.
  std::vector<ds::LayoutDef> layout;
  ASSERT_TRUE(store_.Layouts(sample::kSales, &layout).ok());
  ds::LayoutDef ultimo = layout.back();
  ultimo.idx += 3;
  ASSERT_TRUE(store_.AddLayout(sample::kSales, ultimo).ok());
  // 28 more users with a filter in the system (30 in the first list) and 20 without (the second).
  for (int i = 1; i <= 48; ++i) {
    const std::string nome = "U" + std::to_string(i);
    ASSERT_TRUE(store_.AddUser(ds::UserDef{nome, "", 10 + i}).ok());
    if (i <= 28) {
      ASSERT_TRUE(store_.AddUserFilter(sample::kSales, nome, 1, ds::UserFilterDef{3, "i", "*", " "}).ok());
    }
  }
  // Keys up to the 128 a list holds: no end mark at all.
  std::vector<ds::KeyDef> chiavi;
  ASSERT_TRUE(store_.Keys(sample::kSales, &chiavi).ok());
  ds::KeyDef k = chiavi.back();
  for (int idx = 130; chiavi.size() < 128; ++idx) {
    k.idx = idx;
    chiavi.push_back(k);
    ASSERT_TRUE(store_.AddKey(sample::kSales, k).ok());
  }

  // A system the server names no database for: its keys are in the entry's database.
  ASSERT_TRUE(store_.connection().Execute("UPDATE SISTEMI SET DBSQL = '' WHERE SINF = 'VENDITE'").ok());

  Replica({Voce()});
  EXPECT_TRUE(host.shown().empty());
  // DBSQL of each system in the systems list (offset 21 of each 199-byte record).
  EXPECT_EQ(pg_.Query("KYXREPLICA", "SELECT rtrim(convert_from(substring(dati from 22 for 50), 'LATIN1')) || ',' || "
                                    "rtrim(convert_from(substring(dati from 221 for 50), 'LATIN1')) FROM kyx_master "
                                    "WHERE chiave = 'VENDITE   E'"),
            "KYXREPLICA,KYXORD");
  EXPECT_EQ(Conta("L_"), ultimo.idx);
  EXPECT_EQ(Conta("D_"), ultimo.idx);
  EXPECT_EQ(Conta("UF"), 50);
  EXPECT_EQ(Conta("UA"), 50);
  EXPECT_EQ(Utenti_Replica[30], text::fixed("U28", 10));
  EXPECT_EQ(Utenti_Replica[50], text::fixed("U48", 10));
  EXPECT_EQ(Utenti_Replica[51], "");
  // Operator "i" with the value "*": flag "N" (not blocked), operator "="; the user's key keeps
  // its blanks.
  const std::string u1 = text::fixed("VENDITE", 10) + "UF" + text::fixed("U1", 10);
  EXPECT_EQ(Esadecimale(u1, 1, 2), "033d");        // key 3, "="
  EXPECT_EQ(Esadecimale(u1, 1027, 1), "4e");        // "N"
  // The keys: seven requests of 21, the last for 2 records, and 128 records of 330 bytes.
  std::vector<std::string> offset;
  for (const auto& r : server_->Requests()) {
    if (r.text.rfind("a00012", 0) == 0 && std::stol(r.text.substr(6, 7)) < 49408) offset.push_back(r.text.substr(6));
  }
  EXPECT_EQ(offset, (std::vector<std::string>{"000025608064", "000832008064", "001638408064", "002444808064",
                                               "003251208064", "004057608064", "004864000768"}));
  EXPECT_EQ(pg_.Query("KYXREPLICA", "SELECT length(dati) FROM kyx_master WHERE chiave = 'VENDITE   K'"), "42240");
}

TEST_F(Trasferimenti, ANumberTooLargeForItsFieldLeavesTheLastCopy) {
  Replica({Voce()});
  ASSERT_TRUE(host.shown().empty());
  const std::string prima = Righe();
  std::vector<ds::KeyDef> chiavi;
  ASSERT_TRUE(store_.Keys(sample::kSales, &chiavi).ok());
  ds::KeyDef k = chiavi.back();
  k.idx = 300;  // a key number is one byte
  ASSERT_TRUE(store_.AddKey(sample::kSales, k).ok());
  host.expect("non completata");
  Replica({Voce()});
  EXPECT_EQ(host.pending(), 0u);
  EXPECT_EQ(host.shown().size(), 1u);  // the transfer itself says nothing
  EXPECT_EQ(Righe(), prima);
}

}  // namespace
}  // namespace kyx
