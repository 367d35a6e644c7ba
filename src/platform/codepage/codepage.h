// The ANSI code page of the system: code page 936 (GBK), whatever the locale.
//
// Texts are byte strings in GBK. Bytes change encoding only at two borders, the window
// layer (Qt speaks UTF-16) and the automation layer (its strings are UTF-16); both call
// the functions here. A character GBK cannot hold becomes '?', and a byte sequence that is
// not GBK becomes U+FFFD, so no conversion fails and none loses the position of a character.
//
// Runs of ASCII bytes are the same in all three encodings and are copied without iconv;
// only the runs of other characters go through glibc's converter.
#pragma once

#include <string>
#include <string_view>

namespace quorvel::codepage {

std::u16string Utf16FromGbk(std::string_view gbk);
std::string GbkFromUtf16(std::u16string_view utf16);

std::string Utf8FromGbk(std::string_view gbk);
std::string GbkFromUtf8(std::string_view utf8);

}  // namespace quorvel::codepage
