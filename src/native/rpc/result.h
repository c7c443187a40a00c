// kz::rpc::Result<T>: the typed outcome of one outgoing call. Success is told by the presence of
// `value`, never by `error` being empty: a host rejection may carry no text.
#ifndef SRC_NATIVE_RPC_RESULT_H_
#define SRC_NATIVE_RPC_RESULT_H_

#include <optional>
#include <string>
#include <utility>

namespace kz::rpc {

template <typename T>
struct Result {
  // The decoded response; present exactly when the call succeeded.
  std::optional<T> value;
  // The failure text; empty on success.
  std::string error;

  static Result Ok(T response) { return Result{std::optional<T>(std::move(response)), {}}; }
  static Result Failure(std::string error) { return Result{std::nullopt, std::move(error)}; }
};

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_RESULT_H_
