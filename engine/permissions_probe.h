// The `ask-permissions` directive: library code calling the host's SystemPermissionsService through
// the library's own generated client. The calls are made by a small library-side image (the probe),
// loaded next to the engine, because the engine itself never links the library's generated classes.
#ifndef ENGINE_PERMISSIONS_PROBE_H_
#define ENGINE_PERMISSIONS_PROBE_H_

#include <string>
#include <string_view>

namespace engine {

class Session;

bool AskPermissions(Session& session, std::string_view arguments, std::string* error);

}  // namespace engine

#endif  // ENGINE_PERMISSIONS_PROBE_H_
