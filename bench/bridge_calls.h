// One call through the bridge in each direction, and the floor each is measured against: the work
// any bridge must do for the same call, written directly against protobuf.
//
// Inbound calls go through the exported `invoke` to services derived from the generated bases and
// registered with the transport; outgoing calls go through a generated client to a host function
// that answers at once, from inside its call-out.
#ifndef BENCH_BRIDGE_CALLS_H_
#define BENCH_BRIDGE_CALLS_H_

#include <cstddef>

namespace ondrel::bench {

// Registers the benchmark services and installs the answering host. Idempotent.
void PrepareBridge();

// AutomationService.Paste: google.protobuf.Empty in, Empty out.
void InboundEmpty();
// FrontmostAppService.RestoreFrontmostApp: an AppSnapshot (two short strings and an int32) in, a
// RestoreResult out.
void InboundSmall();
// RecordingOverlayService.Show with a phase text of 4 KiB or 1 MiB; Empty out.
inline constexpr size_t kSmallPayload = 4 << 10;
inline constexpr size_t kLargePayload = 1 << 20;
void InboundPayloadSmall();
void InboundPayloadLarge();

// The floor of an inbound call: create the request message from its prototype and decode it, make
// one virtual call into a handler, which serializes its response and calls the reply function.
void InboundFloorEmpty();
void InboundFloorSmall();

// AutomationServiceClient::Paste, answered by the host from inside its call-out with zero bytes.
void OutgoingEmpty();

// The floor of an outgoing call: serialize the request, call the host function, which answers
// through a reply function; decode the answer and hand the typed result to the caller's callback.
void OutgoingFloorEmpty();

}  // namespace ondrel::bench

#endif  // BENCH_BRIDGE_CALLS_H_
