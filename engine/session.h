// A session: a script of lines, each a call of a library service or a directive that arranges or
// observes the simulated desktop. The session prints one line per call (the reply as JSON, or the
// rejection text) and one or more per observing directive, in order.
//
//   FrontmostAppService.SnapshotFrontmostApp
//   RecordingOverlayService.Show {"phase": "listening"}
//   screenshot listening.png
//
// A line that does not parse, names a method the schemas do not have, carries bad JSON, or whose
// call is rejected is reported with its line number and the session goes on.
//
// Threads: runs on one thread (not the main thread, which runs the main run loop meanwhile).
#ifndef ENGINE_SESSION_H_
#define ENGINE_SESSION_H_

#include <cstdint>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

#include "client_library.h"

namespace engine {

class Session {
 public:
  Session(const ClientLibrary& library, std::ostream& out);

  // Runs one line (number `number` of the script); false when it failed.
  bool RunLine(int number, std::string_view line);

  // Runs every line of `in`, printing `prompt` before each when it is not empty. Returns true when
  // every line succeeded.
  bool Run(std::istream& in, const std::string& prompt);

  // Where the output goes, for directives.
  std::ostream& out() { return out_; }

  // Sends one call to the library and reports its one answer: true with the reply bytes in
  // `answer`, or false with the rejection text. Also false, with a text saying so, if the library
  // broke the exactly-once rule.
  bool Invoke(const std::string& service, const std::string& method, const std::string& request,
              std::string* answer);

 private:
  bool RunCall(int number, std::string_view target, std::string_view json);
  bool Fail(int number, const std::string& message);

  ClientLibrary library_;
  std::ostream& out_;
  uint64_t next_id_ = 1;
};

}  // namespace engine

#endif  // ENGINE_SESSION_H_
