// The session's directives: words that arrange and observe the simulated desktop, and `send`, which
// passes a call to the library exactly as given, for calls the schemas do not describe. `help`
// lists them all.
#ifndef ENGINE_DIRECTIVES_H_
#define ENGINE_DIRECTIVES_H_

#include <string>
#include <string_view>

namespace engine {

class Session;

// Runs directive `word` with the rest of its line `arguments`. False with `error` set when the word
// is no directive or the directive cannot be carried out.
bool RunDirective(Session& session, std::string_view word, std::string_view arguments,
                  std::string* error);

}  // namespace engine

#endif  // ENGINE_DIRECTIVES_H_
