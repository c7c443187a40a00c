#include "services/recording_overlay_service_impl.h"

#include <AppKit/AppKit.h>
#include <dispatch/dispatch.h>

#include <string>
#include <utility>

#include "services/recording_overlay_panel.h"
#include "services/recording_overlay_view.h"

namespace {

// The indicator's size, and its distance above the bottom of the screen's visible frame.
constexpr CGFloat kWidth = 148;
constexpr CGFloat kHeight = 36;
constexpr CGFloat kBottomMargin = 20;
// Without any screen, the indicator goes where it would on a screen 1440 points wide at the origin.
constexpr CGFloat kAssumedScreenX = 0;
constexpr CGFloat kAssumedScreenWidth = 1440;

// Created by the first Show task and never released; read and written only by main-queue tasks.
RecordingOverlayPanel* overlayPanel = nullptr;
RecordingOverlayView* overlayView = nullptr;

// Creates the panel and its view, placed near the bottom centre of the main screen (else the first
// screen, else no screen).
void CreateOverlay() {
  NSScreen* screen = NSScreen::mainScreen();
  if (screen == nullptr) screen = static_cast<NSScreen*>(NSScreen::screens()->firstObject());

  CGFloat x = kAssumedScreenX + kAssumedScreenWidth * 0.5 - kWidth / 2;
  CGFloat y = kBottomMargin;
  if (screen != nullptr) {
    const CGRect frame = screen->frame();
    const CGRect visible = screen->visibleFrame();
    y = visible.origin.y + kBottomMargin;
    x = frame.origin.x + frame.size.width * 0.5 - kWidth / 2;
  }

  overlayPanel = static_cast<RecordingOverlayPanel*>(
      (new RecordingOverlayPanel())
          ->initWithContentRect(CGRectMake(x, y, kWidth, kHeight),
                                NSWindowStyleMaskNonactivatingPanel, NSBackingStoreBuffered, NO,
                                screen));
  overlayPanel->setBackgroundColor(NSColor::clearColor());
  overlayPanel->setOpaque(NO);
  overlayPanel->setHasShadow(NO);
  overlayPanel->setLevel(NSFloatingWindowLevel);
  overlayPanel->setCollectionBehavior(NSWindowCollectionBehaviorCanJoinAllSpaces |
                                      NSWindowCollectionBehaviorStationary |
                                      NSWindowCollectionBehaviorIgnoresCycle);
  overlayPanel->setIgnoresMouseEvents(YES);

  overlayView = (new RecordingOverlayView())->initWithFrame(CGRectMake(0, 0, kWidth, kHeight));
  overlayPanel->setContentView(overlayView);
}

void ShowOverlay(const std::string& phase) {
  if (overlayPanel == nullptr) CreateOverlay();
  // A phase with a NUL byte would be cut short at it as a C string and could read "processing"; it
  // is not exactly "processing", so it shows as listening.
  NSString* text = phase.find('\0') == std::string::npos
                       ? NSString::stringWithUTF8String(phase.c_str())
                       : nullptr;
  // A view whose initialisation failed is none: like a message to nil, setting its phase does
  // nothing.
  if (overlayView != nullptr) overlayView->setPhase(text);
  overlayPanel->orderFrontRegardless();
}

void HideOverlay() {
  if (overlayPanel != nullptr) overlayPanel->orderOut(nullptr);
}

}  // namespace

void RecordingOverlayServiceImpl::Show(const RecordingOverlayPhase* request,
                                       kz::rpc::Callback<google::protobuf::Empty> callback) {
  // The task owns its copy of the phase: the request is gone by the time the task runs.
  dispatch_async(dispatch_get_main_queue(),
                 [phase = std::string(request->phase())] { ShowOverlay(phase); });
  std::move(callback).Complete(google::protobuf::Empty());
}

void RecordingOverlayServiceImpl::Hide(const google::protobuf::Empty* /*request*/,
                                       kz::rpc::Callback<google::protobuf::Empty> callback) {
  dispatch_async(dispatch_get_main_queue(), [] { HideOverlay(); });
  std::move(callback).Complete(google::protobuf::Empty());
}
