// Turns the desktop's facts about an application into an autoreleased NSRunningApplication.
#ifndef PLATFORM_WORKSPACE_RUNNING_APPLICATION_FACTS_H_
#define PLATFORM_WORKSPACE_RUNNING_APPLICATION_FACTS_H_

#include <AppKit/NSRunningApplication.h>

#include "desktop/desktop_state.h"

namespace standin::internal {

NSRunningApplication* MakeRunningApplication(const ApplicationFacts& facts);

}  // namespace standin::internal

#endif  // PLATFORM_WORKSPACE_RUNNING_APPLICATION_FACTS_H_
