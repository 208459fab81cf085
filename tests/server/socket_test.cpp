#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/files/files.h"
#include "server/campo.h"
#include "server/socket.h"
#include "tests/platform/net/loopback_peer.h"
#include "tests/server/ambiente_socket.h"

namespace kyx {
namespace {

using namespace std::chrono_literals;
using test::LoopbackPeer;
using test::PeerConnection;

class SocketTest : public test::AmbienteSocket {
 protected:
  // Connects slot 1 to the peer.
  void Connetti(const LoopbackPeer& peer) {
    std::string Esito;
    ASSERT_EQ(Sock_Connect(1, "127.0.0.1", peer.port(), Esito, 0, false), -1);
    EXPECT_EQ(Esito, "127.0.0.1:" + std::to_string(peer.port()));
  }
  // A reply head: status and the payload length as five zoned digits.
  std::string Testa(char stato, int lunghezza) {
    char cifre[8];
    std::snprintf(cifre, sizeof cifre, "%05d", lunghezza);
    return Wire(std::string(1, stato) + cifre);
  }
};

using Clock = std::chrono::steady_clock;

TEST_F(SocketTest, StartBuildsTheInverseAndPackedTablesAndKeepsThemOnASecondStart) {
  EXPECT_TRUE(Winsock_Attivo);
  EXPECT_EQ(Tabella_Caratteri, test::Byte_Tabella(dir));
  // The generated table is one-to-one, so every character goes out and comes back unchanged.
  for (int c = 0; c < 256; ++c) {
    EXPECT_EQ(Tabella_Caratteri[Tabella_Inversa[static_cast<std::size_t>(c)]], c) << c;
  }
  EXPECT_EQ(Tabella_Inversa['A'], 0xC1);
  EXPECT_EQ(Tabella_Inversa['0'], 0xF0);
  EXPECT_EQ(Tabella_Inversa[' '], 0x40);
  EXPECT_EQ(Tabella_Packed[0x12], "12");
  EXPECT_EQ(Tabella_Packed[0x5D], "5 ");
  EXPECT_EQ(Tabella_Packed[0x9F], "9 ");

  std::string Descrizione;
  ASSERT_TRUE(files::remove_file(Percorso));
  EXPECT_TRUE(Sock_Start(Descrizione, Percorso));  // already started: the file is not read again
  EXPECT_EQ(Tabella_Inversa['A'], 0xC1);
  EXPECT_FALSE(files::file_exists(Percorso));
}

TEST_F(SocketTest, InverseTableLetTheHigherWireByteWinAndSendsUnmappedCharactersAsZero) {
  sock::reset();
  std::string bytes = "HEADER" + std::string(256, '\0');
  bytes[6 + 0x10] = 'x';
  bytes[6 + 0x20] = 'x';
  bytes[6 + 0x30] = 'y';
  dir.write("doppia.tbl", bytes);
  std::string Descrizione;
  ASSERT_TRUE(Sock_Start(Descrizione, dir.file("doppia.tbl")));
  EXPECT_EQ(Tabella_Inversa['x'], 0x20);
  EXPECT_EQ(Tabella_Inversa['y'], 0x30);
  EXPECT_EQ(Tabella_Inversa['z'], 0);
}

// An empty table would send every character as byte 0: the start fails instead, creates no
// file, and no connection can be made.
TEST_F(SocketTest, MissingOrShortTableMakesTheStartFailAndCreatesNoFile) {
  struct Caso {
    const char* nome;
    int byte;  // -1: no file
  };
  const Caso casi[] = {{"assente.tbl", -1}, {"vuota.tbl", 0}, {"corta.tbl", 261}};
  LoopbackPeer peer;  // listening: a connect would succeed if it were tried
  for (const Caso& caso : casi) {
    SCOPED_TRACE(caso.nome);
    sock::reset();
    const std::string path = dir.file(caso.nome);
    if (caso.byte >= 0) dir.write(caso.nome, std::string(static_cast<std::size_t>(caso.byte), 'Q'));
    std::string Descrizione;
    EXPECT_FALSE(Sock_Start(Descrizione, path));
    EXPECT_FALSE(Winsock_Attivo);
    EXPECT_NE(Descrizione.find(caso.nome), std::string::npos);
    EXPECT_EQ(files::file_length(path), caso.byte);
    EXPECT_EQ(Tabella_Inversa['A'], 0);
    std::string Esito;
    EXPECT_EQ(Sock_Connect(1, "127.0.0.1", peer.port(), Esito, 0, false), 0);
    EXPECT_EQ(Socket_Aperti[1], -1);
  }
  std::string Descrizione;
  EXPECT_FALSE(Sock_Start(Descrizione, dir.file("nessuna/KYX.Tbl")));
  EXPECT_FALSE(files::folder_exists(dir.file("nessuna")));
}

TEST_F(SocketTest, ExchangesExactRecordsWithTheServer) {
  const std::string richiesta = "u00085UTENTE    PASSWORD  -KYX-VENDITE";
  std::string ricevuta;
  LoopbackPeer peer([&](PeerConnection& c) {
    c.send(Testa('0', 0));  // greeting
    ricevuta = c.receive(91);
    c.send(Testa('0', 11) + Wire("S\xE0 Citt\xE0 42"));
    c.wait_for_close();
  });
  Connetti(peer);
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Campo("A", 1, 1, 0, 0), "0");
  Sock_Write(1, richiesta, 91);
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Campo("S", 2, 5, 0, 0), "00011");
  ASSERT_TRUE(Sock_Read(1, 11));
  EXPECT_EQ(Campo("A", 1, 11, 0, 0), "S\xE0 Citt\xE0 42");
  EXPECT_EQ(Byte_In_Buffer, 0);
  Sock_Close(1);
  EXPECT_EQ(Socket_Aperti[1], -1);
  ASSERT_TRUE(peer.join());
  EXPECT_EQ(ricevuta, Wire(richiesta + std::string(91 - richiesta.size(), ' ')));
}

// Each request is exactly its length: the text cut, or padded with translated blanks.
TEST_F(SocketTest, WriteSendsExactlyTheGivenLength) {
  struct Caso {
    std::string testo;
    int32_t lunghezza;
    std::string attesi;
  };
  const std::vector<Caso> casi = {
      {"ABC", 6, "\xC1\xC2\xC3\x40\x40\x40"},
      {"ABCDEFGH", 3, "\xC1\xC2\xC3"},
      {"", 4, "\x40\x40\x40\x40"},
      {"a1", 2, "\x81\xF1"},
  };
  std::string attesi, ricevuti;
  for (const Caso& caso : casi) attesi += caso.attesi;
  LoopbackPeer peer([&](PeerConnection& c) {
    ricevuti = c.receive(attesi.size() + 1);
    c.send("K");
    c.wait_for_close();
  });
  Connetti(peer);
  for (const Caso& caso : casi) Sock_Write(1, caso.testo, caso.lunghezza);
  Sock_Write(1, "ignored", 0);
  Sock_Write(1, "!", 1);
  EXPECT_TRUE(Sock_Read(1, 1));
  Sock_Close(1);
  ASSERT_TRUE(peer.join());
  EXPECT_EQ(ricevuti, attesi + "\x5A");  // the zero-length write sent nothing
}

// A request larger than the socket's send buffer goes out in several sends, each one the part
// not sent yet: the server must see every byte once, in order.
TEST_F(SocketTest, LargeWriteSendsTheRestAfterEachPartialSend) {
  Debug_Attivo = true;
  std::string testo(8 << 20, ' ');
  for (std::size_t i = 0; i < testo.size(); ++i) testo[i] = "0123456789ABCDEFGHIJ"[(i * 7 + i / 97) % 20];
  std::string ricevuti;
  LoopbackPeer peer([&](PeerConnection& c) {
    std::this_thread::sleep_for(30ms);
    ricevuti = c.receive(testo.size());
    c.send("K");
    c.wait_for_close();
  });
  Connetti(peer);
  Attese.Attesa_Lunga = 3000ms;
  Attese.Attesa_Risposta = 3000ms;  // the peer starts reading late: a pause, not a silence to give up on
  Sock_Write(1, testo, static_cast<int32_t>(testo.size()));
  // Closing resets the connection (linger 0) and drops what is still unsent: wait for the reply.
  EXPECT_TRUE(Sock_Read(1, 1));
  Sock_Close(1);
  ASSERT_TRUE(peer.join());
  ASSERT_EQ(ricevuti.size(), testo.size());
  EXPECT_TRUE(ricevuti == Wire(testo));
  const auto invii = std::count_if(host.log().begin(), host.log().end(), [](const std::string& riga) {
    return riga.find(" - inviati ") != std::string::npos;
  });
  EXPECT_GT(invii, 1);
}

// Every character of the code page goes out through Tabella_Inversa and comes back through
// Tabella_Caratteri; only the character that travels as byte 0 (NUL) comes back as "Ø".
TEST_F(SocketTest, TranslatesEveryCharacterBothWays) {
  std::string tutti;
  for (int c = 0; c < 256; ++c) tutti += static_cast<char>(c);
  std::string sul_filo;
  LoopbackPeer peer([&](PeerConnection& c) {
    sul_filo = c.receive(256);
    c.send(sul_filo);
    c.wait_for_close();
  });
  Connetti(peer);
  Sock_Write(1, tutti, 256);
  ASSERT_TRUE(Sock_Read(1, 256));
  std::string atteso = tutti;
  atteso[0] = '\xD8';
  EXPECT_EQ(Campo("A", 1, 256, 0, 0), atteso);
  std::vector<bool> visto(256, false);
  for (char b : sul_filo) visto[static_cast<uint8_t>(b)] = true;
  EXPECT_EQ(std::count(visto.begin(), visto.end(), true), 256);  // one wire byte per character
  Sock_Close(1);
}

TEST_F(SocketTest, DribbledReplyIsAssembledIntoWholeRecords) {
  LoopbackPeer peer([&](PeerConnection& c) {
    c.dribble(Testa('0', 10) + Wire("0123456789"), 3ms);
    c.wait_for_close();
  });
  Connetti(peer);
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Campo("S", 2, 5, 0, 0), "00010");
  ASSERT_TRUE(Sock_Read(1, 10));
  EXPECT_EQ(Campo("A", 1, 10, 0, 0), "0123456789");
  EXPECT_EQ(Motivo_Socket, "");  // bytes that keep arriving are no silence
  Sock_Close(1);
}

TEST_F(SocketTest, TwoRepliesInOneSegmentAreHandedOutOneByOne) {
  Debug_Attivo = true;
  LoopbackPeer peer([&](PeerConnection& c) {
    c.send(Testa('0', 4) + Wire("ABCD") + Testa('1', 0));
    c.wait_for_close();
  });
  Connetti(peer);
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Byte_In_Buffer, 10);
  ASSERT_TRUE(Sock_Read(1, 4));
  EXPECT_EQ(Campo("A", 1, 4, 0, 0), "ABCD");
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Campo("A", 1, 1, 0, 0), "1");
  EXPECT_EQ(Byte_In_Buffer, 0);
  ASSERT_GE(host.log().size(), 3u);
  EXPECT_EQ(host.log()[0], "Sock_Read  00006 - letti   00016");
  EXPECT_EQ(host.log()[1], "Sock_Read  00004 - -----   00010");
  EXPECT_EQ(host.log()[2], "Sock_Read  00006 - -----   00006");
  Sock_Close(1);
}

// A reply that stops arriving ends after one deadline of silence, not after many waits; the
// window events run all along, and the status bar says what is awaited while it waits and shows
// its earlier text again afterwards.
TEST_F(SocketTest, SilenceEndsAfterOneDeadlineWithTheWindowAliveAndTheWaitNamed) {
  Debug_Attivo = true;
  Attese.Attesa_Risposta = 400ms;
  Attese.Passo = 20ms;
  Attese.Avviso = 100ms;
  LoopbackPeer peer([&](PeerConnection& c) {
    c.send(Wire("0000"));
    c.wait_for_close();
  });
  Connetti(peer);
  host.SetPanel("Stato", "Aggiornamento Aree");
  Buffer_Record[0] = 0x77;
  const auto inizio = Clock::now();
  EXPECT_FALSE(Sock_Read(1, 6));
  const auto durata = Clock::now() - inizio;
  EXPECT_GE(durata, 400ms - 5ms);
  EXPECT_LT(durata, 2000ms);
  EXPECT_GE(host.pumps(), 5);  // the window kept running while the read waited
  EXPECT_EQ(Motivo_Socket, "nessun dato dal server per 0.4 secondi");
  EXPECT_EQ(Buffer_Record[0], 0x77);
  EXPECT_EQ(Byte_In_Buffer, 4);
  EXPECT_EQ(host.log().back().rfind("Sock_Read  00006 - non si pu\xF2 leggere - ", 0), 0u) << host.log().back();
  EXPECT_NE(std::find(host.log().begin(), host.log().end(), "Sock_Check - Time out"), host.log().end());
  const auto& p = host.panels();
  EXPECT_NE(std::find(p.begin(), p.end(), "Stato=In attesa del server: il saluto iniziale (0 s di 1)"), p.end());
  EXPECT_EQ(host.Panel("Stato"), "Aggiornamento Aree");
  Sock_Svuota(1);
  EXPECT_EQ(Byte_In_Buffer, 0);
  Sock_Close(1);
}

// Bytes that keep coming keep a reply alive however long it takes in all: the deadline is one of
// silence.
TEST_F(SocketTest, ASlowReplyThatKeepsComingIsNotCut) {
  Attese.Attesa_Risposta = 300ms;
  Attese.Passo = 20ms;
  LoopbackPeer peer([&](PeerConnection& c) {
    for (int i = 0; i < 6; ++i) {
      c.send(Wire("0"));
      std::this_thread::sleep_for(120ms);
    }
    c.wait_for_close();
  });
  Connetti(peer);
  EXPECT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Motivo_Socket, "");
  Sock_Close(1);
}

TEST_F(SocketTest, DroppedConnectionGivesFalseAtOnce) {
  Attese.Attesa_Lunga = 3000ms;
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "reset" : "closed");
    LoopbackPeer peer([&](PeerConnection& c) {
      c.send(Wire("012"));
      std::this_thread::sleep_for(20ms);
      c.drop(reset);
    });
    Connetti(peer);
    const auto inizio = Clock::now();
    EXPECT_FALSE(Sock_Read(1, 6));
    Sock_Write(1, "after the drop", 2000);  // gives up, no signal, no hang
    EXPECT_LT(Clock::now() - inizio, 1500ms);
    peer.join();
    Sock_Close(1);
  }
}

TEST_F(SocketTest, ReadLengthOutsideOneTo8192IsRefusedWithoutTouchingAnything) {
  Debug_Attivo = true;
  Byte_In_Buffer = 9000;
  for (const int32_t n : {0, -1, 8193}) EXPECT_FALSE(Sock_Read(1, n)) << n;
  EXPECT_EQ(Byte_In_Buffer, 9000);
  EXPECT_TRUE(host.log().empty());
  EXPECT_EQ(host.pumps(), 0);
}

// After a head announcing more than one read can take, the framing throws the payload away and
// the next reply is read in step.
TEST_F(SocketTest, DiscardSkipsAnOversizedPayloadAndKeepsTheRecordBuffer) {
  std::string grande(20000, '\0');
  for (std::size_t i = 0; i < grande.size(); ++i) grande[i] = static_cast<char>(i % 253);
  LoopbackPeer peer([&](PeerConnection& c) {
    c.send(Testa('0', 20000) + grande.substr(0, 7000));
    std::this_thread::sleep_for(20ms);
    c.send(grande.substr(7000) + Testa('1', 3));
    c.wait_for_close();
  });
  Connetti(peer);
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_FALSE(Sock_Read(1, 20000));
  ASSERT_TRUE(Sock_Scarta(1, 20000));
  EXPECT_EQ(Campo("S", 2, 5, 0, 0), "20000");
  ASSERT_TRUE(Sock_Read(1, 6));
  EXPECT_EQ(Campo("A", 1, 6, 0, 0), "100003");
  EXPECT_TRUE(Sock_Scarta(1, 0));
  Attese.Attesa_Risposta = 20ms;
  EXPECT_FALSE(Sock_Scarta(1, 1));  // nothing more comes
  Sock_Close(1);
}

TEST_F(SocketTest, ClosedSlotReadsAndWritesFailWithoutWaiting) {
  LoopbackPeer peer([](PeerConnection& c) { c.wait_for_close(); });
  Connetti(peer);
  Sock_Close(1);
  Sock_Close(1);  // twice: nothing happens
  Attese.Attesa_Lunga = 3000ms;
  const auto inizio = Clock::now();
  EXPECT_FALSE(Sock_Read(1, 6));
  Sock_Write(1, "x", 1);
  EXPECT_FALSE(Sock_Check(1, "R", 1));
  EXPECT_FALSE(Sock_Read(7, 6));
  EXPECT_LT(Clock::now() - inizio, 1000ms);
}

TEST_F(SocketTest, CheckWaitsForTheRequestedDirectionOnly) {
  LoopbackPeer peer([](PeerConnection& c) { c.wait_for_close(); });
  Connetti(peer);
  EXPECT_TRUE(Sock_Check(1, "W", 0));
  EXPECT_FALSE(Sock_Check(1, "R", 0));
  EXPECT_FALSE(Sock_Check(1, "r", 1));
  EXPECT_FALSE(Sock_Check(1, "", 1));
  Sock_Close(1);
}

TEST_F(SocketTest, ConnectFailsOnAnUnresolvableNameOrARefusedPortWithoutKeepingASocket) {
  std::string Esito;
  EXPECT_EQ(Sock_Connect(1, "", 7000, Esito, 0, false), 0);
  EXPECT_EQ(Esito, "");
  EXPECT_EQ(Sock_Connect(1, "255.255.255.255", 7000, Esito, 0, false), 0);
  EXPECT_EQ(Socket_Aperti[1], -1);

  uint16_t porta;
  {
    LoopbackPeer chiuso;
    porta = chiuso.port();
  }
  Byte_In_Buffer = 5;
  EXPECT_EQ(Sock_Connect(1, "localhost", porta, Esito, 0, false), 0);
  EXPECT_EQ(Esito, "127.0.0.1:" + std::to_string(porta));
  EXPECT_EQ(Socket_Aperti[1], -1);
  EXPECT_EQ(Byte_In_Buffer, 0);
}

TEST_F(SocketTest, LocalAddressAndPortOfTheConnectedSocket) {
  uint16_t vista = 0;
  LoopbackPeer peer([&](PeerConnection& c) {
    c.receive(1);
    c.wait_for_close();
  });
  Connetti(peer);
  Sock_Write(1, "x", 1);
  EXPECT_EQ(Indirizzo_Locale(1), "127.0.0.1");
  const int porta = std::stoi(Porta_Locale(1));
  vista = static_cast<uint16_t>(porta);
  EXPECT_NE(vista, 0);
  EXPECT_GE(porta, -32768);
  EXPECT_LE(porta, 32767);
  EXPECT_EQ(Indirizzo_Locale(0), "");
  EXPECT_EQ(Porta_Locale(0), "");
  EXPECT_EQ(Porta_Locale(3), "");
  EXPECT_FALSE(Nome_Host().empty());
  Sock_Close(1);
}

// Bound to a port of our choosing: a port above 32767 shows as the port minus 65536, as the
// login request expects it.
TEST_F(SocketTest, LocalPortIsASigned16BitNumber) {
  for (const int da : {20000, 40000, 65000}) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int porta = da;
    for (; porta < da + 200; ++porta) {
      at.sin_port = htons(static_cast<uint16_t>(porta));
      if (::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0) break;
    }
    ASSERT_LT(porta, da + 200);
    Socket_Aperti[2] = fd;
    EXPECT_EQ(Porta_Locale(2), std::to_string(porta > 32767 ? porta - 65536 : porta));
    EXPECT_EQ(Indirizzo_Locale(2), "127.0.0.1");
    Sock_Close(2);
  }
}

TEST_F(SocketTest, AddressesAndTheirText) {
  EXPECT_EQ(Risolvi_Host("127.0.0.1"), static_cast<int32_t>(htonl(0x7F000001)));
  EXPECT_EQ(Risolvi_Host("localhost"), static_cast<int32_t>(htonl(0x7F000001)));
  EXPECT_EQ(Risolvi_Host(""), -1);
  EXPECT_EQ(Risolvi_Host("255.255.255.255"), -1);
  EXPECT_EQ(Indirizzo_Testo(static_cast<int32_t>(htonl(0x0A000102))), "10.0.1.2");
  EXPECT_EQ(Indirizzo_Testo(-1), "255.255.255.255");
  EXPECT_EQ(Indirizzo_Testo(0), "0.0.0.0");
}

TEST_F(SocketTest, WriteDebugLinesAndLinger) {
  Debug_Attivo = true;
  LoopbackPeer peer([](PeerConnection& c) {
    c.receive(6);
    c.wait_for_close();
  });
  Connetti(peer);
  Sock_Write(1, "k00000", 6);
  EXPECT_EQ(host.log().back(), "Sock_Write 00006 - inviati 00006");
  EXPECT_EQ(Imposta_Linger(Socket_Aperti[1], 1, 0), 0);
  EXPECT_EQ(Imposta_Linger(-1, 1, 0), -1);
  Sock_Close(1);
}

TEST_F(SocketTest, StopClosesEverySocketAndStartsAgainFromTheFile) {
  LoopbackPeer peer([](PeerConnection& c) { c.wait_for_close(); });
  Connetti(peer);
  Sock_Stop();
  EXPECT_FALSE(Winsock_Attivo);
  EXPECT_EQ(Socket_Aperti[1], -1);
  EXPECT_TRUE(peer.join());  // the peer saw the connection end
  std::string Descrizione;
  EXPECT_TRUE(Sock_Start(Descrizione, Percorso));
}

}  // namespace
}  // namespace kyx
