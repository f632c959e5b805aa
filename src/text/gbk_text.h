#pragma once
// Text operations over code page 936 (GBK) byte strings.
//
// Every text inside the program is a std::string of GBK bytes. A byte of 0x80 or more starts a
// two-byte character; searches step over both bytes together, so a match never starts on a trail
// byte. Positions are 1-based and a search that finds nothing gives -1. Spaces are the ASCII
// space and the full-width space (A1 A1); tabs and line breaks are not spaces.
#include <string>
#include <string_view>
#include <vector>

namespace fotolun {

using Text = std::string;        // code page 936 bytes
using ByteBuffer = std::string;  // raw bytes; may hold NUL

int CompareText(std::string_view a, std::string_view b);
int TextLength(std::string_view text);

template <class... Parts>
Text ConcatText(const Parts&... parts) {
  Text out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

int FindText(std::string_view text, std::string_view needle, int start = 1, bool ignoreCase = false);
// An empty needle gives 1 for a non-empty text, as FindText does.
int FindTextFromEnd(std::string_view text, std::string_view needle);
Text TrimSpaces(std::string_view text);
Text RemoveSpaces(std::string_view text);
// An empty separator gives the whole text as the one piece.
std::vector<Text> SplitText(std::string_view text, std::string_view separator);
// The same pieces, as views into text.
std::vector<std::string_view> SplitTextViews(std::string_view text, std::string_view separator);
// An empty find leaves the text as it is.
Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 bool caseSensitive = true);
Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start = 1,
                 bool ignoreCase = false);

// The token "#引号" that markers and patterns may write for a double quote, as GBK bytes (every text
// is GBK), and the same token as UTF-8 bytes (what a literal in a UTF-8 source file gives).
inline constexpr std::string_view kQuoteToken = "#\xD2\xFD\xBA\xC5";
inline constexpr std::string_view kQuoteTokenUtf8 = "#\xE5\xBC\x95\xE5\x8F\xB7";

// text with every quote token (either form) replaced by a double quote character.
Text ReplaceQuoteToken(std::string_view text);

// A byte buffer taken as text: it ends at the first NUL byte.
Text BufferToText(std::string_view bytes);

}  // namespace fotolun
