# Turns a text file into a C++ source file defining
#   std::string_view <NAME>() returning the file's bytes, in namespace <NAMESPACE>.
# Run as: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -DNAMESPACE=... -P EmbedText.cmake
# Fails when the file holds a byte outside 7-bit ASCII, so the embedded text can be handed
# to any code page unchanged.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX MATCHALL ".." bytes "${hex}")
foreach(byte IN LISTS bytes)
    if(byte MATCHES "^[89a-f]")
        message(FATAL_ERROR "${INPUT} holds a byte outside 7-bit ASCII (0x${byte})")
    endif()
endforeach()
string(REGEX REPLACE "(..)" "0x\\1," array "${hex}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} by EmbedText.cmake; edit the source file instead.
#include <string_view>

namespace ${NAMESPACE} {
namespace {
constexpr char kBytes[] = {${array}0x00};
}  // namespace

std::string_view ${NAME}() { return std::string_view(kBytes, ${byte_count}); }

}  // namespace ${NAMESPACE}
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
