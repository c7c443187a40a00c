#include <AppKit/NSFont.h>

#include "font_faces.h"

namespace {

// Weights from semibold up use the bold face; lighter ones the book face.
bool UsesBoldFace(NSFontWeight weight) { return weight >= NSFontWeightSemibold; }

const appkit::FontFace& FaceFor(NSFontWeight weight) {
  return appkit::FontFace::Get(UsesBoldFace(weight));
}

}  // namespace

NSFont* NSFont::systemFontOfSize(CGFloat size, NSFontWeight weight) {
  return NSAutorelease(new NSFont(size, weight));
}

NSFont* NSFont::systemFontOfSize(CGFloat size) {
  return systemFontOfSize(size, NSFontWeightRegular);
}

NSFont::NSFont(CGFloat size, NSFontWeight weight) : size_(size), weight_(weight) {}

CGFloat NSFont::ascender() const { return FaceFor(weight_).metrics().ascender * size_; }

CGFloat NSFont::descender() const { return FaceFor(weight_).metrics().descender * size_; }

CGFloat NSFont::leading() const { return FaceFor(weight_).metrics().line_gap * size_; }

const std::string& NSFont::fontFile() const { return FaceFor(weight_).path(); }

CGFloat NSFont::emphasis() const {
  // Between regular and semibold the book face's strokes are thickened in proportion to the
  // weight: a tenth of an em per unit of weight, about a quarter point at 13 points medium.
  if (weight_ <= NSFontWeightRegular || UsesBoldFace(weight_)) return 0;
  return weight_ * 0.1 * size_;
}

std::vector<NSFont::Glyph> NSFont::glyphsForString(std::string_view utf8) const {
  std::vector<Glyph> glyphs;
  for (const appkit::GlyphAdvance& glyph : FaceFor(weight_).Glyphs(utf8)) {
    glyphs.push_back({glyph.index, glyph.advance * size_});
  }
  return glyphs;
}
