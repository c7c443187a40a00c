// What libkezmora_client exports: the three C entry points under their plain names, and otherwise
// only its own C++ interface (launch, the kz::rpc runtime, the message classes with what protobuf's
// generated code exports for them, the service bases and clients, the indicator's window classes).
// Everything else must stay hidden.
#include <cxxabi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace kz::testing {
namespace {

struct Symbol {
  char type;             // nm's letter: T text, D/B/R data, V/W weak, u unique
  std::string name;      // as in the symbol table
  std::string readable;  // demangled
};

std::string Demangle(const std::string& name) {
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> demangled(
      abi::__cxa_demangle(name.c_str(), nullptr, nullptr, &status), &std::free);
  return status == 0 && demangled ? demangled.get() : name;
}

// The dynamic symbols the library defines, read with nm.
std::vector<Symbol> ExportedSymbols() {
  const std::string command = "nm -D --defined-only '" KZ_CLIENT_LIBRARY_PATH "'";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), &pclose);
  std::vector<Symbol> symbols;
  if (!pipe) return symbols;
  char line[8192];
  while (std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::istringstream fields(line);
    std::string address, type, name;
    if (!(fields >> address >> type >> name)) continue;
    symbols.push_back(Symbol{type[0], name, Demangle(name)});
  }
  return symbols;
}

bool IsWeak(char type) { return type == 'W' || type == 'V' || type == 'u' || type == 'w'; }

// The class or function the symbol belongs to, without the "vtable for " and similar prefixes.
std::string Subject(const std::string& readable) {
  static const std::regex kPrefix(
      "^(typeinfo name for |typeinfo for |vtable for |VTT for |construction vtable for "
      "|guard variable for )");
  return std::regex_replace(readable, kPrefix, "");
}

// The library's own interface, by demangled name without a "vtable for " kind of prefix.
std::regex OwnInterface() {
  const std::string messages =
      "(AppSnapshot|RestoreResult|PermissionStatusProto|PermissionsStatusResponse"
      "|PermissionTypeRequest|RecordingOverlayPhase)";
  const std::string services =
      "(AutomationService|FrontmostAppService|SystemPermissionsService|RecordingOverlayService)";
  const std::string files = "(clipboard|frontmost_5fapp|permissions|recording_5foverlay)_2eproto";
  const std::string alternatives[] = {
      // launch and the runtime
      "launch\\(\\)",
      "kz::rpc::.*",
      // the message classes, service bases and clients, window classes, and their members
      "(" + messages + "|" + services + "(Client)?|RecordingOverlay(Panel|View))(::.*)?",
      // what protobuf's generated code exports beside the message classes
      "_" + messages + "_default_instance_",
      "Permission(Type|Status)_\\w+\\(.*\\)",
      "(descriptor_table_|TableStruct_)" + files + "(::.*)?",
      messages + "\\* google::protobuf::Arena::CreateMaybeMessage<" + messages + ">\\(.*\\)",
  };
  std::string pattern;
  for (const std::string& alternative : alternatives) {
    pattern += (pattern.empty() ? "(" : "|(") + alternative + ")";
  }
  return std::regex(pattern);
}

bool IsAllowed(const Symbol& symbol) {
  // Weak instances of templates of the standard library (containers, std::function handlers,
  // std::forward in unoptimized builds) and type information of function types, which sanitizer
  // checks use: the compiler gives them default visibility whatever the library's setting.
  static const std::regex kStandardTemplate("^_Z(T[ISV])?(NK?)?(St|S[abdios]|9__gnu_cxx)");
  static const std::regex kFunctionTypeInfo("^_ZT[IS]P*K?F");
  // Instrumentation of sanitizer builds.
  static const std::regex kSanitizer("_*(asan|odr_asan|ubsan|tsan|sanitizer|sancov)\\w*");
  static const std::regex kOwnInterface = OwnInterface();

  if (symbol.name == "AppMain" || symbol.name == "invoke" || symbol.name == "set_host_invoke") {
    return true;
  }
  if (std::regex_match(Subject(symbol.readable), kOwnInterface)) return true;
  if (std::regex_match(symbol.name, kSanitizer)) return true;
  return IsWeak(symbol.type) && (std::regex_search(symbol.name, kStandardTemplate) ||
                                 std::regex_search(symbol.name, kFunctionTypeInfo));
}

TEST(ExportedSymbolsTest, EntryPointsAreExportedUndecorated) {
  const std::vector<Symbol> symbols = ExportedSymbols();
  ASSERT_FALSE(symbols.empty()) << "nm found nothing in " KZ_CLIENT_LIBRARY_PATH;
  for (const char* entry : {"AppMain", "invoke", "set_host_invoke"}) {
    SCOPED_TRACE(entry);
    int found = 0;
    for (const Symbol& symbol : symbols) {
      if (symbol.name == entry) {
        ++found;
        EXPECT_EQ(symbol.type, 'T');
      }
    }
    EXPECT_EQ(found, 1);
  }
}

TEST(ExportedSymbolsTest, ContractClassesAreExported) {
  const std::vector<Symbol> symbols = ExportedSymbols();
  const char* expected[] = {
      "launch()",
      "_AppSnapshot_default_instance_",
      "_RestoreResult_default_instance_",
      "_PermissionStatusProto_default_instance_",
      "_PermissionsStatusResponse_default_instance_",
      "_PermissionTypeRequest_default_instance_",
      "_RecordingOverlayPhase_default_instance_",
      "PermissionType_descriptor()",
      "PermissionStatus_descriptor()",
      "vtable for AppSnapshot",
      "vtable for RecordingOverlayPhase",
      "vtable for AutomationService",
      "vtable for FrontmostAppService",
      "vtable for SystemPermissionsService",
      "vtable for RecordingOverlayService",
      "AutomationService::descriptor()",
      "RecordingOverlayService::Hide(google::protobuf::Empty const*, "
      "kz::rpc::Callback<google::protobuf::Empty>)",
      "AutomationServiceClient::Paste(google::protobuf::Empty const&, "
      "std::function<void (kz::rpc::Result<google::protobuf::Empty>)>)",
      "SystemPermissionsServiceClient::GetPermissionsStatus(google::protobuf::Empty const&, "
      "std::function<void (kz::rpc::Result<PermissionsStatusResponse>)>)",
  };
  for (const char* name : expected) {
    bool found = false;
    for (const Symbol& symbol : symbols) found = found || symbol.readable == name;
    EXPECT_TRUE(found) << name;
  }
}

TEST(ExportedSymbolsTest, NothingElseIsExported) {
  const std::vector<Symbol> symbols = ExportedSymbols();
  ASSERT_FALSE(symbols.empty());
  for (const Symbol& symbol : symbols) {
    EXPECT_TRUE(IsAllowed(symbol)) << symbol.type << " " << symbol.readable;
  }
}

}  // namespace
}  // namespace kz::testing
