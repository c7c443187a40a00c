// The descriptor set of the bridge's schema files (with their imports), compiled by protoc at build
// time and embedded in the engine image.
#ifndef ENGINE_EMBEDDED_SCHEMAS_H_
#define ENGINE_EMBEDDED_SCHEMAS_H_

#include <cstddef>

namespace engine {

extern const unsigned char kEmbeddedSchemas[];
extern const size_t kEmbeddedSchemasSize;

}  // namespace engine

#endif  // ENGINE_EMBEDDED_SCHEMAS_H_
