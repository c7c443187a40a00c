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

#include <functional>
#include <string>
#include <utility>

#include "rpc/error_texts.h"
#include "rpc/export.h"
#include "rpc/result.h"
#include "rpc/serialized_result.h"

namespace kz::rpc {

// Sends `request` to `service`.`method` of the host. An empty `callback` is ignored.
KZ_EXPORT void RequestSerialized(const char* service, const char* method,
                                 const google::protobuf::Message& request,
                                 std::function<void(SerializedResult)> callback);

// Sends `request` and delivers the reply decoded as Resp, or the failure text: the host's rejection
// text unchanged, "Native RPC host is not available.", or "Failed to parse RPC response.".
template <typename Req, typename Resp>
void Request(const char* service, const char* method, const Req& request,
             std::function<void(Result<Resp>)> callback) {
  if (!callback) return;
  RequestSerialized(service, method, request,
                    [callback = std::move(callback)](SerializedResult outcome) {
                      if (!outcome.ok) {
                        callback(Result<Resp>::Failure(std::move(outcome.error)));
                        return;
                      }
                      Resp response;
                      if (!response.ParseFromString(outcome.data)) {
                        callback(Result<Resp>::Failure(kResponseParseFailed));
                        return;
                      }
                      callback(Result<Resp>::Ok(std::move(response)));
                    });
}

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_REQUEST_H_
