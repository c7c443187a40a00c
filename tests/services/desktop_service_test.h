// A fixture for the desktop services: the library started with AppMain on an empty simulated
// desktop, and calls through `invoke` that check each call leaves no platform object behind.
#ifndef TESTS_SERVICES_DESKTOP_SERVICE_TEST_H_
#define TESTS_SERVICES_DESKTOP_SERVICE_TEST_H_

#include <AppKit/NSWorkspace.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "rpc/host_boundary.h"
#include "standin/desktop.h"
#include "standin/objects.h"
#include "support/answer_log.h"

namespace kz::testing {

class DesktopServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::ResetDesktop();
    AppMain();
    // The workspace object lives for the whole process; make it before counting objects.
    NSWorkspace::sharedWorkspace();
  }

  // One call through `invoke`, answered exactly once on this thread; the platform objects alive
  // afterwards are those alive before.
  Answer Call(const char* service, const char* method, const std::string& request = "") {
    const long live_before = standin::LiveObjectCount();
    Answer answer = InvokeOnce(++last_id_, service, method, request);
    EXPECT_EQ(standin::LiveObjectCount(), live_before) << service << "." << method;
    return answer;
  }

 private:
  uint64_t last_id_ = 0;
};

}  // namespace kz::testing

#endif  // TESTS_SERVICES_DESKTOP_SERVICE_TEST_H_
