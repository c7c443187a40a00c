#include "faults.h"

#include <atomic>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "standin/faults.h"

namespace standin::faults {
namespace {

struct Fault {
  // Calls to let through before the failing one, plus one; 0 when disarmed.
  std::atomic<long> countdown{0};
  std::atomic<long> argument{0};
};

struct PointName {
  std::string_view name;
  Point point;
};

constexpr PointName kPointNames[] = {
    {"_NSGetExecutablePath", Point::kExecutablePath},
    {"dirname", Point::kDirname},
    {"dlopen", Point::kDlopen},
    {"dlsym", Point::kDlsym},
    {"malloc_get_all_zones", Point::kZoneEnumeration},
    {"malloc_zone_register", Point::kZoneRegister},
    {"malloc", Point::kZoneMalloc},
};
constexpr size_t kPointCount = std::size(kPointNames);

// Constant-initialised: the default zone's malloc asks before any constructor has run.
constinit Fault fault_table[kPointCount];

Fault& FaultAt(Point point) { return fault_table[static_cast<size_t>(point)]; }

bool CountDown(Fault& fault) {
  long remaining = fault.countdown.load(std::memory_order_relaxed);
  while (remaining > 0) {
    if (fault.countdown.compare_exchange_weak(remaining, remaining - 1,
                                              std::memory_order_acq_rel)) {
      return remaining == 1;
    }
  }
  return false;
}

bool ParseNumber(std::string_view text, long* value) {
  const char* end = text.data() + text.size();
  auto [next, error] = std::from_chars(text.data(), end, *value);
  return error == std::errc() && next == end;
}

struct ParsedItem {
  Point point;
  long occurrence;
  long argument;
};

bool ParseItem(std::string_view item, ParsedItem* parsed) {
  std::string_view argument;
  if (size_t equals = item.find('='); equals != std::string_view::npos) {
    argument = item.substr(equals + 1);
    item = item.substr(0, equals);
  }
  parsed->occurrence = 1;
  if (size_t at = item.find('@'); at != std::string_view::npos) {
    if (!ParseNumber(item.substr(at + 1), &parsed->occurrence) || parsed->occurrence < 1) {
      return false;
    }
    item = item.substr(0, at);
  }
  const PointName* known = nullptr;
  for (const PointName& candidate : kPointNames) {
    if (candidate.name == item) known = &candidate;
  }
  if (known == nullptr) return false;
  parsed->point = known->point;
  parsed->argument = 0;
  switch (known->point) {
    case Point::kZoneMalloc:
      return ParseNumber(argument, &parsed->argument) && parsed->argument >= 0;
    case Point::kZoneEnumeration:
      if (argument.empty() || argument == "fail") {
        parsed->argument = kEnumerationFails;
      } else if (argument == "empty") {
        parsed->argument = kEmptyList;
      } else if (argument == "null") {
        parsed->argument = kNullList;
      } else {
        return false;
      }
      return true;
    default:
      return argument.empty();
  }
}

// Calls `apply` for each item of `list`; false at the first malformed item.
template <typename Apply>
bool ForEachItem(std::string_view list, Apply apply) {
  while (!list.empty()) {
    size_t comma = list.find(',');
    std::string_view item = list.substr(0, comma);
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    ParsedItem parsed;
    if (!ParseItem(item, &parsed)) return false;
    apply(parsed);
  }
  return true;
}

__attribute__((constructor)) void ArmFaultsFromEnvironment() {
  const char* list = std::getenv(kFaultsEnvironmentVariable);
  if (list == nullptr) return;
  if (!ArmFaults(list)) {
    std::fprintf(stderr, "%s: cannot read the fault list \"%s\"\n", kFaultsEnvironmentVariable,
                 list);
    std::abort();
  }
}

}  // namespace

bool Take(Point point, long* argument) {
  Fault& fault = FaultAt(point);
  if (!CountDown(fault)) return false;
  if (argument != nullptr) *argument = fault.argument.load(std::memory_order_relaxed);
  return true;
}

bool TakeMalloc(size_t size) {
  Fault& fault = FaultAt(Point::kZoneMalloc);
  if (fault.countdown.load(std::memory_order_relaxed) == 0) return false;
  if (static_cast<size_t>(fault.argument.load(std::memory_order_relaxed)) != size) return false;
  return CountDown(fault);
}

}  // namespace standin::faults

namespace standin {

bool ArmFaults(std::string_view list) {
  using faults::ParsedItem;
  if (!faults::ForEachItem(list, [](const ParsedItem&) {})) return false;
  faults::ForEachItem(list, [](const ParsedItem& item) {
    faults::Fault& fault = faults::FaultAt(item.point);
    fault.argument.store(item.argument, std::memory_order_relaxed);
    fault.countdown.store(item.occurrence, std::memory_order_release);
  });
  return true;
}

void DisarmFaults() {
  for (faults::Fault& fault : faults::fault_table) {
    fault.countdown.store(0, std::memory_order_release);
  }
}

}  // namespace standin
