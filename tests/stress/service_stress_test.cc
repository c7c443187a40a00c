// Every service at once, from many threads, through the library's exported entry points after
// AppMain: inbound calls of every method (and of what is not served), outgoing calls through the
// generated clients, a host that answers them from threads of its own or at once from inside its
// call-out, and the host function replaced and removed meanwhile. The main thread runs the main
// queue, where the overlay service queues its window work. Every call must be answered exactly
// once; the ThreadSanitizer build checks the whole for races, the AddressSanitizer build for leaks
// and memory faults.
#include <google/protobuf/empty.pb.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "clipboard.rpc.h"
#include "frontmost_app.rpc.h"
#include "permissions.rpc.h"
#include "recording_overlay.rpc.h"
#include "rpc/host_boundary.h"
#include "standin/desktop.h"
#include "standin/main_queue.h"
#include "standin/windows.h"

namespace {

using google::protobuf::Empty;

constexpr int kInboundThreads = 4;
constexpr int kInboundCallsPerThread = 2000;
constexpr int kOutgoingThreads = 2;
constexpr int kOutgoingCallsPerThread = 2000;
constexpr int kAnsweringThreads = 2;

constexpr char kEditor[] = "com.example.editor";
constexpr char kBrowser[] = "com.example.browser";
constexpr char kGone[] = "com.example.gone";

// ---- Inbound calls ----

// The answers of inbound calls, kept by the thread they arrive on: an answer on any other thread
// than the caller's is missing from the caller's list.
struct InboundAnswer {
  uint64_t id = 0;
  bool replied = false;
  std::string payload;  // reply bytes or rejection text
};
thread_local std::vector<InboundAnswer> answers_on_this_thread;

void ReplyOnThisThread(uint64_t id, const char* data, size_t len) {
  answers_on_this_thread.push_back({id, true, std::string(data == nullptr ? "" : data, len)});
}

void RejectOnThisThread(uint64_t id, const char* error) {
  answers_on_this_thread.push_back({id, false, error == nullptr ? "<null>" : error});
}

template <typename T>
std::string Encoded(void (*fill)(T&)) {
  T message;
  fill(message);
  return message.SerializeAsString();
}

// One kind of inbound call and what its answer must be: a rejection text, or a reply that
// `reply_ok` accepts.
struct InboundCase {
  const char* service;
  const char* method;
  std::string request;
  const char* rejection;  // null: a reply is expected
  bool (*reply_ok)(const std::string& bytes);
};

bool IsEmptyReply(const std::string& bytes) { return bytes.empty(); }

bool IsSnapshotOfARunningApplication(const std::string& bytes) {
  AppSnapshot snapshot;
  if (!snapshot.ParseFromString(bytes)) return false;
  // Restores on other threads change which application is in front; it is always one of the two.
  return (snapshot.bundle_id() == kEditor || snapshot.bundle_id() == kBrowser) &&
         snapshot.process_id() != 0;
}

bool IsRestored(const std::string& bytes) {
  RestoreResult result;
  return result.ParseFromString(bytes) && result.success() && result.error().empty();
}

bool IsNotRestoredForWantOfTheApplication(const std::string& bytes) {
  RestoreResult result;
  return result.ParseFromString(bytes) && !result.success() &&
         result.error() == std::string("No running application with bundle ID: ") + kGone;
}

std::vector<InboundCase> InboundCases() {
  return {
      {"AutomationService", "Paste", "", nullptr, IsEmptyReply},
      {"FrontmostAppService", "SnapshotFrontmostApp", "", nullptr, IsSnapshotOfARunningApplication},
      {"FrontmostAppService", "RestoreFrontmostApp",
       Encoded<AppSnapshot>([](AppSnapshot& m) { m.set_bundle_id(kEditor); }), nullptr, IsRestored},
      {"FrontmostAppService", "RestoreFrontmostApp",
       Encoded<AppSnapshot>([](AppSnapshot& m) { m.set_bundle_id(kBrowser); }), nullptr,
       IsRestored},
      {"FrontmostAppService", "RestoreFrontmostApp",
       Encoded<AppSnapshot>([](AppSnapshot& m) { m.set_bundle_id(kGone); }), nullptr,
       IsNotRestoredForWantOfTheApplication},
      {"RecordingOverlayService", "Show",
       Encoded<RecordingOverlayPhase>([](RecordingOverlayPhase& m) { m.set_phase("processing"); }),
       nullptr, IsEmptyReply},
      {"RecordingOverlayService", "Show",
       Encoded<RecordingOverlayPhase>([](RecordingOverlayPhase& m) { m.set_phase("listening"); }),
       nullptr, IsEmptyReply},
      {"RecordingOverlayService", "Hide", "", nullptr, IsEmptyReply},
      {"SystemPermissionsService", "GetPermissionsStatus", "", "Service not found.", nullptr},
      {"AutomationService", "Copy", "", "Method not found.", nullptr},
      {"RecordingOverlayService", "Show",
       std::string("\x0a\x05"
                   "ab",
                   4),
       "Failed to parse RPC request.", nullptr},
  };
}

// Makes `count` inbound calls, cycling through the cases (each thread from another one); returns a
// description of every call whose answer was wrong.
std::vector<std::string> MakeInboundCalls(const std::vector<InboundCase>& cases, int thread,
                                          int count) {
  std::vector<std::string> faults;
  for (int i = 0; i < count; ++i) {
    const InboundCase& c = cases[(thread + i) % cases.size()];
    const uint64_t id = static_cast<uint64_t>(thread) << 32 | static_cast<uint64_t>(i);
    answers_on_this_thread.clear();
    ::invoke(id, c.service, c.method, c.request.data(), c.request.size(), &ReplyOnThisThread,
             &RejectOnThisThread);
    std::ostringstream fault;
    if (answers_on_this_thread.size() != 1) {
      fault << answers_on_this_thread.size() << " answers on the calling thread";
    } else {
      const InboundAnswer& answer = answers_on_this_thread.front();
      if (answer.id != id) {
        fault << "answered under id " << answer.id;
      } else if (c.rejection != nullptr && (answer.replied || answer.payload != c.rejection)) {
        fault << (answer.replied ? "replied" : "rejected with \"" + answer.payload + "\"");
      } else if (c.rejection == nullptr && (!answer.replied || !c.reply_ok(answer.payload))) {
        fault << (answer.replied ? "wrong reply" : "rejected with \"" + answer.payload + "\"");
      }
    }
    if (!fault.str().empty())
      faults.push_back(std::string(c.service) + "." + c.method + ": " + fault.str());
  }
  return faults;
}

// ---- Outgoing calls and the host that answers them ----

// Calls that reached the host and wait for an answering thread.
struct HostCall {
  uint64_t id;
  ReplyFn reply;
  RejectFn reject;
};

struct Host {
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<HostCall> calls;  // Guarded by mutex.
  bool closed = false;         // Guarded by mutex.
  std::atomic<int> received{0};
  // The first answers given, by kind; second answers are given too, and must change nothing.
  std::atomic<int> replies{0};
  std::atomic<int> malformed_replies{0};
  std::atomic<int> rejections{0};
  std::atomic<int> null_rejections{0};
};

Host& TheHost() {
  static auto* host = new Host();
  return *host;
}

void QueueHostCall(uint64_t id, const char* /*service*/, const char* /*method*/,
                   const char* /*data*/, size_t /*len*/, ReplyFn reply, RejectFn reject) {
  Host& host = TheHost();
  host.received.fetch_add(1);
  {
    std::lock_guard lock(host.mutex);
    host.calls.push_back({id, reply, reject});
  }
  host.ready.notify_one();
}

// A second host function, so that replacement swaps between two different ones.
void OtherQueueHostCall(uint64_t id, const char* service, const char* method, const char* data,
                        size_t len, ReplyFn reply, RejectFn reject) {
  QueueHostCall(id, service, method, data, len, reply, reject);
}

// A host function that answers inside the call-out itself, on the caller's thread: the transport
// holds no lock then, so the answer re-enters it.
void AnswerAtOnce(uint64_t id, const char* /*service*/, const char* /*method*/,
                  const char* /*data*/, size_t /*len*/, ReplyFn reply, RejectFn /*reject*/) {
  TheHost().received.fetch_add(1);
  TheHost().replies.fetch_add(1);
  reply(id, "", 0);
}

constexpr char kHostRejection[] = "The host refused.";

// Answers queued calls until the queue is closed and empty: by id, a reply of no bytes or of an
// unknown field (both decode as every response type), a reply that does not decode, a rejection
// or a rejection with a null text; every seventh call is answered a second time.
void AnswerHostCalls() {
  Host& host = TheHost();
  for (;;) {
    HostCall call;
    {
      std::unique_lock lock(host.mutex);
      host.ready.wait(lock, [&] { return host.closed || !host.calls.empty(); });
      if (host.calls.empty()) return;
      call = host.calls.front();
      host.calls.pop_front();
    }
    static const std::string kUnknownField("\x48\x01", 2);
    static const std::string kTruncated(
        "\x0a\x05"
        "ab",
        4);
    switch (call.id % 5) {
      case 0:
        host.replies.fetch_add(1);
        call.reply(call.id, "", 0);
        break;
      case 1:
        host.replies.fetch_add(1);
        call.reply(call.id, kUnknownField.data(), kUnknownField.size());
        break;
      case 2:
        host.malformed_replies.fetch_add(1);
        call.reply(call.id, kTruncated.data(), kTruncated.size());
        break;
      case 3:
        host.rejections.fetch_add(1);
        call.reject(call.id, kHostRejection);
        break;
      default:
        host.null_rejections.fetch_add(1);
        call.reject(call.id, nullptr);
        break;
    }
    if (call.id % 7 == 0) call.reject(call.id, "second answer");
  }
}

// What the callers' callbacks received, by kind.
struct Outcomes {
  std::atomic<int> values{0};
  std::atomic<int> host_unavailable{0};
  std::atomic<int> unparsable{0};
  std::atomic<int> host_rejections{0};
  std::atomic<int> empty_rejections{0};
  std::atomic<int> unexpected{0};
};

template <typename Resp>
std::function<void(kz::rpc::Result<Resp>)> Count(Outcomes& outcomes, std::atomic<int>& runs) {
  return [&outcomes, &runs](kz::rpc::Result<Resp> result) {
    runs.fetch_add(1);
    if (result.value) {
      outcomes.values.fetch_add(1);
    } else if (result.error == "Native RPC host is not available.") {
      outcomes.host_unavailable.fetch_add(1);
    } else if (result.error == "Failed to parse RPC response.") {
      outcomes.unparsable.fetch_add(1);
    } else if (result.error == kHostRejection) {
      outcomes.host_rejections.fetch_add(1);
    } else if (result.error.empty()) {
      outcomes.empty_rejections.fetch_add(1);
    } else {
      outcomes.unexpected.fetch_add(1);
    }
  };
}

// Sends call number `n` through one of the eight generated client methods.
void SendThroughAClient(int n, Outcomes& outcomes, std::atomic<int>& runs) {
  AppSnapshot snapshot;
  snapshot.set_bundle_id(kEditor);
  PermissionTypeRequest microphone;
  microphone.set_type(PERMISSION_TYPE_MICROPHONE);
  RecordingOverlayPhase phase;
  phase.set_phase("processing");
  switch (n % 8) {
    case 0:
      kz::rpc::automation.Paste(Empty(), Count<Empty>(outcomes, runs));
      break;
    case 1:
      kz::rpc::frontmost_app.SnapshotFrontmostApp(Empty(), Count<AppSnapshot>(outcomes, runs));
      break;
    case 2:
      kz::rpc::frontmost_app.RestoreFrontmostApp(snapshot, Count<RestoreResult>(outcomes, runs));
      break;
    case 3:
      kz::rpc::system_permissions.GetPermissionsStatus(
          Empty(), Count<PermissionsStatusResponse>(outcomes, runs));
      break;
    case 4:
      kz::rpc::system_permissions.OpenSystemSettings(microphone, Count<Empty>(outcomes, runs));
      break;
    case 5:
      kz::rpc::system_permissions.RequestPermission(microphone, Count<Empty>(outcomes, runs));
      break;
    case 6:
      kz::rpc::recording_overlay.Show(phase, Count<Empty>(outcomes, runs));
      break;
    default:
      kz::rpc::recording_overlay.Hide(Empty(), Count<Empty>(outcomes, runs));
      break;
  }
}

TEST(ServiceStressTest, EveryCallOfEveryServiceIsAnsweredExactlyOnce) {
  ASSERT_TRUE(standin::IsMainThread());
  standin::ResetDesktop();
  const pid_t editor = standin::LaunchApplication({kEditor, "Editor"});
  standin::LaunchApplication({kBrowser, "Browser"});
  standin::FocusApplication(editor);
  standin::SetClipboardText("x");
  AppMain();
  ::set_host_invoke(&QueueHostCall);

  const std::vector<InboundCase> cases = InboundCases();
  constexpr int kOutgoing = kOutgoingThreads * kOutgoingCallsPerThread;
  Outcomes outcomes;
  auto runs = std::make_unique<std::atomic<int>[]>(kOutgoing);
  std::vector<std::vector<std::string>> inbound_faults(kInboundThreads);
  std::atomic<int> callers_running{kInboundThreads + kOutgoingThreads};

  std::vector<std::thread> answering;
  for (int t = 0; t < kAnsweringThreads; ++t) answering.emplace_back(AnswerHostCalls);
  std::thread replacing([&callers_running] {
    constexpr HostInvokeFn kHosts[] = {nullptr, &QueueHostCall, &AnswerAtOnce, &OtherQueueHostCall};
    for (int round = 0; callers_running.load() > 0; ++round) {
      ::set_host_invoke(kHosts[round % std::size(kHosts)]);
      std::this_thread::yield();
    }
  });
  std::vector<std::thread> callers;
  for (int t = 0; t < kInboundThreads; ++t) {
    callers.emplace_back([&, t] {
      inbound_faults[t] = MakeInboundCalls(cases, t, kInboundCallsPerThread);
      callers_running.fetch_sub(1);
    });
  }
  for (int t = 0; t < kOutgoingThreads; ++t) {
    callers.emplace_back([&, t] {
      for (int i = 0; i < kOutgoingCallsPerThread; ++i) {
        const int n = t * kOutgoingCallsPerThread + i;
        SendThroughAClient(n, outcomes, runs[n]);
      }
      callers_running.fetch_sub(1);
    });
  }

  // The overlay's window work runs here, on the main thread, while the callers call.
  while (callers_running.load() > 0) standin::RunMainRunLoop(std::chrono::milliseconds(2));
  for (std::thread& caller : callers) caller.join();
  replacing.join();
  {
    std::lock_guard lock(TheHost().mutex);
    TheHost().closed = true;
  }
  TheHost().ready.notify_all();
  for (std::thread& thread : answering) thread.join();
  standin::DrainMainQueue();
  ::set_host_invoke(nullptr);

  for (int t = 0; t < kInboundThreads; ++t) {
    EXPECT_TRUE(inbound_faults[t].empty())
        << "thread " << t << ": " << inbound_faults[t].size()
        << " wrong answers, the first: " << inbound_faults[t].front();
  }

  for (int n = 0; n < kOutgoing; ++n) ASSERT_EQ(runs[n].load(), 1) << "outgoing call " << n;
  const Host& host = TheHost();
  EXPECT_EQ(host.received.load(), host.replies.load() + host.malformed_replies.load() +
                                      host.rejections.load() + host.null_rejections.load());
  EXPECT_EQ(outcomes.host_unavailable.load(), kOutgoing - host.received.load());
  EXPECT_EQ(outcomes.values.load(), host.replies.load());
  EXPECT_EQ(outcomes.unparsable.load(), host.malformed_replies.load());
  EXPECT_EQ(outcomes.host_rejections.load(), host.rejections.load());
  EXPECT_EQ(outcomes.empty_rejections.load(), host.null_rejections.load());
  EXPECT_EQ(outcomes.unexpected.load(), 0);

  // However the Show and Hide tasks interleaved, there is one indicator.
  EXPECT_EQ(standin::AllWindows().size(), 1u);
}

}  // namespace
