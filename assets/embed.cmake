# Writes a C++ source holding one file as a byte constant: a little-endian
# 32-bit dimension count (1), a 32-bit length, then the bytes.
# Run as: cmake -DINPUT=<file> -DOUTPUT=<cpp> -DSYMBOL=<name> -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR length "${digits} / 2")

function(little_endian_32 value out)
  set(bytes "")
  foreach(shift 0 8 16 24)
    math(EXPR byte "(${value} >> ${shift}) & 255" OUTPUT_FORMAT HEXADECIMAL)
    string(APPEND bytes "${byte}, ")
  endforeach()
  set(${out} "${bytes}" PARENT_SCOPE)
endfunction()

little_endian_32(1 count)
little_endian_32(${length} size)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " body "${hex}")
string(REPEAT "0x[0-9a-f][0-9a-f], " 16 row)  # CMake's regular expressions have no {16}
string(REGEX REPLACE "(${row})" "\\1\n    " body "${body}")

file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.
#include <cstdint>

namespace assets::constants {

extern const uint8_t ${SYMBOL}[];
alignas(4) const uint8_t ${SYMBOL}[] = {
    ${count}${size}
    ${body}
};

}  // namespace assets::constants
")
