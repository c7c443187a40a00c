// kz::rpc::SerializedResult: the undecoded outcome of one outgoing call.
#ifndef SRC_NATIVE_RPC_SERIALIZED_RESULT_H_
#define SRC_NATIVE_RPC_SERIALIZED_RESULT_H_

#include <string>

namespace kz::rpc {

struct SerializedResult {
  // True for a reply from the host; false for a rejection or a local failure.
  bool ok = false;
  // The response in protobuf binary encoding; empty unless `ok`.
  std::string data;
  // The failure text; empty when `ok`, and possibly empty for a rejection.
  std::string error;
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_SERIALIZED_RESULT_H_
