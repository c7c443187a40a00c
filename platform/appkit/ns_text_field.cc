#include <AppKit/NSTextField.h>

#include <cmath>

#include "drawing_context.h"

namespace {

// The text cell's horizontal inset on each side.
constexpr CGFloat kTextInset = 2;

}  // namespace

NSTextField* NSTextField::labelWithString(NSString* string) {
  auto* label = new NSTextField();
  label->initWithFrame(CGRectZero);
  label->setStringValue(string);
  label->setFont(NSFont::systemFontOfSize(13));
  label->setTextColor(NSColor::colorWithRed(0, 0, 0, 0.85));
  label->editable_ = NO;
  label->selectable_ = NO;
  label->bordered_ = NO;
  label->bezeled_ = NO;
  label->draws_background_ = NO;
  label->sizeToFit();
  return NSAutorelease(label);
}

NSTextField::~NSTextField() {
  NSRelease(string_value_);
  NSRelease(font_);
  NSRelease(text_color_);
}

void NSTextField::setStringValue(NSString* string) {
  // Texts are immutable: keeping a reference is keeping the value.
  NSString* kept = string == nullptr ? new NSString("") : NSRetain(string);
  NSRelease(string_value_);
  string_value_ = kept;
}

void NSTextField::setFont(NSFont* font) {
  NSRetain(font);
  NSRelease(font_);
  font_ = font;
}

void NSTextField::setTextColor(NSColor* color) {
  NSRetain(color);
  NSRelease(text_color_);
  text_color_ = color;
}

void NSTextField::sizeToFit() {
  CGFloat width = 0;
  CGFloat height = 0;
  if (font_ != nullptr) {
    for (const NSFont::Glyph& glyph : font_->glyphsForString(string_value_->view())) {
      width += glyph.advance;
    }
    height = std::ceil(font_->ascender() - font_->descender() + font_->leading());
  }
  const CGRect old = frame();
  setFrame(CGRectMake(old.origin.x, old.origin.y, std::ceil(width) + 2 * kTextInset, height));
}

void NSTextField::drawRect(CGRect /*dirty_rect*/) {
  appkit::DrawingContext* context = appkit::CurrentDrawingContext();
  if (context == nullptr || font_ == nullptr || string_value_ == nullptr) return;
  standin::TextRun run;
  run.text = std::string(string_value_->view());
  run.font_file = font_->fontFile();
  run.font_size = font_->pointSize();
  run.emphasis = font_->emphasis();
  // The line box sits centred in the bounds; the baseline lies the descender's depth above its
  // bottom.
  const CGRect bounds = this->bounds();
  const CGFloat line = font_->ascender() - font_->descender();
  run.origin = CGPoint{kTextInset, (bounds.size.height - line) / 2 - font_->descender()};
  if (text_color_ != nullptr) {
    text_color_->getRed(&run.color.red, &run.color.green, &run.color.blue, &run.color.alpha);
  }
  CGFloat x = 0;
  for (const NSFont::Glyph& glyph : font_->glyphsForString(run.text)) {
    run.glyphs.push_back({glyph.index, x});
    x += glyph.advance;
  }
  run.clip = bounds;
  context->operations.push_back(std::move(run));
}
