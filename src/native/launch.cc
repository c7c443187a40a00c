#include "rpc/host_boundary.h"
#include "rpc/transport.h"
#include "services/automation_service_impl.h"
#include "services/frontmost_app_service_impl.h"
#include "services/recording_overlay_service_impl.h"

// The services are created here once and live until the process ends; the registry keeps the first
// object registered under each name, so a second launch changes nothing a caller can see.
void launch() {
  kz::rpc::RegisterService(new AutomationServiceImpl());
  kz::rpc::RegisterService(new FrontmostAppServiceImpl());
  kz::rpc::RegisterService(new RecordingOverlayServiceImpl());
}
