#include <Foundation/NSString.h>

#include <cstring>

namespace {

// Well-formed UTF-8 as the platform accepts it: no overlong forms, no surrogates, nothing past
// U+10FFFF.
bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    size_t length = 0;
    unsigned int code = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2;
      code = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      code = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      code = lead & 0x07;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    static constexpr unsigned int kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

NSString* NSString::stringWithUTF8String(const char* bytes) {
  if (bytes == nullptr) return nullptr;
  std::string_view text(bytes, std::strlen(bytes));
  if (!IsValidUtf8(text)) return nullptr;
  return NSAutorelease(new NSString(text));
}

NSString::NSString(std::string_view utf8) : utf8_(utf8) {}

const char* NSString::UTF8String() const { return utf8_.c_str(); }

BOOL NSString::isEqualToString(const NSString* other) const {
  return other != nullptr && other->utf8_ == utf8_;
}

NSUInteger NSString::length() const {
  // UTF-16 code units, as on the platform.
  NSUInteger units = 0;
  for (size_t i = 0; i < utf8_.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8_[i]);
    if ((byte & 0xC0) != 0x80) units += (byte >= 0xF0) ? 2 : 1;
  }
  return units;
}

BOOL NSString::isEqual(const NSObject* other) const {
  const auto* string = dynamic_cast<const NSString*>(other);
  return isEqualToString(string);
}
