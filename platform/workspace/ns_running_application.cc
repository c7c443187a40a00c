#include <AppKit/NSRunningApplication.h>

#include <string>
#include <vector>

#include "workspace/running_application_facts.h"

namespace {

// A string owned by the caller (+1), or null for an absent value.
NSString* NewStringOrNull(const std::optional<std::string>& text) {
  return text ? new NSString(*text) : nullptr;
}

}  // namespace

namespace standin::internal {

NSRunningApplication* MakeRunningApplication(const ApplicationFacts& facts) {
  NSString* bundle_identifier = NewStringOrNull(facts.bundle_identifier);
  NSString* name = NewStringOrNull(facts.name);
  auto* app = new NSRunningApplication(facts.process_identifier, bundle_identifier, name);
  NSRelease(bundle_identifier);
  NSRelease(name);
  return NSAutorelease(app);
}

}  // namespace standin::internal

NSArray* NSRunningApplication::runningApplicationsWithBundleIdentifier(NSString* bundleIdentifier) {
  if (bundleIdentifier == nullptr) return NSArray::array();
  std::vector<NSObject*> applications;
  for (const auto& facts :
       standin::internal::ApplicationsWithBundleIdentifier(bundleIdentifier->view())) {
    applications.push_back(standin::internal::MakeRunningApplication(facts));
  }
  return NSArray::arrayWithObjects(applications.data(), applications.size());
}

NSRunningApplication::NSRunningApplication(pid_t processIdentifier, NSString* bundleIdentifier,
                                           NSString* localizedName)
    : processIdentifier_(processIdentifier),
      bundleIdentifier_(NSRetain(bundleIdentifier)),
      localizedName_(NSRetain(localizedName)) {}

NSRunningApplication::~NSRunningApplication() {
  NSRelease(bundleIdentifier_);
  NSRelease(localizedName_);
}

NSString* NSRunningApplication::bundleIdentifier() const { return bundleIdentifier_; }

NSString* NSRunningApplication::localizedName() const { return localizedName_; }

pid_t NSRunningApplication::processIdentifier() const { return processIdentifier_; }

BOOL NSRunningApplication::activateWithOptions(NSApplicationActivationOptions options) {
  return standin::internal::RequestActivation(processIdentifier_, options);
}
