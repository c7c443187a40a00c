// The bridge's cases: inbound and outgoing calls and their floors.
#include "bridge_calls.h"
#include "driver.h"

namespace ondrel::bench {
namespace {

const bool registered = [] {
  AddCase<&InboundFloorEmpty>("inbound_floor_empty", &PrepareBridge,
                              Timing::kProcessCpuAndTwoThreads);
  AddCase<&InboundEmpty>("inbound_empty", &PrepareBridge, Timing::kProcessCpuAndTwoThreads);
  AddCase<&InboundFloorSmall>("inbound_floor_small", &PrepareBridge);
  AddCase<&InboundSmall>("inbound_small", &PrepareBridge);
  AddCase<&InboundPayloadSmall>("inbound_payload_4kib", &PrepareBridge);
  AddCase<&InboundPayloadLarge>("inbound_payload_1mib", &PrepareBridge);
  AddCase<&OutgoingFloorEmpty>("outgoing_floor_empty", &PrepareBridge);
  AddCase<&OutgoingEmpty>("outgoing_empty", &PrepareBridge, Timing::kProcessCpuAndTwoThreads);
  return true;
}();

}  // namespace
}  // namespace ondrel::bench
