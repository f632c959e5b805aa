#pragma once
// Code page 936 as this system converts it: iconv's CP936 on Linux, the system's own tables on
// Windows. Both sides give the same bytes; where glibc's table and Windows' differ, the POSIX
// side follows Windows. What neither side can take is left to the caller (text/encoding.h), which
// decides what stands in its place.
#include <cstddef>
#include <string>
#include <string_view>

namespace fotolun {

// Appends to out the longest start of utf8 (well-formed UTF-8) that code page 936 can hold, and
// returns its length in bytes: all of utf8, or up to the first character 936 has no bytes for.
// Thread-safe.
std::size_t Utf8ToCodePage936(std::string_view utf8, std::string& out);

// Appends to out, as UTF-8, the longest start of bytes that is whole characters of code page
// 936, and returns its length: all of bytes, or up to the first byte that starts no character
// (a byte no character has, a lead byte without its trail byte). Thread-safe.
std::size_t CodePage936ToUtf8(std::string_view bytes, std::string& out);

}  // namespace fotolun
