// RecordingOverlayServiceImpl: shows and hides the floating recording indicator near the bottom
// centre of the screen.
//
// Threads: Show and Hide run on the thread that delivers the call. They touch no window: each
// queues its work on the main dispatch queue and answers at once, without waiting for that work, so
// the reply says nothing about what is on screen yet. The queued tasks run on the main thread in
// the order queued; only they touch the indicator's panel and view.
#ifndef SRC_NATIVE_SERVICES_RECORDING_OVERLAY_SERVICE_IMPL_H_
#define SRC_NATIVE_SERVICES_RECORDING_OVERLAY_SERVICE_IMPL_H_

#include "recording_overlay.rpc.h"

class RecordingOverlayServiceImpl : public RecordingOverlayService {
 public:
  ~RecordingOverlayServiceImpl() override = default;

  // Queues: create the indicator on first use (placed on the main screen, else the first screen,
  // else at (646, 20)), set the request's phase, and order it front. Replies with an empty
  // message. Never rejects.
  void Show(const RecordingOverlayPhase* request,
            kz::rpc::Callback<google::protobuf::Empty> callback) override;

  // Queues: take the indicator off the screen, if it was ever created. Replies with an empty
  // message. Never rejects.
  void Hide(const google::protobuf::Empty* request,
            kz::rpc::Callback<google::protobuf::Empty> callback) override;
};

#endif  // SRC_NATIVE_SERVICES_RECORDING_OVERLAY_SERVICE_IMPL_H_
