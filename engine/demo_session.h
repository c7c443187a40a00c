// The built-in demo session: every service of the library end to end on the simulated desktop.
#ifndef ENGINE_DEMO_SESSION_H_
#define ENGINE_DEMO_SESSION_H_

namespace engine {

// The demo's script, one line per call or directive.
extern const char kDemoSession[];

}  // namespace engine

#endif  // ENGINE_DEMO_SESSION_H_
