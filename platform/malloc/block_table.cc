#include "block_table.h"

#include <sys/mman.h>

namespace standin {
namespace {

constexpr size_t kFirstCapacity = 256;

}  // namespace

uint64_t BlockTable::Hash(uintptr_t block) {
  // Blocks are 16-byte aligned: the low bits carry nothing.
  return (static_cast<uint64_t>(block) >> 4) * 0x9E3779B97F4A7C15u;
}

size_t BlockTable::HomeSlot(const Stripe& stripe, uint64_t hash) {
  return static_cast<size_t>(hash >> 16) & (stripe.capacity - 1);
}

size_t BlockTable::Find(const Stripe& stripe, uintptr_t block) {
  if (stripe.capacity == 0) return 0;
  const size_t mask = stripe.capacity - 1;
  for (size_t slot = HomeSlot(stripe, Hash(block));; slot = (slot + 1) & mask) {
    if (stripe.slots[slot].block == block) return slot;
    if (stripe.slots[slot].block == 0) return stripe.capacity;
  }
}

bool BlockTable::Grow(Stripe& stripe) {
  const size_t capacity = stripe.capacity == 0 ? kFirstCapacity : stripe.capacity * 2;
  void* memory = mmap(nullptr, capacity * sizeof(Entry), PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return false;
  Entry* old_slots = stripe.slots;
  const size_t old_capacity = stripe.capacity;
  stripe.slots = static_cast<Entry*>(memory);  // zero-filled: every slot free
  stripe.capacity = capacity;
  for (size_t i = 0; i < old_capacity; ++i) {
    if (old_slots[i].block == 0) continue;
    size_t slot = HomeSlot(stripe, Hash(old_slots[i].block));
    while (stripe.slots[slot].block != 0) slot = (slot + 1) & (capacity - 1);
    stripe.slots[slot] = old_slots[i];
  }
  if (old_slots != nullptr) munmap(old_slots, old_capacity * sizeof(Entry));
  return true;
}

bool BlockTable::Insert(const void* block, size_t size) {
  const uintptr_t key = reinterpret_cast<uintptr_t>(block);
  const uint64_t hash = Hash(key);
  Stripe& stripe = StripeOf(hash);
  std::lock_guard<std::mutex> hold(stripe.lock);
  // At most three quarters full, so a probe always meets a free slot.
  if ((stripe.used + 1) * 4 > stripe.capacity * 3 && !Grow(stripe)) return false;
  const size_t mask = stripe.capacity - 1;
  size_t slot = HomeSlot(stripe, hash);
  while (stripe.slots[slot].block != 0 && stripe.slots[slot].block != key) {
    slot = (slot + 1) & mask;
  }
  if (stripe.slots[slot].block == key) {
    stripe.bytes -= stripe.slots[slot].size;
  } else {
    ++stripe.used;
  }
  stripe.slots[slot] = Entry{key, size};
  stripe.bytes += size;
  return true;
}

bool BlockTable::Remove(const void* block, size_t* size) {
  const uintptr_t key = reinterpret_cast<uintptr_t>(block);
  Stripe& stripe = StripeOf(Hash(key));
  std::lock_guard<std::mutex> hold(stripe.lock);
  size_t hole = Find(stripe, key);
  if (hole == stripe.capacity) return false;
  if (size != nullptr) *size = stripe.slots[hole].size;
  stripe.bytes -= stripe.slots[hole].size;
  --stripe.used;
  // Backward-shift deletion: move later entries of the probe run into the hole when their home
  // slot does not lie between the hole and where they sit.
  const size_t mask = stripe.capacity - 1;
  for (size_t next = (hole + 1) & mask; stripe.slots[next].block != 0; next = (next + 1) & mask) {
    const size_t home = HomeSlot(stripe, Hash(stripe.slots[next].block));
    const bool stays = hole <= next ? (hole < home && home <= next) : (hole < home || home <= next);
    if (stays) continue;
    stripe.slots[hole] = stripe.slots[next];
    hole = next;
  }
  stripe.slots[hole] = Entry{0, 0};
  return true;
}

size_t BlockTable::SizeOf(const void* block) {
  const uintptr_t key = reinterpret_cast<uintptr_t>(block);
  if (key == 0) return 0;
  Stripe& stripe = StripeOf(Hash(key));
  std::lock_guard<std::mutex> hold(stripe.lock);
  size_t slot = Find(stripe, key);
  return slot == stripe.capacity ? 0 : stripe.slots[slot].size;
}

void BlockTable::Totals(size_t* blocks, size_t* bytes) {
  *blocks = 0;
  *bytes = 0;
  for (Stripe& stripe : stripes_) {
    std::lock_guard<std::mutex> hold(stripe.lock);
    *blocks += stripe.used;
    *bytes += stripe.bytes;
  }
}

void BlockTable::LockAll() {
  for (Stripe& stripe : stripes_) stripe.lock.lock();
}

void BlockTable::UnlockAll() {
  for (Stripe& stripe : stripes_) stripe.lock.unlock();
}

}  // namespace standin
