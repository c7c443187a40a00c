// The window system stand-in: screens, the on-screen window list, key and main status given only to
// windows that accept it, and label text fields.
#include <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <vector>

#include "overlay_test_support.h"
#include "standin/desktop.h"
#include "standin/drawing.h"
#include "standin/screens.h"
#include "standin/windows.h"

namespace {

using overlay_testing::PoolTest;

NSWindow* MakeWindow(NSWindowStyleMask style, CGRect content = CGRectMake(100, 100, 300, 200)) {
  auto* window = new NSWindow();
  window->initWithContentRect(content, style, NSBackingStoreBuffered, NO, nullptr);
  return NSAutorelease(window);
}

using ScreensTest = PoolTest;

TEST_F(ScreensTest, ScreensAreWhatTheTestArranged) {
  EXPECT_EQ(NSScreen::mainScreen(), nullptr) << "a new process has no screen";
  EXPECT_EQ(NSScreen::screens()->count(), 0u);

  const standin::ScreenSpec laptop = standin::ScreenWithBars(CGRectMake(0, 0, 1440, 900), 24, 70);
  EXPECT_EQ(laptop.visible_frame, CGRectMake(0, 70, 1440, 806));
  const standin::ScreenSpec side{CGRectMake(1440, 0, 1920, 1080), CGRectMake(1440, 0, 1920, 1080)};
  standin::ArrangeScreens({laptop, side}, 1);
  ASSERT_NE(NSScreen::mainScreen(), nullptr);
  EXPECT_EQ(NSScreen::mainScreen()->frame(), side.frame);
  NSArray* screens = NSScreen::screens();
  ASSERT_EQ(screens->count(), 2u);
  EXPECT_EQ(static_cast<NSScreen*>(screens->firstObject())->visibleFrame(), laptop.visible_frame);

  standin::ArrangeScreens({laptop}, std::nullopt);
  EXPECT_EQ(NSScreen::mainScreen(), nullptr);
  EXPECT_EQ(NSScreen::screens()->count(), 1u);
}

using WindowServerTest = PoolTest;

TEST_F(WindowServerTest, OnScreenListIsFrontToBackByLevelThenByOrdering) {
  NSWindow* a = MakeWindow(NSWindowStyleMaskBorderless);
  NSWindow* b = MakeWindow(NSWindowStyleMaskBorderless);
  NSWindow* floating = MakeWindow(NSWindowStyleMaskBorderless);
  floating->setLevel(NSFloatingWindowLevel);
  EXPECT_TRUE(standin::OnScreenWindows().empty()) << "windows start off screen";
  floating->orderFrontRegardless();
  a->orderFrontRegardless();
  b->orderFrontRegardless();
  EXPECT_EQ(standin::OnScreenWindows(), (std::vector<NSWindow*>{floating, b, a}));
  a->orderFrontRegardless();
  EXPECT_EQ(standin::OnScreenWindows(), (std::vector<NSWindow*>{floating, a, b}));
  a->orderOut(nullptr);
  EXPECT_FALSE(a->isVisible());
  EXPECT_TRUE(b->isVisible());
  EXPECT_EQ(standin::OnScreenWindows(), (std::vector<NSWindow*>{floating, b}));
  EXPECT_EQ(standin::AllWindows(), (std::vector<NSWindow*>{a, b, floating}));
  EXPECT_LT(a->windowNumber(), b->windowNumber());
}

TEST_F(WindowServerTest, AWindowThatCanBecomeKeyTakesTheKeyboardFromTheFrontmostApplication) {
  const pid_t editor = standin::LaunchApplication({"com.example.editor", "Editor"});
  standin::FocusApplication(editor);

  NSWindow* borderless = MakeWindow(NSWindowStyleMaskBorderless);
  borderless->orderFrontRegardless();
  EXPECT_EQ(standin::KeyWindow(), nullptr);
  EXPECT_EQ(standin::MainWindow(), nullptr);
  EXPECT_EQ(standin::FrontmostApplication(), editor);

  NSWindow* document = MakeWindow(NSWindowStyleMaskTitled | NSWindowStyleMaskClosable);
  EXPECT_EQ(document->frame(), CGRectMake(100, 100, 300, 228)) << "with its title bar";
  document->orderFrontRegardless();
  EXPECT_EQ(standin::KeyWindow(), document);
  EXPECT_EQ(standin::MainWindow(), document);
  EXPECT_TRUE(document->isKeyWindow());
  EXPECT_EQ(standin::FrontmostApplication(), std::nullopt);

  document->orderOut(nullptr);
  EXPECT_EQ(standin::KeyWindow(), nullptr);
  EXPECT_EQ(standin::MainWindow(), nullptr);
}

TEST_F(WindowServerTest, WindowScreenIsTheOneHoldingMostOfIt) {
  standin::ArrangeScreens({{CGRectMake(0, 0, 1000, 800), CGRectMake(0, 0, 1000, 800)},
                           {CGRectMake(1000, 0, 1000, 800), CGRectMake(1000, 0, 1000, 800)}});
  EXPECT_EQ(MakeWindow(0, CGRectMake(900, 10, 300, 100))->screen()->frame().origin.x, 1000);
  EXPECT_EQ(MakeWindow(0, CGRectMake(-500, 10, 300, 100))->screen(), nullptr);
}

using TextFieldTest = PoolTest;

TEST_F(TextFieldTest, LabelHasTheLabelStyleAndFitsItsText) {
  NSTextField* label = NSTextField::labelWithString(NSString::stringWithUTF8String("Hello"));
  EXPECT_FALSE(label->isEditable());
  EXPECT_FALSE(label->isSelectable());
  EXPECT_FALSE(label->isBordered());
  EXPECT_FALSE(label->isBezeled());
  EXPECT_FALSE(label->drawsBackground());
  EXPECT_EQ(label->font()->pointSize(), 13);

  // DejaVu Sans: ascender 0.928 em, descender 0.236 em, no line gap: 15.1 points at 13 points.
  label->setFont(NSFont::systemFontOfSize(13, NSFontWeightMedium));
  label->sizeToFit();
  EXPECT_EQ(label->frame().size.height, 16);
  const CGFloat short_width = label->frame().size.width;
  label->setStringValue(NSString::stringWithUTF8String("Hello, world"));
  EXPECT_EQ(label->frame().size.width, short_width) << "setStringValue: keeps the frame";
  label->sizeToFit();
  EXPECT_GT(label->frame().size.width, short_width);
}

TEST_F(TextFieldTest, LabelDrawsItsTextOnABaselineInsideItsBounds) {
  NSTextField* label = NSTextField::labelWithString(NSString::stringWithUTF8String("Hi\u2026"));
  label->setTextColor(NSColor::whiteColor());
  const std::vector<standin::DrawingOperation> drawn = standin::RecordDrawing(label);
  ASSERT_EQ(drawn.size(), 1u);
  const auto* run = std::get_if<standin::TextRun>(&drawn[0]);
  ASSERT_NE(run, nullptr);
  EXPECT_EQ(run->text, "Hi\u2026");
  EXPECT_EQ(run->glyphs.size(), 3u) << "one glyph per character";
  EXPECT_NE(run->glyphs[2].index, 0u) << "the font has the ellipsis";
  EXPECT_EQ(run->color, (standin::Rgba{1, 1, 1, 1}));
  EXPECT_EQ(run->clip, label->bounds());
  EXPECT_GT(run->origin.y, 0);
  EXPECT_LT(run->origin.y, label->bounds().size.height / 2);
}

}  // namespace
