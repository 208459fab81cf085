// kyx-dataserver: the data server as a program, for the demo and for trying the client by hand.
//
//   kyx-dataserver --db FILE --tbl FILE [--port N]
//       serves FILE on 127.0.0.1, printing "port N" once it listens; stops on SIGINT or SIGTERM.
//   kyx-dataserver --generate FILE [--seed N] [--size small|medium|large|worst] [--descriptions N]
//                  [--data-set-rows N]
//       writes the sample information systems into FILE and exits; "worst" writes the widest
//       structure the download can meet instead, with N descriptions (default one million);
//       --data-set-rows sets the rows of the sales data set the elaborations read (the orders
//       get a quarter), whatever the size.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "tools/dataserver/generator.h"
#include "tools/dataserver/server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

int Usage() {
  std::fprintf(stderr,
               "usage: kyx-dataserver --db FILE --tbl FILE [--port N]\n"
               "       kyx-dataserver --generate FILE [--seed N] [--size small|medium|large|worst]"
               " [--descriptions N] [--data-set-rows N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kyx::dataserver;
  std::string db, tbl, generate, size_text = "small";
  long port = 0;
  unsigned long long seed = 1;
  long long descriptions = -1;
  long long data_set_rows = -1;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (arg == "--db") db = value;
    else if (arg == "--tbl") tbl = value;
    else if (arg == "--port") port = std::strtol(value, nullptr, 10);
    else if (arg == "--generate") generate = value;
    else if (arg == "--seed") seed = std::strtoull(value, nullptr, 10);
    else if (arg == "--size") size_text = value;
    else if (arg == "--descriptions") descriptions = std::strtoll(value, nullptr, 10);
    else if (arg == "--data-set-rows") data_set_rows = std::strtoll(value, nullptr, 10);
    else return Usage();
  }

  if (!generate.empty()) {
    Status s;
    if (size_text == "worst") {
      WorstCaseOptions o;
      o.seed = seed;
      if (descriptions >= 0) o.descriptions = descriptions;
      s = GenerateWorstCase(generate, o);
    } else {
      SampleSize size;
      if (!ParseSize(size_text, &size)) return Usage();
      GeneratorOptions o = SizeOptions(size, seed);
      if (data_set_rows >= 0) o.data_set_rows = data_set_rows;
      s = GenerateSample(generate, o);
    }
    if (!s) {
      std::fprintf(stderr, "kyx-dataserver: %s\n", s.ToString().c_str());
      return 1;
    }
    return 0;
  }

  if (db.empty() || tbl.empty() || port < 0 || port > 65535) return Usage();
  ServerOptions options;
  options.database = db;
  options.code_table = tbl;
  options.port = static_cast<uint16_t>(port);
  DataServer server(options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "kyx-dataserver: %s\n", error.c_str());
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("port %u\n", static_cast<unsigned>(server.port()));
  std::fflush(stdout);
  while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  server.Stop();
  return 0;
}
