// The services the host runtime offers the library behind its call-out function. It serves
// SystemPermissionsService from the simulated system's privacy settings and rejects every other
// call with a text that names it. Answers come at once, or later from a worker thread for a
// permission request that waits for the user, as a real host's would.
#ifndef ENGINE_HOST_SERVICES_H_
#define ENGINE_HOST_SERVICES_H_

#include <cstddef>
#include <cstdint>

#include "client_library.h"

namespace engine {

// The call-out function the engine installs with set_host_invoke. Any thread.
void HostInvoke(uint64_t id, const char* service, const char* method, const char* data, size_t len,
                ReplyFn reply, RejectFn reject);

// Waits until every answer the host promised for later has been given.
void FinishPendingHostAnswers();

}  // namespace engine

#endif  // ENGINE_HOST_SERVICES_H_
