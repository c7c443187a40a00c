// NSRunningApplication: one running application, as a snapshot taken when the object was made. Its
// properties keep their values after the application quits; requests sent to it then fail.
//
// Threads: may be used from any thread.
#ifndef PLATFORM_INCLUDE_APPKIT_NSRUNNINGAPPLICATION_H_
#define PLATFORM_INCLUDE_APPKIT_NSRUNNINGAPPLICATION_H_

#include <sys/types.h>

#include "Foundation/NSArray.h"
#include "Foundation/NSObject.h"
#include "Foundation/NSString.h"

typedef NSUInteger NSApplicationActivationOptions;
enum : NSApplicationActivationOptions {
  NSApplicationActivateAllWindows = 1 << 0,
  // Come forward even though another application is active.
  NSApplicationActivateIgnoringOtherApps = 1 << 1,
};

class NSRunningApplication : public NSObject {
 public:
  // An autoreleased array of the running applications with `bundleIdentifier`, in launch order;
  // empty when none runs or the identifier is null.
  static NSArray* runningApplicationsWithBundleIdentifier(NSString* bundleIdentifier);

  // The stand-in's own constructor; the platform hands out these objects, programs do not make
  // them.
  NSRunningApplication(pid_t processIdentifier, NSString* bundleIdentifier,
                       NSString* localizedName);
  ~NSRunningApplication() override;

  // Null when the application has none; the string lives as long as this object.
  NSString* bundleIdentifier() const;
  NSString* localizedName() const;
  pid_t processIdentifier() const;

  // Asks the application to come to the front. NO when the request was not honoured: the
  // application refused or has quit, or another application is active and `options` lacks
  // NSApplicationActivateIgnoringOtherApps.
  BOOL activateWithOptions(NSApplicationActivationOptions options);

 private:
  const pid_t processIdentifier_;
  NSString* const bundleIdentifier_;
  NSString* const localizedName_;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSRUNNINGAPPLICATION_H_
