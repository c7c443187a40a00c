#include "session.h"

#include <string>

#include "directives.h"
#include "main_thread.h"
#include "schema_pool.h"

namespace engine {
namespace {

// The answers of the call in flight on this thread: the library answers on the calling thread,
// before invoke returns.
struct AnswerSlot {
  int answers = 0;
  bool replied = false;
  std::string payload;
};

thread_local AnswerSlot* current_slot = nullptr;

void ReplyToSession(uint64_t /*id*/, const char* data, size_t len) {
  if (current_slot == nullptr) return;
  ++current_slot->answers;
  current_slot->replied = true;
  current_slot->payload.assign(data == nullptr ? "" : data, data == nullptr ? 0 : len);
}

void RejectToSession(uint64_t /*id*/, const char* error) {
  if (current_slot == nullptr) return;
  ++current_slot->answers;
  current_slot->replied = false;
  current_slot->payload = error == nullptr ? "" : error;
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

bool LooksLikeCall(std::string_view word) {
  const size_t dot = word.find('.');
  return dot != std::string_view::npos && dot > 0 && dot + 1 < word.size() &&
         word.find('.', dot + 1) == std::string_view::npos && word[0] >= 'A' && word[0] <= 'Z';
}

}  // namespace

Session::Session(const ClientLibrary& library, std::ostream& out) : library_(library), out_(out) {}

bool Session::Invoke(const std::string& service, const std::string& method,
                     const std::string& request, std::string* answer) {
  AnswerSlot slot;
  current_slot = &slot;
  library_.invoke(next_id_++, service.c_str(), method.c_str(), request.data(), request.size(),
                  &ReplyToSession, &RejectToSession);
  current_slot = nullptr;
  // What the call queued for the main thread has run before the next line.
  WaitForMainThread();
  if (slot.answers != 1) {
    *answer = "the library answered " + std::to_string(slot.answers) +
              " times instead of once before invoke returned";
    return false;
  }
  *answer = std::move(slot.payload);
  return slot.replied;
}

bool Session::Fail(int number, const std::string& message) {
  out_ << "line " << number << ": " << message << "\n";
  out_.flush();
  return false;
}

bool Session::RunCall(int number, std::string_view target, std::string_view json) {
  const size_t dot = target.find('.');
  const std::string service(target.substr(0, dot));
  const std::string method(target.substr(dot + 1));
  const SchemaPool& schemas = SchemaPool::Get();
  const google::protobuf::MethodDescriptor* found = schemas.FindMethod(service, method);
  if (found == nullptr) {
    return Fail(number, "no method " + std::string(target) +
                            " in the schemas (use 'send' for a call the schemas do not describe)");
  }
  std::string request;
  std::string error;
  if (!schemas.JsonToBinary(found->input_type(), json, &request, &error)) {
    // The parser's message may go on with a picture of the input; its first line says it all.
    return Fail(number, "bad JSON for " + found->input_type()->full_name() + ": " +
                            error.substr(0, error.find('\n')));
  }

  std::string answer;
  const bool replied = Invoke(service, method, request, &answer);
  out_ << target << (json.empty() ? "" : " ") << json << " -> ";
  if (!replied) {
    out_ << "rejected: " << answer << "\n";
    out_.flush();
    return false;
  }
  std::string printed;
  if (!schemas.BinaryToJson(found->output_type(), answer, &printed, &error)) {
    out_ << "unreadable reply: " << error << "\n";
    out_.flush();
    return false;
  }
  out_ << printed << "\n";
  out_.flush();
  return true;
}

bool Session::RunLine(int number, std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() == '#') return true;
  const size_t space = line.find_first_of(" \t");
  const std::string_view word = line.substr(0, space);
  const std::string_view rest =
      space == std::string_view::npos ? std::string_view() : Trim(line.substr(space));
  if (LooksLikeCall(word)) return RunCall(number, word, rest);

  std::string error;
  if (RunDirective(*this, word, rest, &error)) return true;
  // A directive that printed its own failure (a rejected call) leaves the error empty.
  return error.empty() ? false : Fail(number, error);
}

bool Session::Run(std::istream& in, const std::string& prompt) {
  bool all_succeeded = true;
  int number = 0;
  std::string line;
  for (;;) {
    if (!prompt.empty()) {
      out_ << prompt;
      out_.flush();
    }
    if (!std::getline(in, line)) break;
    ++number;
    if (!RunLine(number, line)) all_succeeded = false;
  }
  if (!prompt.empty()) out_ << "\n";
  return all_succeeded;
}

}  // namespace engine
