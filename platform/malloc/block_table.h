// The blocks a zone owns, with their sizes: how a zone backed by the system allocator answers
// `size` for its own blocks and 0 for every other pointer. Safe from the first allocation of the
// process on: constant-initialised, and its memory comes straight from mmap, never from malloc.
//
// Threads: any thread. The table is split into stripes by address, each with its own lock.
#ifndef PLATFORM_MALLOC_BLOCK_TABLE_H_
#define PLATFORM_MALLOC_BLOCK_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <mutex>

namespace standin {

class BlockTable {
 public:
  constexpr BlockTable() = default;
  BlockTable(const BlockTable&) = delete;
  BlockTable& operator=(const BlockTable&) = delete;

  // Records `block` with `size`; false when no memory is left for the record.
  bool Insert(const void* block, size_t size);
  // Forgets `block`, giving its size in `*size` when asked; false when it was not recorded.
  bool Remove(const void* block, size_t* size = nullptr);
  // The recorded size of `block`, 0 when it is not recorded.
  size_t SizeOf(const void* block);
  // The number of recorded blocks and the sum of their sizes.
  void Totals(size_t* blocks, size_t* bytes);

  // Hold every stripe (around fork, so the child finds the table unlocked and consistent).
  void LockAll();
  void UnlockAll();

 private:
  struct Entry {
    uintptr_t block;  // 0: free slot
    size_t size;
  };
  struct Stripe {
    std::mutex lock;
    Entry* slots = nullptr;  // open addressing with linear probing; capacity is a power of two
    size_t capacity = 0;
    size_t used = 0;
    size_t bytes = 0;
  };
  // Sixteen stripes: around fork both system zones hold all of theirs at once, which stays within
  // the 64 locks a thread held at once that ThreadSanitizer can follow.
  static constexpr size_t kStripeBits = 4;
  static constexpr size_t kStripes = size_t{1} << kStripeBits;

  static uint64_t Hash(uintptr_t block);
  Stripe& StripeOf(uint64_t hash) { return stripes_[hash >> (64 - kStripeBits)]; }
  static size_t HomeSlot(const Stripe& stripe, uint64_t hash);
  // The slot of `block` in `stripe`, or the capacity when it is absent. Lock held.
  static size_t Find(const Stripe& stripe, uintptr_t block);
  // Doubles the stripe's slots. Lock held.
  static bool Grow(Stripe& stripe);

  Stripe stripes_[kStripes];
};

}  // namespace standin

#endif  // PLATFORM_MALLOC_BLOCK_TABLE_H_
