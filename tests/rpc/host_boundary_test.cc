// The library as a host sees it: loaded with dlopen from the bundle, its three C entry points found
// by name, and every call before AppMain answered with "Service not found.".
#include "rpc/host_boundary.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "support/answer_log.h"

namespace kz::testing {
namespace {

TEST(HostBoundaryTest, LoadedLibraryAnswersServiceNotFoundBeforeAppMain) {
  void* library = dlopen(KZ_CLIENT_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* entry : {"AppMain", "invoke", "set_host_invoke"}) {
    EXPECT_NE(dlsym(library, entry), nullptr) << entry;
  }
  using InvokeFn =
      void (*)(uint64_t, const char*, const char*, const char*, size_t, ReplyFn, RejectFn);
  auto invoke_entry = reinterpret_cast<InvokeFn>(dlsym(library, "invoke"));
  ASSERT_NE(invoke_entry, nullptr);
  const char* const calls[][2] = {{"AutomationService", "Paste"},
                                  {"FrontmostAppService", "SnapshotFrontmostApp"},
                                  {"RecordingOverlayService", "Show"},
                                  {"SystemPermissionsService", "GetPermissionsStatus"}};
  uint64_t id = 1;
  for (const auto& call : calls) {
    invoke_entry(id, call[0], call[1], nullptr, 0, &AnswerLog::Reply, &AnswerLog::Reject);
    std::vector<Answer> answers = AnswerLog::ForId(id);
    ASSERT_EQ(answers.size(), 1u) << call[0];
    EXPECT_FALSE(answers[0].replied);
    EXPECT_EQ(answers[0].payload, "Service not found.");
    ++id;
  }
}

}  // namespace
}  // namespace kz::testing
