// A compiler barrier for benchmark code.
#ifndef BENCH_OPAQUE_H_
#define BENCH_OPAQUE_H_

namespace ondrel::bench {

// Keeps `value` opaque to the optimiser: it must be computed here and may have changed afterwards.
// Used instead of benchmark::DoNotOptimize, which GCC 12 miscompiles on lvalues in Google Benchmark
// 1.7.1 (a function-pointer local is dropped). `value` must fit a register: a scalar or a pointer.
template <typename T>
inline void Opaque(T& value) {
  asm volatile("" : "+r"(value) : : "memory");
}

}  // namespace ondrel::bench

#endif  // BENCH_OPAQUE_H_
