// The plugin on a schema beyond the bridge's: a package, two services in one file, and request and
// response types from another file, one of them nested.
#include <google/protobuf/descriptor.h>
#include <google/protobuf/empty.pb.h>
#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "rpc/transport.h"
#include "sample/sample_services.rpc.h"
#include "support/answer_log.h"
#include "support/fake_host.h"

namespace kz::testing {
namespace {

using google::protobuf::Empty;
using ondrel::sample::Greeter;
using ondrel::sample::Greeting;
using ondrel::sample::Greeting_Detail;
using ondrel::sample::HTTPProxyService;

static_assert(std::is_same_v<decltype(kz::rpc::greeter), ondrel::sample::GreeterClient>);
static_assert(
    std::is_same_v<decltype(kz::rpc::http_proxy), ondrel::sample::HTTPProxyServiceClient>);

class ShoutingGreeter : public Greeter {
 public:
  void Greet(const Greeting* request, kz::rpc::Callback<Greeting> callback) override {
    Greeting reply;
    reply.set_text(request->text() + "!");
    std::move(callback).Complete(reply);
  }
};

TEST(GeneratorTest, EachServiceOfTheFileGetsItsOwnDescriptor) {
  const google::protobuf::FileDescriptor* file =
      google::protobuf::DescriptorPool::generated_pool()->FindFileByName(
          "sample/sample_services.proto");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Greeter::descriptor(), file->service(0));
  EXPECT_EQ(HTTPProxyService::descriptor(), file->service(1));
  EXPECT_EQ(Greeter::descriptor()->full_name(), "ondrel.sample.Greeter");
  EXPECT_EQ(HTTPProxyService().GetDescriptor(), HTTPProxyService::descriptor());
}

TEST(GeneratorTest, ServicesDispatchByTheirFullNames) {
  ShoutingGreeter greeter;
  HTTPProxyService proxy;
  kz::rpc::RegisterService(&greeter);
  kz::rpc::RegisterService(&proxy);

  Greeting hello;
  hello.set_text("hello");
  Answer greet = InvokeOnce(1, "ondrel.sample.Greeter", "Greet", hello.SerializeAsString());
  Greeting reply;
  ASSERT_TRUE(greet.replied);
  ASSERT_TRUE(reply.ParseFromString(greet.payload));
  EXPECT_EQ(reply.text(), "hello!");

  EXPECT_EQ(InvokeOnce(2, "ondrel.sample.Greeter", "Inspect", "").payload,
            "Method Inspect() not implemented.");
  EXPECT_EQ(InvokeOnce(3, "ondrel.sample.HTTPProxyService", "Forward", "").payload,
            "Method Forward() not implemented.");
  EXPECT_EQ(InvokeOnce(4, "Greeter", "Greet", "").payload, "Service not found.");
}

TEST(GeneratorTest, PrototypesUseTheQualifiedNestedClasses) {
  Greeter greeter;
  const auto* inspect = Greeter::descriptor()->FindMethodByName("Inspect");
  EXPECT_EQ(&greeter.GetRequestPrototype(inspect), &Greeting_Detail::default_instance());
  EXPECT_EQ(&greeter.GetResponsePrototype(inspect), &Empty::default_instance());
  HTTPProxyService proxy;
  const auto* forward = HTTPProxyService::descriptor()->FindMethodByName("Forward");
  EXPECT_EQ(&proxy.GetResponsePrototype(forward), &Greeting_Detail::default_instance());
}

TEST(GeneratorTest, ClientsSendTheServicesFullName) {
  FakeHost::Reset();
  FakeHost::Install();
  Greeting hello;
  hello.set_text("hi");
  kz::rpc::greeter.Greet(hello, [](kz::rpc::Result<Greeting>) {});
  kz::rpc::http_proxy.Forward(Empty(), [](kz::rpc::Result<Greeting_Detail>) {});
  ::set_host_invoke(nullptr);

  std::vector<HostCall> calls = FakeHost::Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].service, "ondrel.sample.Greeter");
  EXPECT_EQ(calls[0].method, "Greet");
  EXPECT_EQ(calls[0].payload, hello.SerializeAsString());
  EXPECT_EQ(calls[1].service, "ondrel.sample.HTTPProxyService");
  EXPECT_EQ(calls[1].method, "Forward");
}

}  // namespace
}  // namespace kz::testing
