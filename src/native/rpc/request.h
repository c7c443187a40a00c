// Outgoing calls to services of the host: RequestSerialized delivers the undecoded outcome,
// Request<Req, Resp> the decoded one. The generated client classes are thin calls of Request.
//
// Threads: callable from any thread. The callback runs exactly once, on the thread that delivers
// the answer: the caller's own when no host is installed or the host answers synchronously,
// otherwise the host thread that answers. A call the host never answers keeps its callback for the
// life of the process.
#ifndef SRC_NATIVE_RPC_REQUEST_H_
#define SRC_NATIVE_RPC_REQUEST_H_

#include <google/protobuf/message.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>

#include "rpc/error_texts.h"
#include "rpc/export.h"
#include "rpc/result.h"
#include "rpc/serialized_result.h"
#include "rpc/thread_spare.h"

namespace kz::rpc {

// Sends `request` to `service`.`method` of the host. An empty `callback` is ignored.
KZ_EXPORT void RequestSerialized(const char* service, const char* method,
                                 const google::protobuf::Message& request,
                                 std::function<void(SerializedResult)> callback);

// The function object that waits in the transport for an outgoing call's answer and hands it to the
// caller's callback decoded as Resp. Made once per call and dropped after the answer, so its
// storage is recycled per thread where the standard library allocates it with `new`.
template <typename Resp>
class DecodingAdapter final {
 public:
  explicit DecodingAdapter(std::function<void(Result<Resp>)> callback)
      : callback_(std::move(callback)) {}

  void operator()(SerializedResult outcome) const {
    if (!outcome.ok) {
      callback_(Result<Resp>::Failure(std::move(outcome.error)));
      return;
    }
    // The response is decoded right where the result holds it.
    Result<Resp> result;
    if (!result.value.emplace().ParseFromString(outcome.data)) {
      callback_(Result<Resp>::Failure(kResponseParseFailed));
      return;
    }
    callback_(std::move(result));
  }

  static void* operator new(size_t /*size*/) {
    return ThreadSpare<sizeof(DecodingAdapter)>::Take();
  }
  static void operator delete(void* block) noexcept {
    ThreadSpare<sizeof(DecodingAdapter)>::Give(block);
  }

 private:
  std::function<void(Result<Resp>)> callback_;
};

// Sends `request` and delivers the reply decoded as Resp, or the failure text: the host's rejection
// text unchanged, "Native RPC host is not available.", or "Failed to parse RPC response.".
template <typename Req, typename Resp>
void Request(const char* service, const char* method, const Req& request,
             std::function<void(Result<Resp>)> callback) {
  if (!callback) return;
  RequestSerialized(service, method, request, DecodingAdapter<Resp>(std::move(callback)));
}

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_REQUEST_H_
