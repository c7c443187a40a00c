// The library's C boundary with the host runtime: the answer function types and the three exported
// entry points. A call in either direction is one request and exactly one answer carrying the same
// id.
//
// Every pointer passed across the boundary (names, payloads, texts) is valid only during the call
// that passes it; the receiver copies what it keeps. Every function here may be called from any
// thread.
#ifndef SRC_NATIVE_RPC_HOST_BOUNDARY_H_
#define SRC_NATIVE_RPC_HOST_BOUNDARY_H_

#include <cstddef>
#include <cstdint>

#include "rpc/export.h"

extern "C" {

// Successful answer of call `id`: `len` bytes of the response message in protobuf binary encoding.
typedef void (*ReplyFn)(uint64_t id, const char* data, size_t len);

// Failed answer of call `id`: a NUL-terminated UTF-8 text. The library always passes a non-null
// text; a null text from the host means the empty text.
typedef void (*RejectFn)(uint64_t id, const char* error);

// The host's call-out function: the same shape as `invoke`, in the other direction. The host
// answers through exactly one of `reply` and `reject`, then or later, from any thread.
typedef void (*HostInvokeFn)(uint64_t id, const char* service, const char* method, const char* data,
                             size_t len, ReplyFn reply, RejectFn reject);

// Starts the library: registers its services. The host calls it before routing calls to them.
KZ_EXPORT void AppMain(void);

// One inbound call of `service`.`method` with the request bytes `data`/`len`. Answered exactly
// once, through `reply` or `reject`, on the calling thread, before `invoke` returns. A call without
// a reply or a reject function cannot be answered and is dropped without running anything.
KZ_EXPORT void invoke(uint64_t id, const char* service, const char* method, const char* data,
                      size_t len, ReplyFn reply, RejectFn reject);

// Installs, replaces or (with null) removes the host's call-out function. Calls already passed to
// the host stay pending and are still completed by a later answer.
KZ_EXPORT void set_host_invoke(HostInvokeFn fn);

}  // extern "C"

// Creates the library's services and registers them with the transport, in their fixed order. The
// objects live until the process ends. Called by `AppMain`.
KZ_EXPORT void launch();

#endif  // SRC_NATIVE_RPC_HOST_BOUNDARY_H_
