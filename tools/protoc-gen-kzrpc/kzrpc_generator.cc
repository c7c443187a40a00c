#include "kzrpc_generator.h"

#include <google/protobuf/descriptor.h>
#include <google/protobuf/io/printer.h>
#include <google/protobuf/io/zero_copy_stream.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "service_unit.h"

namespace kzrpc {
namespace {

using google::protobuf::FileDescriptor;
using google::protobuf::MethodDescriptor;
using google::protobuf::ServiceDescriptor;

bool ParseOptions(const std::string& parameter, UnitOptions* options, std::string* error) {
  std::vector<std::pair<std::string, std::string>> pairs;
  google::protobuf::compiler::ParseGeneratorParameter(parameter, &pairs);
  for (const auto& [name, value] : pairs) {
    if (name == "export_macro") {
      options->export_macro = value;
    } else {
      *error = "Unknown option: " + name;
      return false;
    }
  }
  return true;
}

// The unit supports unary methods only, and a method may not take the name of one of the base's
// own operations.
bool CheckMethods(const FileDescriptor* file, std::string* error) {
  static const std::set<std::string> kReserved = {"descriptor", "GetDescriptor", "CallMethod",
                                                  "GetRequestPrototype", "GetResponsePrototype"};
  for (int s = 0; s < file->service_count(); ++s) {
    const ServiceDescriptor* service = file->service(s);
    for (int m = 0; m < service->method_count(); ++m) {
      const MethodDescriptor* method = service->method(m);
      if (method->client_streaming() || method->server_streaming()) {
        *error = method->full_name() + ": streaming methods are not supported.";
        return false;
      }
      if (kReserved.count(method->name()) != 0) {
        *error = method->full_name() + ": the name is taken by the service base.";
        return false;
      }
    }
  }
  return true;
}

template <typename PrintFn>
void WriteFile(google::protobuf::compiler::GeneratorContext* context, const std::string& name,
               PrintFn print) {
  std::unique_ptr<google::protobuf::io::ZeroCopyOutputStream> output(context->Open(name));
  google::protobuf::io::Printer printer(output.get(), '$');
  print(&printer);
}

}  // namespace

bool KzrpcGenerator::Generate(const FileDescriptor* file, const std::string& parameter,
                              google::protobuf::compiler::GeneratorContext* context,
                              std::string* error) const {
  UnitOptions options;
  if (!ParseOptions(parameter, &options, error) || !CheckMethods(file, error)) return false;
  WriteFile(context, UnitHeaderName(file), [&](google::protobuf::io::Printer* printer) {
    PrintUnitHeader(file, options, printer);
  });
  WriteFile(context, UnitSourceName(file), [&](google::protobuf::io::Printer* printer) {
    PrintUnitSource(file, options, printer);
  });
  return true;
}

}  // namespace kzrpc
