// FrontmostAppServiceImpl: remembers which application is frontmost (as a snapshot the caller
// keeps) and brings it back to the front later.
//
// Threads: both methods run on the thread that delivers the call, keep no state and take no lock.
// Each call's platform objects live in an autorelease pool scope of its own on that thread.
#ifndef SRC_NATIVE_SERVICES_FRONTMOST_APP_SERVICE_IMPL_H_
#define SRC_NATIVE_SERVICES_FRONTMOST_APP_SERVICE_IMPL_H_

#include "frontmost_app.rpc.h"

class FrontmostAppServiceImpl : public FrontmostAppService {
 public:
  ~FrontmostAppServiceImpl() override = default;

  // Answers with the frontmost application's bundle identifier, display name and process
  // identifier; an absent identifier or name is empty, and with no frontmost application the whole
  // snapshot is empty. Never rejects.
  void SnapshotFrontmostApp(const google::protobuf::Empty* request,
                            kz::rpc::Callback<AppSnapshot> callback) override;

  // Asks the running application with the request's bundle identifier to come to the front,
  // preferring the instance with the request's process identifier, else the first one. `success`
  // means activation was requested, not that the application is now frontmost. A failure is
  // reported inside the reply, never as a rejection. The name in the request is not read.
  void RestoreFrontmostApp(const AppSnapshot* request,
                           kz::rpc::Callback<RestoreResult> callback) override;
};

#endif  // SRC_NATIVE_SERVICES_FRONTMOST_APP_SERVICE_IMPL_H_
