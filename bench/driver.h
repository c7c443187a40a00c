// The benchmark programs' common driver. A case is one operation (one call through the bridge, one
// malloc/free pair, ...). Each case is registered twice:
//   - as a Google Benchmark of the same name, timing one operation per iteration;
//   - as an instruction-count case: `<program> --count <case> <n> [<threads>]` runs the operation
//     <n> times in all (split over <threads> threads) between two callgrind client requests, so
//     that `valgrind --tool=callgrind` reports the instructions of exactly those operations.
// Any other command line goes to Google Benchmark.
#ifndef BENCH_DRIVER_H_
#define BENCH_DRIVER_H_

#include <benchmark/benchmark.h>

#include "opaque.h"

namespace ondrel::bench {

using Operation = void (*)();

// How a case is timed.
enum class Timing {
  // The CPU time of the whole process per operation: all that the operation costs, also on threads
  // it hands work to, and none of the time the process waits for a core on a busy machine.
  kProcessCpu,
  // As kProcessCpu, and `<name>_threads` also runs the operation on one and on two threads at once,
  // in real time, so that their throughputs (items per second) can be compared.
  kProcessCpuAndTwoThreads,
};

// Registers a case. `prepare` runs once before the case is first measured or counted (registering
// services, installing a host, warming caches); it may run again for other cases and must be
// idempotent.
void AddCase(const char* name, Operation prepare, Operation operation, Timing timing,
             void (*timed)(benchmark::State&));

// Registers `Op` as a case; the timed loop calls it directly, so the call can be inlined.
template <Operation Op>
void AddCase(const char* name, Operation prepare, Timing timing = Timing::kProcessCpu) {
  AddCase(name, prepare, Op, timing, [](benchmark::State& state) {
    for (auto _ : state) Op();
    state.SetItemsProcessed(state.iterations());
  });
}

// Runs the program: instruction counting for `--count`, Google Benchmark otherwise.
int Main(int argc, char** argv);

}  // namespace ondrel::bench

#endif  // BENCH_DRIVER_H_
