#include <AppKit/NSWorkspace.h>

#include "workspace/running_application_facts.h"

NSWorkspace* NSWorkspace::sharedWorkspace() {
  static NSWorkspace* const workspace = new NSWorkspace();
  return workspace;
}

NSRunningApplication* NSWorkspace::frontmostApplication() const {
  const auto facts = standin::internal::FrontmostApplicationFacts();
  return facts ? standin::internal::MakeRunningApplication(*facts) : nullptr;
}
