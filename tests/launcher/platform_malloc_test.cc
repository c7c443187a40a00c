// The zone list and the platform's own zones: registration order, ownership answers, the
// operations of the system zones, their bookkeeping under threads, and the malloc fault.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc/malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/malloc/block_table.h"
#include "standin/faults.h"

namespace ondrel::testing {
namespace {

std::vector<malloc_zone_t*> Zones() {
  vm_address_t* addresses = nullptr;
  unsigned count = 0;
  EXPECT_EQ(malloc_get_all_zones(mach_task_self(), nullptr, &addresses, &count), KERN_SUCCESS);
  std::vector<malloc_zone_t*> zones;
  for (unsigned i = 0; i < count; ++i) {
    zones.push_back(reinterpret_cast<malloc_zone_t*>(addresses[i]));
  }
  return zones;
}

std::vector<std::string> ZoneNames() {
  std::vector<std::string> names;
  for (malloc_zone_t* zone : Zones()) names.emplace_back(zone->zone_name);
  return names;
}

size_t BlocksInUse(malloc_zone_t* zone) {
  malloc_statistics_t stats{};
  zone->introspect->statistics(zone, &stats);
  return stats.blocks_in_use;
}

malloc_zone_t NamedZone(const char* name) {
  malloc_zone_t zone{};
  zone.zone_name = name;
  return zone;
}

TEST(ZoneListTest, StartsWithTheDefaultZoneAndThePurgeableZoneJoinsOnce) {
  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre("DefaultMallocZone"));
  malloc_zone_t* purgeable = malloc_default_purgeable_zone();
  EXPECT_EQ(malloc_default_purgeable_zone(), purgeable);
  EXPECT_THAT(ZoneNames(),
              ::testing::ElementsAre("DefaultMallocZone", "DefaultPurgeableMallocZone"));
}

TEST(ZoneListTest, RegisterAppendsAndUnregisterMovesTheLastZoneIntoTheSlot) {
  malloc_zone_t* system_default = malloc_default_zone();
  static malloc_zone_t a = NamedZone("A");
  static malloc_zone_t b = NamedZone("B");
  static malloc_zone_t c = NamedZone("C");
  static malloc_zone_t unknown = NamedZone("Unknown");
  malloc_zone_register(&a);
  malloc_zone_register(&b);
  malloc_zone_register(&c);
  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre("DefaultMallocZone", "A", "B", "C"));

  malloc_zone_unregister(&a);
  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre("DefaultMallocZone", "C", "B"));
  malloc_zone_unregister(&unknown);
  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre("DefaultMallocZone", "C", "B"));

  // The default zone is whichever zone is first.
  malloc_zone_unregister(system_default);
  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre("B", "C"));
  EXPECT_EQ(malloc_default_zone(), &b);

  // An empty list leaves the process with the system's default zone.
  malloc_zone_unregister(&b);
  malloc_zone_unregister(&c);
  EXPECT_TRUE(Zones().empty());
  EXPECT_EQ(malloc_default_zone(), system_default);
}

TEST(ZoneListTest, EnumerationReadsOnlyThisProcess) {
  vm_address_t* addresses = nullptr;
  unsigned count = 0;
  EXPECT_EQ(malloc_get_all_zones(mach_task_self() + 1, nullptr, &addresses, &count),
            KERN_INVALID_ARGUMENT);
  auto reader = [](task_t, vm_address_t, vm_size_t, void**) -> kern_return_t { return 0; };
  EXPECT_EQ(malloc_get_all_zones(mach_task_self(), reader, &addresses, &count),
            KERN_INVALID_ARGUMENT);
  EXPECT_EQ(malloc_get_all_zones(mach_task_self(), nullptr, nullptr, &count),
            KERN_INVALID_ARGUMENT);
  EXPECT_EQ(malloc_get_all_zones(mach_task_self(), nullptr, &addresses, nullptr),
            KERN_INVALID_ARGUMENT);
}

TEST(SystemZoneTest, EachZoneAnswersSizeForItsOwnBlocksOnly) {
  malloc_zone_t* zone = malloc_default_zone();
  malloc_zone_t* purgeable = malloc_default_purgeable_zone();
  void* block = zone->malloc(zone, 100);
  void* purgeable_block = purgeable->malloc(purgeable, 20);
  int local = 0;
  void* foreign = new int(1);

  EXPECT_EQ(zone->size(zone, block), 112u);  // 16-byte quanta
  EXPECT_EQ(purgeable->size(purgeable, block), 0u);
  EXPECT_EQ(zone->size(zone, purgeable_block), 0u);
  EXPECT_EQ(purgeable->size(purgeable, purgeable_block), 32u);
  EXPECT_EQ(zone->size(zone, &local), 0u);
  EXPECT_EQ(zone->size(zone, foreign), 0u);
  EXPECT_EQ(malloc_size(block), 112u);
  EXPECT_EQ(malloc_size(purgeable_block), 32u);
  EXPECT_EQ(malloc_size(nullptr), 0u);

  zone->free(zone, block);
  EXPECT_EQ(zone->size(zone, block), 0u);
  // Either system zone releases a block of the other.
  zone->free(zone, purgeable_block);
  EXPECT_EQ(purgeable->size(purgeable, purgeable_block), 0u);
  EXPECT_EQ(BlocksInUse(purgeable), 0u);
  delete static_cast<int*>(foreign);
}

TEST(SystemZoneTest, AllocatingOperations) {
  malloc_zone_t* zone = malloc_default_zone();
  const size_t before = BlocksInUse(zone);
  const size_t page = static_cast<size_t>(getpagesize());

  auto* zeroed = static_cast<unsigned char*>(zone->calloc(zone, 10, 30));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(zone->size(zone, zeroed), 304u);
  for (size_t i = 0; i < 304; ++i) ASSERT_EQ(zeroed[i], 0) << i;
  EXPECT_EQ(zone->calloc(zone, SIZE_MAX / 2, 3), nullptr);

  void* aligned = zone->memalign(zone, 4096, 10);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(aligned) % 4096, 0u);
  void* paged = zone->valloc(zone, 10);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(paged) % page, 0u);
  EXPECT_EQ(zone->size(zone, paged), 16u);

  auto* grown = static_cast<char*>(zone->malloc(zone, 10));
  std::memcpy(grown, "0123456789", 10);
  grown = static_cast<char*>(zone->realloc(zone, grown, 100000));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(std::string(grown, 10), "0123456789");
  EXPECT_EQ(zone->size(zone, grown), 100000u);
  // A size of 0 keeps a minimal block.
  grown = static_cast<char*>(zone->realloc(zone, grown, 0));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(zone->size(zone, grown), 16u);

  void* batch[5] = {};
  EXPECT_EQ(zone->batch_malloc(zone, 40, batch, 5), 5u);
  for (void* block : batch) EXPECT_EQ(zone->size(zone, block), 48u);
  EXPECT_EQ(BlocksInUse(zone), before + 9);

  zone->batch_free(zone, batch, 5);
  zone->free_definite_size(zone, grown, 16);
  zone->try_free_default(zone, paged);
  zone->free(zone, aligned);
  zone->free(zone, zeroed);
  zone->free(zone, nullptr);
  EXPECT_EQ(BlocksInUse(zone), before);
  EXPECT_EQ(zone->pressure_relief(zone, 1 << 20), 0u);
  EXPECT_EQ(zone->introspect->good_size(zone, 17), 32u);
}

TEST(SystemZoneTest, BookkeepingHoldsUnderThreads) {
  malloc_zone_t* zone = malloc_default_zone();
  const size_t before = BlocksInUse(zone);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([zone, t] {
      std::vector<void*> blocks;
      for (int i = 0; i < 20000; ++i) {
        blocks.push_back(zone->malloc(zone, static_cast<size_t>(1 + (i * 7 + t) % 300)));
        if (i % 3 == 2) {
          blocks[i / 2] = zone->realloc(zone, blocks[i / 2], 64);
        }
      }
      for (void* block : blocks) {
        if (zone->size(zone, block) == 0) std::abort();
        zone->free(zone, block);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(BlocksInUse(zone), before);
}

TEST(SystemZoneTest, MallocFaultHitsOnlyTheArmedRequest) {
  malloc_zone_t* zone = malloc_default_zone();
  ASSERT_TRUE(standin::ArmFaults("malloc@2=40"));
  void* first = zone->malloc(zone, 40);
  void* other_size = zone->malloc(zone, 41);
  void* second = zone->malloc(zone, 40);
  void* third = zone->malloc(zone, 40);
  EXPECT_NE(first, nullptr);
  EXPECT_NE(other_size, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);
  for (void* block : {first, other_size, third}) zone->free(zone, block);
}

// Many blocks in, a third out, then the rest: every answer stays right as entries shift.
TEST(BlockTableTest, AnswersStayRightThroughGrowthAndRemoval) {
  static standin::BlockTable table;
  constexpr uintptr_t kCount = 100000;
  auto block = [](uintptr_t i) { return reinterpret_cast<void*>(0x10000 + i * 16 * 7919); };
  for (uintptr_t i = 0; i < kCount; ++i) ASSERT_TRUE(table.Insert(block(i), i + 1));
  for (uintptr_t i = 0; i < kCount; i += 3) ASSERT_TRUE(table.Remove(block(i)));
  for (uintptr_t i = 0; i < kCount; ++i) {
    ASSERT_EQ(table.SizeOf(block(i)), i % 3 == 0 ? 0 : i + 1) << i;
  }
  size_t blocks = 0;
  size_t bytes = 0;
  table.Totals(&blocks, &bytes);
  EXPECT_EQ(blocks, kCount - (kCount + 2) / 3);
  for (uintptr_t i = 0; i < kCount; ++i) EXPECT_EQ(table.Remove(block(i)), i % 3 != 0);
  table.Totals(&blocks, &bytes);
  EXPECT_EQ(blocks, 0u);
  EXPECT_EQ(bytes, 0u);
}

}  // namespace
}  // namespace ondrel::testing
