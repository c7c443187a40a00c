#include "rpc/host_boundary.h"

#include "rpc/transport.h"

extern "C" {

void AppMain(void) { launch(); }

void invoke(uint64_t id, const char* service, const char* method, const char* data, size_t len,
            ReplyFn reply, RejectFn reject) {
  kz::rpc::Transport::GetInstance()->Invoke(id, service, method, data, len, reply, reject);
}

void set_host_invoke(HostInvokeFn fn) { kz::rpc::Transport::GetInstance()->SetHostInvoke(fn); }

}  // extern "C"
