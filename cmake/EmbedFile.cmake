# Writes a C++ source that embeds the bytes of INPUT as `const unsigned char SYMBOL[]` and
# `const size_t SYMBOL_SIZE` in NAMESPACE. Run as: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=...
# -DNAMESPACE=... -P EmbedFile.cmake
file(READ "${INPUT}" bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," array "${bytes}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " array "${array}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}. Do not edit.\n#include <cstddef>\n\nnamespace ${NAMESPACE} {\n\nextern const unsigned char ${SYMBOL}[] = {\n    ${array}\n};\nextern const size_t ${SYMBOL}Size = ${size};\n\n}  // namespace ${NAMESPACE}\n")
