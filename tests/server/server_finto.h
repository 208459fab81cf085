#pragma once
// A scripted data server on 127.0.0.1 for the login and download tests: it greets, answers the
// login, serves block requests by slicing the server files it is given (a slice that runs past a
// file's end comes back shorter), tells its time, hands out the description blocks in order, and
// records every request decoded through the code table. A fault script can take the place of any
// answer: send other bytes, then stay silent or drop the connection.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "server/socket.h"
#include "tests/platform/net/loopback_peer.h"

namespace kyx::test {

// Wire bytes of a Windows-1252 text through the loaded code table.
inline std::string In_Wire(const std::string& testo) {
  std::string out;
  for (char c : testo) out += static_cast<char>(Tabella_Inversa[static_cast<uint8_t>(c)]);
  return out;
}
inline std::string Da_Wire(const std::string& wire) {
  std::string out;
  for (char c : wire) out += static_cast<char>(Tabella_Caratteri[static_cast<uint8_t>(c)]);
  return out;
}

// A wire record under construction: zero bytes, fields at 1-based positions.
class Record_Wire {
 public:
  explicit Record_Wire(std::size_t n) : b_(n, '\0') {}
  Record_Wire& Testo(std::size_t pos, std::size_t larghezza, const std::string& t) {
    std::string s = t.substr(0, larghezza);
    s.resize(larghezza, ' ');
    b_.replace(pos - 1, larghezza, In_Wire(s));
    return *this;
  }
  // Unsigned binary, most significant byte first.
  Record_Wire& Bin(std::size_t pos, std::size_t larghezza, uint32_t v) {
    for (std::size_t i = 0; i < larghezza; ++i) b_[pos - 1 + larghezza - 1 - i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return *this;
  }
  // Zoned decimal digits (F sign; D for a negative number).
  Record_Wire& Zoned(std::size_t pos, std::size_t larghezza, int v) {
    char cifre[16];
    std::snprintf(cifre, sizeof cifre, "%0*d", static_cast<int>(larghezza), v < 0 ? -v : v);
    for (std::size_t i = 0; i < larghezza; ++i) b_[pos - 1 + i] = static_cast<char>(0xF0 | (cifre[i] - '0'));
    if (v < 0) b_[pos - 1 + larghezza - 1] = static_cast<char>((b_[pos - 1 + larghezza - 1] & 0x0F) | 0xD0);
    return *this;
  }
  Record_Wire& Fine(std::size_t pos) { return Testo(pos, 1, "A"); }
  const std::string& Byte() const { return b_; }

 private:
  std::string b_;
};

// A reply: status, five zoned digits of length, payload.
inline std::string Risposta(const std::string& payload, char stato = '0') {
  char testa[8];
  std::snprintf(testa, sizeof testa, "%c%05d", stato, static_cast<int>(payload.size()));
  return In_Wire(testa) + payload;
}

// One description row of a "d00015" reply.
inline std::string Riga_Descrizione(const std::string& stato, int chiave, int prog, const std::string& codice,
                                    const std::string& descrizione) {
  Record_Wire r(9);
  r.Testo(1, 1, stato).Bin(2, 2, static_cast<uint32_t>(chiave)).Bin(4, 2, static_cast<uint32_t>(prog));
  r.Bin(6, 2, static_cast<uint32_t>(codice.size())).Bin(8, 2, static_cast<uint32_t>(descrizione.size()));
  return r.Byte() + In_Wire(codice) + In_Wire(descrizione);
}

class Server_Finto {
 public:
  struct Guasto {
    std::string Byte;        // sent in place of the answer
    bool Chiudi = false;     // then the connection is dropped
    bool Silenzio = false;   // then nothing more is sent
  };
  // Server files by request kind: "a" + library (10), "c", "b" + layout (5), "m" + layout (5).
  std::map<std::string, std::string> File;
  std::string Risposta_Login;  // payload of the login reply (wire bytes)
  std::string Ora = "20240102030405";
  std::vector<std::string> Blocchi_Descrizioni;  // payloads of the "d00015" replies, in order
  // Consulted before every answer with the request's number (from 1) and text.
  std::function<std::optional<Guasto>(int, const std::string&)> Guasti;

  void Avvia() {
    peer_ = std::make_unique<LoopbackPeer>([this](PeerConnection& c) { Servi(c); });
  }
  uint16_t Porta() const { return peer_->port(); }
  // Waits for the conversation to end and returns the requests received.
  std::vector<std::string> Richieste() {
    peer_->join();
    std::lock_guard<std::mutex> l(m_);
    return richieste_;
  }

 private:
  void Servi(PeerConnection& c) {
    c.send(Risposta(""));  // greeting
    int numero = 0;
    for (;;) {
      const std::string testa = c.receive(6, 3000ms);
      if (testa.size() < 6) return;
      const std::string t = Da_Wire(testa);
      const int lunghezza = std::atoi(t.substr(1).c_str());
      const std::string richiesta = t + Da_Wire(c.receive(static_cast<std::size_t>(lunghezza), 3000ms));
      {
        std::lock_guard<std::mutex> l(m_);
        richieste_.push_back(richiesta);
      }
      ++numero;
      if (Guasti) {
        if (auto g = Guasti(numero, richiesta)) {
          c.send(g->Byte);
          if (g->Chiudi) return c.drop();
          if (g->Silenzio) {
            c.wait_for_close(3000ms);
            return;
          }
          continue;
        }
      }
      c.send(Rispondi(richiesta));
    }
  }

  std::string Rispondi(const std::string& r) {
    const char lettera = r[0];
    if (lettera == 'u') return Risposta(Risposta_Login);
    if (lettera == 'k') return Risposta(In_Wire(Ora));
    if (lettera == 'd') {
      if (descrizioni_ < Blocchi_Descrizioni.size()) return Risposta(Blocchi_Descrizioni[descrizioni_++]);
      return Risposta(In_Wire("X"));
    }
    const long offset = std::atol(r.substr(6, 7).c_str());
    const long quanti = std::atol(r.substr(13, 5).c_str());
    std::string chiave(1, lettera);
    if (lettera == 'a') chiave += r.substr(18, 10);
    if (lettera == 'b' || lettera == 'm') chiave += r.substr(18, 5);
    const auto f = File.find(chiave);
    if (f == File.end() || static_cast<std::size_t>(offset) >= f->second.size()) return Risposta("");
    return Risposta(f->second.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(quanti)));
  }

  std::unique_ptr<LoopbackPeer> peer_;
  std::mutex m_;
  std::vector<std::string> richieste_;
  std::size_t descrizioni_ = 0;
};

}  // namespace kyx::test
