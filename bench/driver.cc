#include "driver.h"

#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <string>
#include <thread>
#include <vector>

namespace ondrel::bench {
namespace {

struct Case {
  std::string name;
  Operation prepare;
  Operation operation;
};

std::vector<Case>& Cases() {
  static auto* cases = new std::vector<Case>();
  return *cases;
}

// Operations run before counting starts, so one-time initialisation (descriptor tables, the first
// growth of a table, lazy binding) is not counted.
constexpr int kWarmUpOperations = 100;

void RunOperations(Operation operation, long count) {
  for (long i = 0; i < count; ++i) operation();
}

int Count(const char* name, long count, int threads) {
  for (const Case& c : Cases()) {
    if (c.name != name) continue;
    c.prepare();
    RunOperations(c.operation, kWarmUpOperations);
    if (threads <= 1) {
      CALLGRIND_ZERO_STATS;
      RunOperations(c.operation, count);
      CALLGRIND_DUMP_STATS_AT(name);
      return 0;
    }
    // The threads are started before counting and released together, so their start is not counted.
    std::latch start(threads + 1);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
      workers.emplace_back([&] {
        start.arrive_and_wait();
        RunOperations(c.operation, count / threads);
      });
    }
    CALLGRIND_ZERO_STATS;
    start.arrive_and_wait();
    for (std::thread& worker : workers) worker.join();
    CALLGRIND_DUMP_STATS_AT(name);
    return 0;
  }
  std::fprintf(stderr, "no case named %s\n", name);
  return 2;
}

}  // namespace

void AddCase(const char* name, Operation prepare, Operation operation, Timing timing,
             void (*timed)(benchmark::State&)) {
  Cases().push_back(Case{name, prepare, operation});
  benchmark::RegisterBenchmark(name, timed)->MeasureProcessCPUTime();
  if (timing == Timing::kProcessCpuAndTwoThreads) {
    benchmark::RegisterBenchmark((std::string(name) + "_threads").c_str(), timed)
        ->Threads(1)
        ->Threads(2)
        ->UseRealTime();
  }
}

int Main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "--count") == 0) {
    return Count(argv[2], std::atol(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 1);
  }
  for (const Case& c : Cases()) c.prepare();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace ondrel::bench

int main(int argc, char** argv) { return ondrel::bench::Main(argc, argv); }
