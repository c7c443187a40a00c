#include "names.h"

#include <cctype>
#include <cstdio>
#include <string_view>

namespace kzrpc {
namespace {

bool IsUpper(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }
bool IsLower(char c) { return std::islower(static_cast<unsigned char>(c)) != 0; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
bool IsAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

// "FrontmostApp" -> "frontmost_app", "HTTPProxy" -> "http_proxy".
std::string SnakeCase(std::string_view name) {
  std::string result;
  for (size_t i = 0; i < name.size(); ++i) {
    const char c = name[i];
    if (IsUpper(c) && i > 0) {
      const char before = name[i - 1];
      const bool next_is_lower = i + 1 < name.size() && IsLower(name[i + 1]);
      if (IsLower(before) || IsDigit(before) || (IsUpper(before) && next_is_lower)) {
        result += '_';
      }
    }
    result += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return result;
}

}  // namespace

std::string StripProto(const std::string& file_name) {
  constexpr std::string_view kSuffix = ".proto";
  if (file_name.size() > kSuffix.size() &&
      file_name.compare(file_name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0) {
    return file_name.substr(0, file_name.size() - kSuffix.size());
  }
  return file_name;
}

std::string FilenameIdentifier(const std::string& file_name) {
  std::string result;
  for (const char c : file_name) {
    if (IsAlnum(c)) {
      result += c;
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned char>(c));
      result += '_';
      result += hex;
    }
  }
  return result;
}

std::string DescriptorTableName(const google::protobuf::FileDescriptor* file) {
  return "descriptor_table_" + FilenameIdentifier(file->name());
}

std::string PackageNamespace(const google::protobuf::FileDescriptor* file) {
  std::string names;
  for (const char c : file->package()) {
    if (c == '.') {
      names += "::";
    } else {
      names += c;
    }
  }
  return names;
}

std::string NamespacePrefix(const google::protobuf::FileDescriptor* file) {
  const std::string names = PackageNamespace(file);
  return names.empty() ? "::" : "::" + names + "::";
}

std::string QualifiedClassName(const google::protobuf::Descriptor* message) {
  std::string name = message->name();
  for (const google::protobuf::Descriptor* outer = message->containing_type(); outer != nullptr;
       outer = outer->containing_type()) {
    name = outer->name() + "_" + name;
  }
  return NamespacePrefix(message->file()) + name;
}

std::string InlineObjectName(const google::protobuf::ServiceDescriptor* service) {
  constexpr std::string_view kSuffix = "Service";
  std::string_view name = service->name();
  if (name.size() > kSuffix.size() && name.substr(name.size() - kSuffix.size()) == kSuffix) {
    name.remove_suffix(kSuffix.size());
  }
  return SnakeCase(name);
}

std::string HeaderGuard(const std::string& header_name) {
  std::string guard;
  for (const char c : header_name) {
    guard += IsAlnum(c) ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : '_';
  }
  return guard + "_";
}

std::string StringLiteral(const std::string& text) {
  std::string literal = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') literal += '\\';
    literal += c;
  }
  return literal + "\"";
}

}  // namespace kzrpc
