#include "rpc/host_boundary.h"

#include "rpc/transport.h"

namespace {

// The process-wide transport, made when the library is loaded: the entry points reach it directly.
kz::rpc::Transport* const transport = kz::rpc::Transport::GetInstance();

}  // namespace

extern "C" {

void AppMain(void) { launch(); }

void invoke(uint64_t id, const char* service, const char* method, const char* data, size_t len,
            ReplyFn reply, RejectFn reject) {
  transport->Invoke(id, service, method, data, len, reply, reject);
}

void set_host_invoke(HostInvokeFn fn) { transport->SetHostInvoke(fn); }

}  // extern "C"
