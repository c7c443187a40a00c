// AutomationServiceImpl: makes the application with keyboard focus paste, by posting a synthetic
// Command-V keystroke into the system's input stream as if the user had typed it.
//
// Threads: Paste runs on the thread that delivers the call and keeps no state; concurrent calls
// post one keystroke each.
#ifndef SRC_NATIVE_SERVICES_AUTOMATION_SERVICE_IMPL_H_
#define SRC_NATIVE_SERVICES_AUTOMATION_SERVICE_IMPL_H_

#include "clipboard.rpc.h"

class AutomationServiceImpl : public AutomationService {
 public:
  ~AutomationServiceImpl() override = default;

  // Posts Command-V (key down, then key up) and answers with an empty reply once both are posted.
  // Never rejects: posting reports nothing back, so the reply says only that the keystroke was
  // sent.
  void Paste(const google::protobuf::Empty* request,
             kz::rpc::Callback<google::protobuf::Empty> callback) override;
};

#endif  // SRC_NATIVE_SERVICES_AUTOMATION_SERVICE_IMPL_H_
