// NSTextField: a view that shows one line of text. A label (labelWithString:) is not editable, not
// selectable, has no border and draws no background; it draws its text with the cell's 2-point
// inset on each side, clipped to its bounds.
#ifndef PLATFORM_INCLUDE_APPKIT_NSTEXTFIELD_H_
#define PLATFORM_INCLUDE_APPKIT_NSTEXTFIELD_H_

#include "AppKit/NSColor.h"
#include "AppKit/NSFont.h"
#include "AppKit/NSView.h"
#include "Foundation/NSString.h"

class NSTextField : public NSView {
 public:
  // An autoreleased label showing `string`, sized to fit it, in the system font at 13 points and
  // the label colour.
  static NSTextField* labelWithString(NSString* string);

  NSTextField() = default;
  ~NSTextField() override;

  NSString* stringValue() const { return string_value_; }
  // Changes the text; the frame stays as it is.
  void setStringValue(NSString* string);

  NSFont* font() const { return font_; }
  void setFont(NSFont* font);
  NSColor* textColor() const { return text_color_; }
  void setTextColor(NSColor* color);

  BOOL isEditable() const { return editable_; }
  BOOL isSelectable() const { return selectable_; }
  BOOL isBordered() const { return bordered_; }
  BOOL isBezeled() const { return bezeled_; }
  BOOL drawsBackground() const { return draws_background_; }

  // Resizes the frame, keeping its origin, to the text's width plus the insets and the font's line
  // height (ascender, descender and leading, rounded up to whole points).
  void sizeToFit();

  void drawRect(CGRect dirty_rect) override;

 private:
  NSString* string_value_ = nullptr;
  NSFont* font_ = nullptr;
  NSColor* text_color_ = nullptr;
  BOOL editable_ = YES;
  BOOL selectable_ = YES;
  BOOL bordered_ = NO;
  BOOL bezeled_ = YES;
  BOOL draws_background_ = YES;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSTEXTFIELD_H_
