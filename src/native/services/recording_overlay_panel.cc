#include "services/recording_overlay_panel.h"

BOOL RecordingOverlayPanel::canBecomeKeyWindow() const { return NO; }

BOOL RecordingOverlayPanel::canBecomeMainWindow() const { return NO; }
