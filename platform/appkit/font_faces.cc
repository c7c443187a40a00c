#include "font_faces.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace appkit {
namespace {

constexpr const char* kFontDirectory = "/usr/share/fonts/truetype/dejavu/";

// FreeType's library and faces are not thread-safe: every use goes through this lock.
std::mutex& FreeTypeLock() {
  static auto* lock = new std::mutex();
  return *lock;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library made = nullptr;
    if (FT_Init_FreeType(&made) != 0) {
      std::fputs("AppKit: FreeType cannot start\n", stderr);
      std::abort();
    }
    return made;
  }();
  return library;
}

// Decodes one UTF-8 character at `bytes[*i]`, advancing `*i`; U+FFFD for a malformed sequence.
char32_t NextCharacter(std::string_view bytes, size_t* i) {
  const auto lead = static_cast<unsigned char>(bytes[*i]);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 0 || *i + length > bytes.size()) {
    ++*i;
    return U'\uFFFD';
  }
  char32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(bytes[*i + k]);
    if ((next & 0xC0) != 0x80) {
      ++*i;
      return U'\uFFFD';
    }
    code = (code << 6) | (next & 0x3F);
  }
  *i += length;
  return code;
}

}  // namespace

const FontFace& FontFace::Get(bool bold) {
  static const FontFace* book = new FontFace(std::string(kFontDirectory) + "DejaVuSans.ttf");
  static const FontFace* heavy = new FontFace(std::string(kFontDirectory) + "DejaVuSans-Bold.ttf");
  return bold ? *heavy : *book;
}

FontFace::FontFace(std::string path) : path_(std::move(path)) {
  std::lock_guard lock(FreeTypeLock());
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), path_.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "AppKit: the system font %s cannot be opened (fonts-dejavu-core)\n",
                 path_.c_str());
    std::abort();
  }
  face_ = face;
  const double units = face->units_per_EM;
  metrics_.ascender = face->ascender / units;
  metrics_.descender = face->descender / units;
  metrics_.line_gap = (face->height - face->ascender + face->descender) / units;
}

std::vector<GlyphAdvance> FontFace::Glyphs(std::string_view utf8) const {
  std::lock_guard lock(FreeTypeLock());
  auto* face = static_cast<FT_Face>(face_);
  std::vector<GlyphAdvance> glyphs;
  size_t i = 0;
  while (i < utf8.size()) {
    const char32_t character = NextCharacter(utf8, &i);
    GlyphAdvance glyph;
    glyph.index = FT_Get_Char_Index(face, character);
    FT_Fixed advance = 0;
    if (FT_Get_Advance(face, glyph.index, FT_LOAD_NO_SCALE, &advance) == 0) {
      glyph.advance = static_cast<double>(advance) / face->units_per_EM;
    }
    glyphs.push_back(glyph);
  }
  return glyphs;
}

}  // namespace appkit
