// NSFont: the system font, at a size and a weight. The stand-in's system font is DejaVu Sans (the
// Debian package fonts-dejavu-core): weights below semibold use its book face, medium weight drawn
// slightly heavier; semibold and above use its bold face.
#ifndef PLATFORM_INCLUDE_APPKIT_NSFONT_H_
#define PLATFORM_INCLUDE_APPKIT_NSFONT_H_

#include <string>
#include <string_view>
#include <vector>

#include "CoreGraphics/CGGeometry.h"
#include "Foundation/NSObject.h"

typedef CGFloat NSFontWeight;
inline constexpr NSFontWeight NSFontWeightRegular = 0.0;
inline constexpr NSFontWeight NSFontWeightMedium = 0.23;
inline constexpr NSFontWeight NSFontWeightSemibold = 0.3;
inline constexpr NSFontWeight NSFontWeightBold = 0.4;

class NSFont : public NSObject {
 public:
  // Autoreleased system fonts of `size` points.
  static NSFont* systemFontOfSize(CGFloat size, NSFontWeight weight);
  static NSFont* systemFontOfSize(CGFloat size);

  NSFont(CGFloat size, NSFontWeight weight);

  CGFloat pointSize() const { return size_; }
  NSFontWeight weight() const { return weight_; }
  // Distance from the baseline to the top of the tallest glyphs (positive), to the bottom of the
  // deepest (negative), and the gap between lines, in points.
  CGFloat ascender() const;
  CGFloat descender() const;
  CGFloat leading() const;

  // Stand-in only, for the text system and the renderer: the font file, the extra stroke width in
  // points that makes an intermediate weight heavier, and the glyphs of `utf8` with their advances.
  struct Glyph {
    unsigned index = 0;
    CGFloat advance = 0;
  };
  const std::string& fontFile() const;
  CGFloat emphasis() const;
  std::vector<Glyph> glyphsForString(std::string_view utf8) const;

 private:
  CGFloat size_;
  NSFontWeight weight_;
};

#endif  // PLATFORM_INCLUDE_APPKIT_NSFONT_H_
