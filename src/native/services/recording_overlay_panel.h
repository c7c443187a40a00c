// RecordingOverlayPanel: the recording indicator's window. It floats and shows, but it never takes
// keyboard input and never becomes the main window, so showing it leaves the keyboard focus with
// whichever application has it.
//
// Threads: main thread only, like every window.
#ifndef SRC_NATIVE_SERVICES_RECORDING_OVERLAY_PANEL_H_
#define SRC_NATIVE_SERVICES_RECORDING_OVERLAY_PANEL_H_

#include <AppKit/AppKit.h>

#include "rpc/export.h"

class KZ_EXPORT RecordingOverlayPanel : public NSPanel {
 public:
  // Always NO: the panel never receives keyboard input.
  BOOL canBecomeKeyWindow() const override;
  // Always NO.
  BOOL canBecomeMainWindow() const override;
};

#endif  // SRC_NATIVE_SERVICES_RECORDING_OVERLAY_PANEL_H_
