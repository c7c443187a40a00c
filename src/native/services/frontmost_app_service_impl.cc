#include "services/frontmost_app_service_impl.h"

#include <AppKit/AppKit.h>

#include <iterator>
#include <string>
#include <utility>

namespace {

constexpr char kNoRunningApplication[] = "No running application with bundle ID: ";
constexpr char kApplicationNotFound[] = "Application not found";

// Releases the platform objects one call made temporarily, when the call's scope ends.
class AutoreleasePoolScope {
 public:
  AutoreleasePoolScope() : token_(objc_autoreleasePoolPush()) {}
  ~AutoreleasePoolScope() { objc_autoreleasePoolPop(token_); }
  AutoreleasePoolScope(const AutoreleasePoolScope&) = delete;
  AutoreleasePoolScope& operator=(const AutoreleasePoolScope&) = delete;

 private:
  void* const token_;
};

// A copy of the string's UTF-8 bytes, which themselves live only as long as the pool; empty for no
// string.
std::string Utf8OrEmpty(NSString* text) {
  const char* bytes = text == nullptr ? nullptr : text->UTF8String();
  return bytes == nullptr ? std::string() : std::string(bytes);
}

// The running applications carrying exactly `bundle_id`. Bundle identifiers never contain a NUL
// byte, and one that did would be cut short when converted as a C string and match another
// application, so such an identifier names none.
NSArray* RunningApplicationsWithBundleId(const std::string& bundle_id) {
  if (bundle_id.find('\0') != std::string::npos) return NSArray::array();
  NSString* identifier = NSString::stringWithUTF8String(bundle_id.c_str());
  if (identifier == nullptr) return NSArray::array();
  return NSRunningApplication::runningApplicationsWithBundleIdentifier(identifier);
}

// The first application of the list, in its own order, running under `process_id`; null if none.
NSRunningApplication* FirstWithProcessIdentifier(NSArray* applications, pid_t process_id) {
  NSFastEnumerationState state;
  NSObject* batch[16];
  while (const NSUInteger count =
             applications->countByEnumeratingWithState(&state, batch, std::size(batch))) {
    for (NSUInteger i = 0; i < count; ++i) {
      auto* application = static_cast<NSRunningApplication*>(state.itemsPtr[i]);
      if (application->processIdentifier() == process_id) return application;
    }
  }
  return nullptr;
}

}  // namespace

void FrontmostAppServiceImpl::SnapshotFrontmostApp(const google::protobuf::Empty* /*request*/,
                                                   kz::rpc::Callback<AppSnapshot> callback) {
  AppSnapshot snapshot;
  {
    AutoreleasePoolScope pool;
    NSRunningApplication* application = NSWorkspace::sharedWorkspace()->frontmostApplication();
    if (application != nullptr) {
      NSString* bundle_identifier = application->bundleIdentifier();
      NSString* name = application->localizedName();
      const pid_t process_identifier = application->processIdentifier();
      snapshot.set_bundle_id(Utf8OrEmpty(bundle_identifier));
      snapshot.set_app_name(Utf8OrEmpty(name));
      snapshot.set_process_id(process_identifier);
    }
  }
  std::move(callback).Complete(std::move(snapshot));
}

void FrontmostAppServiceImpl::RestoreFrontmostApp(const AppSnapshot* request,
                                                  kz::rpc::Callback<RestoreResult> callback) {
  RestoreResult result;
  {
    AutoreleasePoolScope pool;
    NSArray* applications = RunningApplicationsWithBundleId(request->bundle_id());
    if (applications->count() == 0) {
      result.set_success(false);
      result.set_error(kNoRunningApplication + request->bundle_id());
    } else {
      // The remembered instance may have quit and been started again under a new process
      // identifier; then any instance of the application will do.
      NSRunningApplication* application =
          FirstWithProcessIdentifier(applications, request->process_id());
      if (application == nullptr) {
        application = static_cast<NSRunningApplication*>(applications->firstObject());
      }
      if (application == nullptr) {
        result.set_success(false);
        result.set_error(kApplicationNotFound);
      } else {
        application->activateWithOptions(NSApplicationActivateIgnoringOtherApps);
        result.set_success(true);
      }
    }
  }
  std::move(callback).Complete(std::move(result));
}
