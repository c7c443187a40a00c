// The system font's faces: DejaVu Sans from the Debian package fonts-dejavu-core, opened once with
// FreeType and kept for the life of the process.
#ifndef PLATFORM_APPKIT_FONT_FACES_H_
#define PLATFORM_APPKIT_FONT_FACES_H_

#include <string>
#include <string_view>
#include <vector>

namespace appkit {

// A face's design metrics, in ems.
struct FaceMetrics {
  double ascender = 0;   // positive
  double descender = 0;  // negative
  double line_gap = 0;
};

struct GlyphAdvance {
  unsigned index = 0;
  double advance = 0;  // in ems
};

class FontFace {
 public:
  // The book face, or the bold one. Ends the process when the font file cannot be opened.
  static const FontFace& Get(bool bold);

  const std::string& path() const { return path_; }
  const FaceMetrics& metrics() const { return metrics_; }
  // The glyphs of the UTF-8 text, one per character, with their unhinted advances. Bytes that are
  // not UTF-8 become the replacement character. Any thread.
  std::vector<GlyphAdvance> Glyphs(std::string_view utf8) const;

 private:
  explicit FontFace(std::string path);

  std::string path_;
  void* face_;  // FT_Face, used under the faces' lock
  FaceMetrics metrics_;
};

}  // namespace appkit

#endif  // PLATFORM_APPKIT_FONT_FACES_H_
