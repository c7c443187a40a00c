// The transport's tables beyond the few entries of the other suites: many services and methods,
// names that share their first bytes, registrations while calls run on other threads, and outgoing
// calls that stay pending while many later calls come and go.
#include <google/protobuf/descriptor.h>
#include <google/protobuf/descriptor.pb.h>
#include <google/protobuf/empty.pb.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rpc/request.h"
#include "rpc/transport.h"
#include "support/answer_log.h"
#include "support/fake_host.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using google::protobuf::ServiceDescriptor;
using kz::rpc::SerializedResult;

// Services described at run time, so a test can have as many as it likes. Every method takes and
// returns google.protobuf.Empty.
const google::protobuf::FileDescriptor* BuildServices(const std::string& file_name,
                                                      const std::vector<std::string>& services,
                                                      const std::vector<std::string>& methods) {
  Empty::descriptor();  // the generated pool knows empty.proto from here on
  static auto* pool =
      new google::protobuf::DescriptorPool(google::protobuf::DescriptorPool::generated_pool());
  google::protobuf::FileDescriptorProto file;
  file.set_name(file_name);
  file.set_syntax("proto3");
  file.add_dependency("google/protobuf/empty.proto");
  for (const std::string& service_name : services) {
    google::protobuf::ServiceDescriptorProto* service = file.add_service();
    service->set_name(service_name);
    for (const std::string& method_name : methods) {
      google::protobuf::MethodDescriptorProto* method = service->add_method();
      method->set_name(method_name);
      method->set_input_type(".google.protobuf.Empty");
      method->set_output_type(".google.protobuf.Empty");
    }
  }
  return pool->BuildFile(file);
}

// Answers every call with the text "<service>.<method>", so a test sees where a call arrived.
class NamedService : public kz::rpc::Service {
 public:
  explicit NamedService(const ServiceDescriptor* descriptor) : descriptor_(descriptor) {}

  const ServiceDescriptor* GetDescriptor() override { return descriptor_; }
  void CallMethod(const google::protobuf::MethodDescriptor* method,
                  const google::protobuf::Message& /*request*/, uint64_t id,
                  kz::rpc::ReplyFunction reply, kz::rpc::RejectFunction /*reject*/) override {
    const std::string text = method->full_name();
    reply(id, text.data(), text.size());
  }
  const google::protobuf::Message& GetRequestPrototype(
      const google::protobuf::MethodDescriptor* /*method*/) const override {
    return Empty::default_instance();
  }
  const google::protobuf::Message& GetResponsePrototype(
      const google::protobuf::MethodDescriptor* /*method*/) const override {
    return Empty::default_instance();
  }

 private:
  const ServiceDescriptor* descriptor_;
};

std::vector<std::string> Numbered(const std::string& prefix, int count) {
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_string(100 + i).substr(1));
  return names;
}

// Registers one NamedService per service of `file`; the objects live as long as the process.
void RegisterAll(const google::protobuf::FileDescriptor* file) {
  for (int i = 0; i < file->service_count(); ++i) {
    kz::rpc::RegisterService(new NamedService(file->service(i)));
  }
}

TEST(TablesTest, ManyServicesAndMethodsWithSharedPrefixes) {
  // Names that agree in their first bytes, in numbers that make the tables grow.
  std::vector<std::string> services = Numbered("Svc", 40);
  services.insert(services.end(), {"Alpha", "A", "Sv"});
  std::vector<std::string> methods = Numbered("M", 12);
  methods.push_back("Ping");
  const google::protobuf::FileDescriptor* file = BuildServices("many.proto", services, methods);
  ASSERT_NE(file, nullptr);
  RegisterAll(file);

  uint64_t id = 0;
  for (const std::string& service : services) {
    for (const std::string& method : methods) {
      Answer answer = InvokeOnce(++id, service.c_str(), method.c_str(), "");
      EXPECT_TRUE(answer.replied) << service << "." << method;
      EXPECT_EQ(answer.payload, service + "." + method);
    }
  }

  struct Miss {
    const char* service;
    const char* method;
    const char* text;
  };
  const Miss misses[] = {
      {"Svc40", "Ping", "Service not found."},  {"Svc0", "Ping", "Service not found."},
      {"Svc001", "Ping", "Service not found."}, {"S", "Ping", "Service not found."},
      {"", "Ping", "Service not found."},       {"Svc07", "M12", "Method not found."},
      {"Svc07", "M0", "Method not found."},     {"Svc07", "", "Method not found."},
      {"A", "Pin", "Method not found."},
  };
  for (const Miss& miss : misses) {
    Answer answer = InvokeOnce(++id, miss.service, miss.method, "");
    EXPECT_FALSE(answer.replied) << miss.service << "." << miss.method;
    EXPECT_EQ(answer.payload, miss.text) << miss.service << "." << miss.method;
  }
}

TEST(TablesTest, RegistrationsWhileCallsRun) {
  const std::vector<std::string> services = Numbered("Late", 30);
  const google::protobuf::FileDescriptor* file = BuildServices("late.proto", services, {"Ping"});
  ASSERT_NE(file, nullptr);

  std::atomic<bool> registered{false};
  std::thread registrar([&] {
    RegisterAll(file);
    registered.store(true);
  });
  // Each call is answered once: by the service once it is registered, before that with "Service
  // not found.".
  std::vector<std::thread> callers;
  std::atomic<int> wrong{0};
  for (int t = 0; t < 2; ++t) {
    callers.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round) {
        for (size_t i = 0; i < services.size(); ++i) {
          const uint64_t id = (static_cast<uint64_t>(2 + t) << 40) | (round * services.size() + i);
          ::invoke(id, services[i].c_str(), "Ping", nullptr, 0, &AnswerLog::Reply,
                   &AnswerLog::Reject);
          std::vector<Answer> answers = AnswerLog::ForId(id);
          const bool right = answers.size() == 1 &&
                             (answers[0].replied ? answers[0].payload == services[i] + ".Ping"
                                                 : answers[0].payload == "Service not found.");
          if (!right) ++wrong;
        }
      }
    });
  }
  registrar.join();
  for (std::thread& caller : callers) caller.join();
  EXPECT_EQ(wrong.load(), 0);
  ASSERT_TRUE(registered.load());
  for (const std::string& service : services) {
    EXPECT_TRUE(InvokeOnce(1ull << 40, service.c_str(), "Ping", "").replied) << service;
    AnswerLog::Take();
  }
}

class PendingCallsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FakeHost::Reset();
    FakeHost::Install();
  }
  void TearDown() override { ::set_host_invoke(nullptr); }

  // Starts one call; its outcomes are appended to `outcomes[index]`.
  void Start(std::vector<std::vector<SerializedResult>>& outcomes, size_t index) {
    kz::rpc::RequestSerialized("HostService", "Method", Empty(),
                               [&outcomes, index](SerializedResult outcome) {
                                 outcomes[index].push_back(std::move(outcome));
                               });
  }
};

TEST_F(PendingCallsTest, ACallWaitingWhileManyLaterCallsComeAndGoIsStillAnswered) {
  std::vector<std::vector<SerializedResult>> outcomes(2001);
  Start(outcomes, 0);  // stays pending
  FakeHost::AnswerSynchronously(HostAnswer{true, "\x08\x01", false});
  for (size_t i = 1; i < outcomes.size(); ++i) Start(outcomes, i);
  FakeHost::AnswerSynchronously(std::nullopt);

  std::vector<HostCall> calls = FakeHost::Calls();
  ASSERT_EQ(calls.size(), outcomes.size());
  for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i].id, i + 1);
  for (size_t i = 1; i < outcomes.size(); ++i) ASSERT_EQ(outcomes[i].size(), 1u) << i;
  EXPECT_TRUE(outcomes[0].empty());

  calls[0].reject(calls[0].id, "late");
  calls[0].reply(calls[0].id, "", 0);
  calls[5].reply(calls[5].id, "", 0);  // answered before: ignored
  ASSERT_EQ(outcomes[0].size(), 1u);
  EXPECT_FALSE(outcomes[0][0].ok);
  EXPECT_EQ(outcomes[0][0].error, "late");
  EXPECT_EQ(outcomes[5].size(), 1u);
}

TEST_F(PendingCallsTest, ManyCallsPendingAtOnceAreAnsweredInAnyOrder) {
  std::vector<std::vector<SerializedResult>> outcomes(1000);
  for (size_t i = 0; i < outcomes.size(); ++i) Start(outcomes, i);
  std::vector<HostCall> calls = FakeHost::Calls();
  ASSERT_EQ(calls.size(), outcomes.size());
  // Every third call from the back first, then the rest from the front; each answer twice.
  std::vector<size_t> order;
  for (size_t i = calls.size(); i-- > 0;) {
    if (i % 3 == 0) order.push_back(i);
  }
  for (size_t i = 0; i < calls.size(); ++i) {
    if (i % 3 != 0) order.push_back(i);
  }
  for (size_t i : order) {
    const std::string payload = std::to_string(i);
    calls[i].reply(calls[i].id, payload.data(), payload.size());
    calls[i].reject(calls[i].id, "again");
  }
  for (size_t i = 0; i < outcomes.size(); ++i) {
    ASSERT_EQ(outcomes[i].size(), 1u) << i;
    EXPECT_TRUE(outcomes[i][0].ok);
    EXPECT_EQ(outcomes[i][0].data, std::to_string(i));
  }
}

// Calls that reached the host, for answering threads to take.
struct CallQueue {
  std::mutex mutex;
  std::vector<std::pair<uint64_t, std::pair<ReplyFn, RejectFn>>> calls;
};

CallQueue& Queued() {
  static auto* queue = new CallQueue();
  return *queue;
}

void QueueingHost(uint64_t id, const char*, const char*, const char*, size_t, ReplyFn reply,
                  RejectFn reject) {
  std::lock_guard lock(Queued().mutex);
  Queued().calls.push_back({id, {reply, reject}});
}

TEST(PendingCallsRaceTest, TwoAnswersRacingForEveryCallDeliverOne) {
  ::set_host_invoke(&QueueingHost);
  constexpr size_t kCalls = 3000;
  auto delivered = std::make_unique<std::atomic<int>[]>(kCalls);
  std::thread sender([&] {
    for (size_t i = 0; i < kCalls; ++i) {
      kz::rpc::RequestSerialized("HostService", "Method", Empty(),
                                 [&delivered, i](SerializedResult) { ++delivered[i]; });
    }
  });
  // Both threads answer every call as soon as they see it, one with a reply, one with a rejection.
  auto answerer = [&](bool reply) {
    size_t next = 0;
    while (next < kCalls) {
      std::pair<uint64_t, std::pair<ReplyFn, RejectFn>> call;
      {
        std::unique_lock lock(Queued().mutex);
        if (next >= Queued().calls.size()) {
          lock.unlock();
          std::this_thread::yield();  // the sender has not got this far yet
          continue;
        }
        call = Queued().calls[next];
      }
      ++next;
      if (reply) {
        call.second.first(call.first, "", 0);
      } else {
        call.second.second(call.first, "no");
      }
    }
  };
  std::thread replier(answerer, true);
  std::thread rejecter(answerer, false);
  sender.join();
  replier.join();
  rejecter.join();
  ::set_host_invoke(nullptr);
  for (size_t i = 0; i < kCalls; ++i) ASSERT_EQ(delivered[i].load(), 1) << i;
}

}  // namespace
}  // namespace kz::testing
