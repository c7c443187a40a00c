// The texts with which the runtime answers calls it cannot complete. They cross the boundary to the
// host and to callers byte for byte.
#ifndef SRC_NATIVE_RPC_ERROR_TEXTS_H_
#define SRC_NATIVE_RPC_ERROR_TEXTS_H_

namespace kz::rpc {

inline constexpr char kServiceNotFound[] = "Service not found.";
inline constexpr char kMethodNotFound[] = "Method not found.";
inline constexpr char kRequestParseFailed[] = "Failed to parse RPC request.";
inline constexpr char kHostNotAvailable[] = "Native RPC host is not available.";
inline constexpr char kCallbackDropped[] = "RPC canceled: callback destroyed without completion.";
inline constexpr char kResponseParseFailed[] = "Failed to parse RPC response.";

}  // namespace kz::rpc

#endif  // SRC_NATIVE_RPC_ERROR_TEXTS_H_
