// The delegating default zone, registered in the test's own process (each test runs in a process
// of its own): where it ends up in the zone list, what each of its operations does, and how the
// registration ends the process when the zone list is not as expected.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <malloc/malloc.h>
#include <signal.h>

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "delegating_default_zone.h"
#include "launcher_test_support.h"
#include "standin/crash_reports.h"
#include "standin/faults.h"

namespace ondrel::testing {
namespace {

constexpr char kDelegatingZoneName[] = "DelegatingDefaultZoneForPartitionAlloc";

std::vector<malloc_zone_t*> Zones() {
  vm_address_t* addresses = nullptr;
  unsigned count = 0;
  EXPECT_EQ(malloc_get_all_zones(mach_task_self(), nullptr, &addresses, &count), KERN_SUCCESS);
  std::vector<malloc_zone_t*> zones;
  for (unsigned i = 0; i < count; ++i)
    zones.push_back(reinterpret_cast<malloc_zone_t*>(addresses[i]));
  return zones;
}

std::vector<std::string> ZoneNames() {
  std::vector<std::string> names;
  for (malloc_zone_t* zone : Zones())
    names.emplace_back(zone->zone_name != nullptr ? zone->zone_name : "");
  return names;
}

// Makes `zone` the only zone of the list, so the registration saves it as the default zone.
void MakeOnlyZone(malloc_zone_t* zone) {
  malloc_zone_unregister(malloc_default_zone());
  ASSERT_TRUE(Zones().empty());
  malloc_zone_register(zone);
}

// A zone that records every call made to it and answers with recognisable values.
struct Call {
  std::string operation;
  malloc_zone_t* zone;
  std::vector<uintptr_t> arguments;
  bool operator==(const Call&) const = default;
};

std::vector<Call> calls;

void* Sentinel(uintptr_t n) { return reinterpret_cast<void*>(0x5000 + n); }
uintptr_t Bits(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

void Record(const char* operation, malloc_zone_t* zone, std::vector<uintptr_t> arguments) {
  calls.push_back({operation, zone, std::move(arguments)});
}

malloc_introspection_t RecordingIntrospection() {
  malloc_introspection_t introspection{};
  introspection.good_size = [](malloc_zone_t* zone, size_t size) -> size_t {
    Record("good_size", zone, {size});
    return 4096;
  };
  return introspection;
}

malloc_introspection_t recording_introspection = RecordingIntrospection();

malloc_zone_t RecordingZone(unsigned version, bool with_try_free_default) {
  malloc_zone_t zone{};
  zone.zone_name = "RecordingZone";
  zone.version = version;
  zone.introspect = &recording_introspection;
  zone.size = [](malloc_zone_t* z, const void* p) -> size_t {
    Record("size", z, {Bits(p)});
    return 999;
  };
  zone.malloc = [](malloc_zone_t* z, size_t size) {
    Record("malloc", z, {size});
    return Sentinel(1);
  };
  zone.calloc = [](malloc_zone_t* z, size_t count, size_t size) {
    Record("calloc", z, {count, size});
    return Sentinel(2);
  };
  zone.valloc = [](malloc_zone_t* z, size_t size) {
    Record("valloc", z, {size});
    return Sentinel(3);
  };
  zone.free = [](malloc_zone_t* z, void* p) { Record("free", z, {Bits(p)}); };
  zone.realloc = [](malloc_zone_t* z, void* p, size_t size) {
    Record("realloc", z, {Bits(p), size});
    return Sentinel(4);
  };
  zone.batch_malloc = [](malloc_zone_t* z, size_t size, void** results, unsigned n) -> unsigned {
    Record("batch_malloc", z, {size, Bits(results), n});
    return 2;
  };
  zone.batch_free = [](malloc_zone_t* z, void** blocks, unsigned n) {
    Record("batch_free", z, {Bits(blocks), n});
  };
  zone.memalign = [](malloc_zone_t* z, size_t alignment, size_t size) {
    Record("memalign", z, {alignment, size});
    return Sentinel(5);
  };
  zone.free_definite_size = [](malloc_zone_t* z, void* p, size_t size) {
    Record("free_definite_size", z, {Bits(p), size});
  };
  zone.pressure_relief = [](malloc_zone_t* z, size_t goal) -> size_t {
    Record("pressure_relief", z, {goal});
    return 77;
  };
  if (with_try_free_default) {
    zone.try_free_default = [](malloc_zone_t* z, void* p) {
      Record("try_free_default", z, {Bits(p)});
    };
  }
  return zone;
}

TEST(DelegatingZoneTest, RegistrationPutsItFirstBeforeTheDefaultAndPurgeableZones) {
  malloc_zone_t* default_zone = malloc_default_zone();

  RegisterDelegatingDefaultZone();

  EXPECT_THAT(ZoneNames(), ::testing::ElementsAre(kDelegatingZoneName, "DefaultMallocZone",
                                                  "DefaultPurgeableMallocZone"));
  std::vector<malloc_zone_t*> zones = Zones();
  EXPECT_EQ(zones[1], default_zone);
  EXPECT_EQ(zones[2], malloc_default_purgeable_zone());
  EXPECT_EQ(malloc_default_zone(), zones[0]);
}

TEST(DelegatingZoneTest, ZoneAndIntrospectionTables) {
  RegisterDelegatingDefaultZone();
  malloc_zone_t* zone = Zones()[0];

  EXPECT_EQ(zone->reserved1, nullptr);
  EXPECT_EQ(zone->reserved2, nullptr);
  EXPECT_STREQ(zone->zone_name, kDelegatingZoneName);
  EXPECT_EQ(zone->version, 13u);
  EXPECT_EQ(zone->destroy, nullptr);
  EXPECT_EQ(zone->claimed_address, nullptr);
  int local = 0;
  EXPECT_EQ(zone->size(zone, &local), 0u);
  EXPECT_EQ(zone->pressure_relief(zone, 1 << 20), 0u);

  malloc_introspection_t* introspect = zone->introspect;
  ASSERT_NE(introspect, nullptr);
  static bool recorded = false;
  auto recorder = [](task_t, void*, unsigned, vm_range_t*, unsigned) { recorded = true; };
  EXPECT_EQ(introspect->enumerator(mach_task_self(), nullptr, MALLOC_PTR_IN_USE_RANGE_TYPE,
                                   Bits(zone), nullptr, recorder),
            KERN_SUCCESS);
  EXPECT_FALSE(recorded);
  EXPECT_EQ(introspect->check(zone), 1u);
  EXPECT_EQ(introspect->zone_locked(zone), 0u);
  EXPECT_EQ(introspect->enable_discharge_checking(zone), 0u);
  malloc_statistics_t stats{7, 8, 9, 10};
  introspect->statistics(zone, &stats);
  EXPECT_EQ(stats.blocks_in_use, 7u);
  EXPECT_EQ(stats.size_in_use, 8u);
  EXPECT_EQ(stats.max_size_in_use, 9u);
  EXPECT_EQ(stats.size_allocated, 10u);
  // The operations that do nothing can be called.
  introspect->print(zone, 1);
  introspect->log(zone, &local);
  introspect->force_lock(zone);
  introspect->force_unlock(zone);
  introspect->disable_discharge_checking(zone);
  introspect->discharge(zone, &local);
  introspect->reinit_lock(zone);
  EXPECT_EQ(introspect->enumerate_discharged_pointers, nullptr);
  EXPECT_EQ(introspect->print_task, nullptr);
  EXPECT_EQ(introspect->task_statistics, nullptr);
  EXPECT_EQ(introspect->zone_type, 0u);
}

TEST(DelegatingZoneTest, OperationsForwardToTheSavedZoneWithItsArguments) {
  static malloc_zone_t saved = RecordingZone(13, true);
  MakeOnlyZone(&saved);
  RegisterDelegatingDefaultZone();
  malloc_zone_t* zone = Zones()[0];
  ASSERT_NE(zone, &saved);
  void* results[4];
  void* blocks[2] = {Sentinel(8), Sentinel(9)};

  struct Case {
    uintptr_t (*call)(malloc_zone_t* zone, void** results, void** blocks);
    uintptr_t result;
    Call expected;
  };
  const Case cases[] = {
      {[](malloc_zone_t* z, void**, void**) { return Bits(z->malloc(z, 24)); },
       Bits(Sentinel(1)),
       {"malloc", &saved, {24}}},
      {[](malloc_zone_t* z, void**, void**) { return Bits(z->calloc(z, 3, 40)); },
       Bits(Sentinel(2)),
       {"calloc", &saved, {3, 40}}},
      {[](malloc_zone_t* z, void**, void**) { return Bits(z->valloc(z, 5000)); },
       Bits(Sentinel(3)),
       {"valloc", &saved, {5000}}},
      {[](malloc_zone_t* z, void**, void**) {
         z->free(z, Sentinel(6));
         return uintptr_t{0};
       },
       0,
       {"free", &saved, {Bits(Sentinel(6))}}},
      {[](malloc_zone_t* z, void**, void**) { return Bits(z->realloc(z, Sentinel(6), 99)); },
       Bits(Sentinel(4)),
       {"realloc", &saved, {Bits(Sentinel(6)), 99}}},
      {[](malloc_zone_t* z, void** r, void**) { return uintptr_t{z->batch_malloc(z, 32, r, 4)}; },
       2,
       {"batch_malloc", &saved, {32, 0, 4}}},
      {[](malloc_zone_t* z, void**, void** b) {
         z->batch_free(z, b, 2);
         return uintptr_t{0};
       },
       0,
       {"batch_free", &saved, {0, 2}}},
      {[](malloc_zone_t* z, void**, void**) { return Bits(z->memalign(z, 256, 1000)); },
       Bits(Sentinel(5)),
       {"memalign", &saved, {256, 1000}}},
      {[](malloc_zone_t* z, void**, void**) {
         z->free_definite_size(z, Sentinel(7), 48);
         return uintptr_t{0};
       },
       0,
       {"free_definite_size", &saved, {Bits(Sentinel(7)), 48}}},
      {[](malloc_zone_t* z, void**, void**) {
         z->try_free_default(z, Sentinel(7));
         return uintptr_t{0};
       },
       0,
       {"try_free_default", &saved, {Bits(Sentinel(7))}}},
      {[](malloc_zone_t* z, void**, void**) {
         return uintptr_t{z->introspect->good_size(z, 1000)};
       },
       4096,
       {"good_size", &saved, {1000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected.operation);
    calls.clear();
    Case expected = c;
    // The array arguments are the caller's own arrays, passed on as they are.
    if (c.expected.operation == "batch_malloc") expected.expected.arguments[1] = Bits(results);
    if (c.expected.operation == "batch_free") expected.expected.arguments[0] = Bits(blocks);
    EXPECT_EQ(c.call(zone, results, blocks), c.result);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], expected.expected);
  }
  // Neither `size` nor `pressure_relief` asks the saved zone.
  calls.clear();
  EXPECT_EQ(zone->size(zone, Sentinel(1)), 0u);
  EXPECT_EQ(zone->pressure_relief(zone, 100), 0u);
  EXPECT_TRUE(calls.empty());
}

struct TryFreeDefaultCase {
  unsigned saved_version;
  bool saved_has_it;
  bool offered;
};

void PrintTo(const TryFreeDefaultCase& c, std::ostream* out) {
  *out << "version " << c.saved_version << (c.saved_has_it ? " with" : " without")
       << " try_free_default";
}

std::string TryFreeDefaultName(const ::testing::TestParamInfo<TryFreeDefaultCase>& info) {
  return "Version" + std::to_string(info.param.saved_version) +
         (info.param.saved_has_it ? "WithTryFreeDefault" : "WithoutTryFreeDefault");
}

class TryFreeDefaultTest : public ::testing::TestWithParam<TryFreeDefaultCase> {};

TEST_P(TryFreeDefaultTest, OfferedOnlyWhenTheSavedZoneHasIt) {
  static malloc_zone_t saved;
  saved = RecordingZone(GetParam().saved_version, GetParam().saved_has_it);
  MakeOnlyZone(&saved);

  RegisterDelegatingDefaultZone();

  malloc_zone_t* zone = Zones()[0];
  EXPECT_EQ(zone->version, 13u);
  EXPECT_EQ(zone->try_free_default != nullptr, GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(SavedZones, TryFreeDefaultTest,
                         ::testing::Values(TryFreeDefaultCase{12, true, false},
                                           TryFreeDefaultCase{13, false, false},
                                           TryFreeDefaultCase{13, true, true},
                                           TryFreeDefaultCase{14, true, true}),
                         TryFreeDefaultName);

TEST(DelegatingZoneTest, BlockFromTheDefaultZoneBelongsToTheSavedZone) {
  RegisterDelegatingDefaultZone();
  std::vector<malloc_zone_t*> zones = Zones();
  malloc_zone_t* delegating = zones[0];
  malloc_zone_t* saved = zones[1];
  malloc_statistics_t before{};
  saved->introspect->statistics(saved, &before);

  void* block = malloc_default_zone()->malloc(malloc_default_zone(), 100);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(delegating->size(delegating, block), 0u);
  EXPECT_GE(saved->size(saved, block), 100u);
  malloc_statistics_t during{};
  saved->introspect->statistics(saved, &during);
  EXPECT_EQ(during.blocks_in_use, before.blocks_in_use + 1);

  malloc_default_zone()->free(malloc_default_zone(), block);
  EXPECT_EQ(saved->size(saved, block), 0u);
  malloc_statistics_t after{};
  saved->introspect->statistics(saved, &after);
  EXPECT_EQ(after.blocks_in_use, before.blocks_in_use);
}

// The ways the registration ends the process, each in a child of the test: the abort and the crash
// report's reason, and nothing on standard error.
class RegistrationAbortTest : public ::testing::Test {
 protected:
  void ExpectAbortsWith(void (*arrange)(), const std::string& reason) {
    EXPECT_EXIT(
        {
          arrange();
          RegisterDelegatingDefaultZone();
          std::exit(0);
        },
        ::testing::KilledBySignal(SIGABRT), ::testing::IsEmpty());
    std::vector<standin::CrashReport> reports = standin::ReadCrashReports(home_.path());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].reason, reason);
  }

  void ExpectRegisters(void (*arrange)()) {
    EXPECT_EXIT(
        {
          arrange();
          RegisterDelegatingDefaultZone();
          std::exit(Zones()[0]->zone_name == std::string(kDelegatingZoneName) ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(standin::ReadCrashReports(home_.path()).empty());
  }

  ScopedHome home_;
};

TEST_F(RegistrationAbortTest, SecondRegistration) {
  ExpectAbortsWith(RegisterDelegatingDefaultZone,
                   "The delegating default zone has unexpectedly already been registered.");
}

template <const char* kName>
void RegisterZoneNamed() {
  static malloc_zone_t zone{};
  zone.zone_name = kName;
  zone.version = 13;
  malloc_zone_register(&zone);
}

constexpr char kPartitionAlloc[] = "PartitionAlloc";
constexpr char kLongerName[] = "PartitionAllocZone";
constexpr char kShorterName[] = "PartitionAllo";
constexpr char kPart[] = "Partition";
constexpr char kEmpty[] = "";
constexpr char kDelegatingPlus[] = "DelegatingDefaultZoneForPartitionAlloc2";
constexpr char kDelegatingShort[] = "DelegatingDefaultZone";

void RegisterUnnamedZone() {
  static malloc_zone_t zone{};
  malloc_zone_register(&zone);
}

TEST_F(RegistrationAbortTest, ZoneNamedExactlyPartitionAlloc) {
  ExpectAbortsWith(RegisterZoneNamed<kPartitionAlloc>,
                   "The PartitionAlloc default zone has unexpectedly already been registered.");
}

TEST_F(RegistrationAbortTest, ZoneNamedExactlyLikeTheDelegatingZone) {
  ExpectAbortsWith(RegisterZoneNamed<kDelegatingZoneName>,
                   "The delegating default zone has unexpectedly already been registered.");
}

TEST_F(RegistrationAbortTest, NamesThatOnlyResembleDoNotMatch) {
  for (void (*arrange)() :
       {RegisterZoneNamed<kLongerName>, RegisterZoneNamed<kShorterName>, RegisterZoneNamed<kPart>,
        RegisterZoneNamed<kEmpty>, RegisterZoneNamed<kDelegatingPlus>,
        RegisterZoneNamed<kDelegatingShort>, RegisterUnnamedZone}) {
    ExpectRegisters(arrange);
  }
}

// Zone list failures, made to happen by failure injection. The enumerations are counted from the
// registration's start: 1 reads the saved zone, 2 and 3 look for the two names, 4 checks the
// result.
struct ZoneListFault {
  const char* faults;
  const char* reason;  // null: the registration succeeds
};

void PrintTo(const ZoneListFault& f, std::ostream* out) { *out << f.faults; }

// "malloc_get_all_zones@1=empty" -> "malloc_get_all_zones_1_empty".
std::string ZoneListFaultName(const ::testing::TestParamInfo<ZoneListFault>& info) {
  std::string name = info.param.faults;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class ZoneListFaultTest : public RegistrationAbortTest,
                          public ::testing::WithParamInterface<ZoneListFault> {};

TEST_P(ZoneListFaultTest, EndsWithItsReason) {
  static const char* faults;
  faults = GetParam().faults;
  auto arrange = [] { ASSERT_TRUE(standin::ArmFaults(faults)); };
  if (GetParam().reason == nullptr) {
    ExpectRegisters(arrange);
  } else {
    ExpectAbortsWith(arrange, GetParam().reason);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ZoneListFaultTest,
    ::testing::Values(
        ZoneListFault{"malloc_get_all_zones@1", "Cannot enumerate malloc zones."},
        ZoneListFault{"malloc_get_all_zones@2", "Cannot enumerate malloc zones."},
        ZoneListFault{"malloc_get_all_zones@3", "Cannot enumerate malloc zones."},
        ZoneListFault{"malloc_get_all_zones@4", "Cannot enumerate malloc zones."},
        // A list with no entries where the first entry is read.
        ZoneListFault{"malloc_get_all_zones@1=empty", "Cannot enumerate malloc zones."},
        ZoneListFault{"malloc_get_all_zones@4=empty", "Cannot enumerate malloc zones."},
        // A null list that claims entries, in any enumeration.
        ZoneListFault{"malloc_get_all_zones@1=null", "Cannot enumerate malloc zones."},
        ZoneListFault{"malloc_get_all_zones@3=null", "Cannot enumerate malloc zones."},
        // An empty list where names are looked for matches nothing.
        ZoneListFault{"malloc_get_all_zones@2=empty", nullptr},
        ZoneListFault{"malloc_get_all_zones@3=empty", nullptr},
        // The delegating zone's own registration is lost.
        ZoneListFault{"malloc_zone_register@1",
                      "Failed to install the delegating zone as default."}),
    ZoneListFaultName);

}  // namespace
}  // namespace ondrel::testing
