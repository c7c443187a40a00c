// RecordingOverlayView: the recording indicator's content, a dark translucent capsule with a red
// dot on the left and a white caption on the right. While listening the dot's glow pulses; while
// transcribing it stands still.
//
// Threads: main thread only, like every view.
#ifndef SRC_NATIVE_SERVICES_RECORDING_OVERLAY_VIEW_H_
#define SRC_NATIVE_SERVICES_RECORDING_OVERLAY_VIEW_H_

#include <AppKit/AppKit.h>
#include <QuartzCore/QuartzCore.h>

#include "rpc/export.h"

class KZ_EXPORT RecordingOverlayView : public NSView {
 public:
  // Makes the view layer-backed and builds the dot and the caption ("Listening…", glow still).
  // Returns the view, or null when the base initialisation fails.
  RecordingOverlayView* initWithFrame(CGRect frame) override;

  // The dot: a red circle of diameter 10 centred at (19, 18) whose shadow is its glow, as a
  // sublayer of the view's layer.
  void buildDotLayer();

  // The caption: a white label in the medium-weight system font at 13 points, at x 32 with width
  // 102, centred vertically in a height of 36.
  void buildLabel();

  // Fills the view's bounds with the capsule; the rectangle asked for is ignored.
  void drawRect(CGRect dirty_rect) override;

  // Exactly "processing": caption "Transcribing…", pulse stopped, glow still at opacity 0.5 and
  // radius 4. Anything else, none included: caption "Listening…" and the glow pulses. The
  // caption's frame does not change.
  void setPhase(NSString* phase);

 private:
  // Held alive by the view's layer and subviews; plain references for later updates.
  CAShapeLayer* _dotLayer = nullptr;
  NSTextField* _label = nullptr;
};

#endif  // SRC_NATIVE_SERVICES_RECORDING_OVERLAY_VIEW_H_
