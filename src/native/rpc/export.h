// Marks the declarations that libkezmora_client exports; everything else in the library is hidden.
#ifndef SRC_NATIVE_RPC_EXPORT_H_
#define SRC_NATIVE_RPC_EXPORT_H_

#ifndef KZ_EXPORT
#define KZ_EXPORT __attribute__((visibility("default")))
#endif

#endif  // SRC_NATIVE_RPC_EXPORT_H_
