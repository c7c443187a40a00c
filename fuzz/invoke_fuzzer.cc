// Fuzzes the inbound boundary: the exported `invoke`, with the service name, the method name and
// the request bytes taken from the input, and null pointers where the boundary takes them. Built
// twice: after AppMain (every service registered, on a desktop with one focused application) and,
// with ONDREL_FUZZ_BEFORE_APP_MAIN, before it.
//
// Input: one flags byte, then the service name, a NUL, the method name, a NUL and the request
// bytes (which may hold NULs). A missing part is empty. Flags:
//   0x01 null service   0x02 null method   0x04 null data (the length stays the payload's)
//   0x08 null reply     0x10 null reject
//   0x20 the first answer function to run calls `invoke` again, for Paste, before it returns
//
// Checks: a call with both answer functions is answered exactly once, on the calling thread,
// before `invoke` returns, with the answer the contract gives for it (the texts byte for byte, a
// reply that decodes as the method's response and says what the service does); a call without
// them gets no answer at all. A call made from inside an answer function is answered the same way.
#include <google/protobuf/empty.pb.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "bridge_methods.h"
#include "fuzz_check.h"
#include "rpc/error_texts.h"
#include "rpc/host_boundary.h"
#include "standin/desktop.h"
#include "standin/main_queue.h"

namespace ondrel::fuzz {
namespace {

constexpr uint8_t kNullService = 0x01;
constexpr uint8_t kNullMethod = 0x02;
constexpr uint8_t kNullData = 0x04;
constexpr uint8_t kNullReply = 0x08;
constexpr uint8_t kNullReject = 0x10;
constexpr uint8_t kReenter = 0x20;

constexpr char kEditorBundleId[] = "com.example.editor";
constexpr char kEditorName[] = "Editor";
constexpr char kNoRunningApplication[] = "No running application with bundle ID: ";

#ifdef ONDREL_FUZZ_BEFORE_APP_MAIN
constexpr bool kAppMainRan = false;
#else
constexpr bool kAppMainRan = true;
#endif

struct Answer {
  uint64_t id = 0;
  bool replied = false;
  std::string payload;  // reply bytes or rejection text
  std::thread::id thread;
  bool during_invoke = false;
};

std::vector<Answer> answers;
bool inside_invoke = false;
// The id of the call to make from inside the first answer function; 0: none.
uint64_t reentrant_id = 0;

void Reenter();

void RecordReply(uint64_t id, const char* data, size_t len) {
  FUZZ_CHECK(len == 0 || data != nullptr, "reply with bytes announced but no pointer");
  answers.push_back({id, true, std::string(data == nullptr ? "" : data, len),
                     std::this_thread::get_id(), inside_invoke});
  Reenter();
}

void RecordReject(uint64_t id, const char* error) {
  FUZZ_CHECK(error != nullptr, "the library rejected with a null text");
  answers.push_back({id, false, error, std::this_thread::get_id(), inside_invoke});
  Reenter();
}

// The host may call into the library from inside an answer function: nothing of the library is
// locked then.
void Reenter() {
  const uint64_t id = reentrant_id;
  if (id == 0) return;
  reentrant_id = 0;
  ::invoke(id, "AutomationService", "Paste", nullptr, 0, &RecordReply, &RecordReject);
}

std::vector<Answer> AnswersFor(uint64_t id) {
  std::vector<Answer> matching;
  for (const Answer& answer : answers) {
    if (answer.id == id) matching.push_back(answer);
  }
  return matching;
}

// A NUL-terminated copy in a block of exactly its size, so that reading past the end is caught.
std::unique_ptr<char[]> ExactCString(std::string_view text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  if (!text.empty()) std::memcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

// Splits off the text before the next NUL; without one, the rest of the input.
std::string_view TakeName(std::string_view& rest) {
  const size_t end = rest.find('\0');
  std::string_view name = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return name;
}

// What the reply of `method` to `request_bytes` must say on the desktop the fuzzer arranges.
void CheckReplyContent(const BridgeMethod& method, std::string_view request_bytes,
                       const std::string& reply_bytes, pid_t editor) {
  std::unique_ptr<google::protobuf::Message> response(method.response->New());
  FUZZ_CHECK(response->ParseFromString(reply_bytes), "reply does not decode as the response type");
  const std::string_view name = method.method;
  if (name == "Paste" || name == "Show" || name == "Hide") {
    FUZZ_CHECK(reply_bytes.empty(), "an empty response encodes to no bytes");
  } else if (name == "SnapshotFrontmostApp") {
    const auto& snapshot = static_cast<const AppSnapshot&>(*response);
    FUZZ_CHECK(snapshot.bundle_id() == kEditorBundleId && snapshot.app_name() == kEditorName &&
                   snapshot.process_id() == editor,
               "snapshot is not the frontmost application");
  } else if (name == "RestoreFrontmostApp") {
    AppSnapshot request;
    FUZZ_CHECK(request.ParseFromArray(request_bytes.data(), static_cast<int>(request_bytes.size())),
               "request that reached the service does not decode");
    const auto& result = static_cast<const RestoreResult&>(*response);
    if (request.bundle_id() == kEditorBundleId) {
      FUZZ_CHECK(result.success() && result.error().empty(), "running application not restored");
    } else {
      FUZZ_CHECK(!result.success() && result.error() == kNoRunningApplication + request.bundle_id(),
                 "restore of an application that does not run");
    }
  }
}

void RunOne(const uint8_t* bytes, size_t size) {
  static uint64_t next_id = 0x1000;
  const uint64_t id = ++next_id;
  const uint8_t flags = size == 0 ? 0 : bytes[0];
  std::string_view rest =
      size == 0 ? std::string_view()
                : std::string_view(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  const std::string_view service_text = TakeName(rest);
  const std::string_view method_text = TakeName(rest);
  const std::string_view payload = rest;

  std::unique_ptr<char[]> service = ExactCString(service_text);
  std::unique_ptr<char[]> method = ExactCString(method_text);
  auto data = std::make_unique<char[]>(payload.size());
  if (!payload.empty()) std::memcpy(data.get(), payload.data(), payload.size());

  const char* service_arg = flags & kNullService ? nullptr : service.get();
  const char* method_arg = flags & kNullMethod ? nullptr : method.get();
  const char* data_arg = flags & kNullData ? nullptr : data.get();
  ReplyFn reply = flags & kNullReply ? nullptr : &RecordReply;
  RejectFn reject = flags & kNullReject ? nullptr : &RecordReject;

  standin::ResetDesktop();
  const pid_t editor = standin::LaunchApplication({kEditorBundleId, kEditorName});
  standin::FocusApplication(editor);

  // The answer the contract gives, worked out before the call.
  const BridgeMethod* target = FindBridgeMethod(service_arg, method_arg);
  std::optional<std::string> expected_rejection;
  if (!kAppMainRan || !IsServedService(service_arg)) {
    expected_rejection = kz::rpc::kServiceNotFound;
  } else if (target == nullptr) {
    expected_rejection = kz::rpc::kMethodNotFound;
  } else if (!payload.empty()) {
    std::unique_ptr<google::protobuf::Message> request(target->request->New());
    if (data_arg == nullptr ||
        !request->ParseFromArray(payload.data(), static_cast<int>(payload.size()))) {
      expected_rejection = kz::rpc::kRequestParseFailed;
    }
  }

  answers.clear();
  const uint64_t nested_id = id | uint64_t{1} << 63;
  reentrant_id = flags & kReenter ? nested_id : 0;
  inside_invoke = true;
  ::invoke(id, service_arg, method_arg, data_arg, payload.size(), reply, reject);
  inside_invoke = false;
  if (kAppMainRan) standin::DrainMainQueue();

  if (reply == nullptr || reject == nullptr) {
    FUZZ_CHECK(answers.empty(), "a call without both answer functions was answered");
    return;
  }
  if (flags & kReenter) {
    FUZZ_CHECK(reentrant_id == 0, "no answer function ran");
    const std::vector<Answer> nested = AnswersFor(nested_id);
    FUZZ_CHECK(nested.size() == 1, "a call from inside an answer function not answered once");
    FUZZ_CHECK(kAppMainRan
                   ? nested.front().replied && nested.front().payload.empty()
                   : !nested.front().replied && nested.front().payload == kz::rpc::kServiceNotFound,
               "wrong answer to a call from inside an answer function");
  }
  const std::vector<Answer> own = AnswersFor(id);
  FUZZ_CHECK(own.size() == 1 && own.size() + (flags & kReenter ? 1 : 0) == answers.size(),
             "not answered exactly once");
  const Answer& answer = own.front();
  FUZZ_CHECK(answer.during_invoke, "answered after invoke returned");
  FUZZ_CHECK(answer.thread == std::this_thread::get_id(), "answered on another thread");
  if (expected_rejection) {
    FUZZ_CHECK(!answer.replied && answer.payload == *expected_rejection, "wrong rejection");
    return;
  }
  FUZZ_CHECK(answer.replied, "a served call with a valid request was rejected");
  CheckReplyContent(*target, payload, answer.payload, editor);
}

}  // namespace
}  // namespace ondrel::fuzz

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  ondrel::fuzz::SilenceProtobufLogs();
  if (ondrel::fuzz::kAppMainRan) AppMain();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ondrel::fuzz::RunOne(data, size);
  return 0;
}
