// Text operations over code page 936 byte strings.
//
// A byte of 0x80 or more is a lead byte and takes the next byte with it as one character; every
// scan below walks the text character by character from its start, so a match, a space or a
// separator is only ever recognised where a character begins. A lead byte at the very end of a
// text (a cut-off character) counts as a character of its own.
#include "text/gbk_text.h"

#include <algorithm>
#include <cstring>

namespace fotolun {
namespace {

constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

// Length of the character that starts at byte i (1 or 2).
size_t CharLengthAt(std::string_view text, size_t i) {
  return (static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size()) ? 2 : 1;
}

unsigned char FoldAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

// Whether needle stands at byte i of text (i is a character start). With ignoreCase only
// single-byte ASCII letters fold; both bytes of a double-byte character compare exactly, so a
// trail byte that happens to be a letter keeps its case.
bool MatchesAt(std::string_view text, size_t i, std::string_view needle, bool ignoreCase) {
  if (text.size() - i < needle.size()) return false;
  if (!ignoreCase) return text.compare(i, needle.size(), needle) == 0;
  for (size_t k = 0; k < needle.size();) {
    const auto n = static_cast<unsigned char>(needle[k]);
    const auto t = static_cast<unsigned char>(text[i + k]);
    if (n >= 0x80 && k + 1 < needle.size()) {
      if (n != t || needle[k + 1] != text[i + k + 1]) return false;
      k += 2;
    } else {
      if (FoldAscii(n) != FoldAscii(t)) return false;
      k += 1;
    }
  }
  return true;
}

bool IsSpaceAt(std::string_view text, size_t i, size_t charLength) {
  if (charLength == 1) return text[i] == ' ';
  return text.substr(i, 2) == kFullWidthSpace;
}

// Texts end at their first NUL byte, as NUL-terminated strings do.
std::string_view AsText(std::string_view bytes) {
  const size_t nul = bytes.find('\0');
  return nul == std::string_view::npos ? bytes : bytes.substr(0, nul);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  a = AsText(a);
  b = AsText(b);
  const size_t n = std::min(a.size(), b.size());
  const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);  // memcmp compares unsigned bytes
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int TextLength(std::string_view text) { return static_cast<int>(AsText(text).size()); }

int FindText(std::string_view text, std::string_view needle, int start, bool ignoreCase) {
  text = AsText(text);
  needle = AsText(needle);
  if (text.empty()) return -1;
  if (needle.empty()) return 1;
  const size_t from = start < 1 ? 0 : static_cast<size_t>(start - 1);
  for (size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (i >= from && MatchesAt(text, i, needle, ignoreCase)) return static_cast<int>(i + 1);
  }
  return -1;
}

// An empty needle behaves as in FindText (1 for a non-empty text, else -1).
int FindTextFromEnd(std::string_view text, std::string_view needle) {
  text = AsText(text);
  needle = AsText(needle);
  if (text.empty()) return -1;
  if (needle.empty()) return 1;
  int last = -1;
  for (size_t i = 0; i < text.size(); i += CharLengthAt(text, i)) {
    if (MatchesAt(text, i, needle, false)) last = static_cast<int>(i + 1);
  }
  return last;
}

Text TrimSpaces(std::string_view text) {
  text = AsText(text);
  size_t begin = text.size();  // start of the first non-space character
  size_t end = 0;              // end of the last non-space character
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLengthAt(text, i);
    if (!IsSpaceAt(text, i, len)) {
      begin = std::min(begin, i);
      end = i + len;
    }
    i += len;
  }
  return begin >= end ? Text() : Text(text.substr(begin, end - begin));
}

Text RemoveSpaces(std::string_view text) {
  text = AsText(text);
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLengthAt(text, i);
    if (!IsSpaceAt(text, i, len)) out.append(text.substr(i, len));
    i += len;
  }
  return out;
}

// An empty separator gives the whole text as its one piece.
std::vector<Text> SplitText(std::string_view text, std::string_view separator) {
  text = AsText(text);
  separator = AsText(separator);
  std::vector<Text> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  size_t pieceStart = 0;
  for (size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, separator, false)) {
      pieces.emplace_back(text.substr(pieceStart, i - pieceStart));
      i += separator.size();
      pieceStart = i;
    } else {
      i += CharLengthAt(text, i);
    }
  }
  if (pieceStart < text.size()) pieces.emplace_back(text.substr(pieceStart));
  return pieces;
}

// An empty find leaves the text as it is.
Text ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                 bool caseSensitive) {
  text = AsText(text);
  find = AsText(find);
  replacement = AsText(replacement);
  if (find.empty()) return Text(text);
  Text out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    if (MatchesAt(text, i, find, !caseSensitive)) {
      out.append(replacement);
      i += find.size();
    } else {
      const size_t len = CharLengthAt(text, i);
      out.append(text.substr(i, len));
      i += len;
    }
  }
  return out;
}

Text ReplaceQuoteToken(std::string_view text) {
  Text out = ReplaceText(text, kQuoteToken, "\"");
  // Source files are UTF-8, so a caller may have written the token's UTF-8 bytes; take those too.
  return ReplaceText(out, kQuoteTokenUtf8, "\"");
}

Text TextBetween(std::string_view text, std::string_view left, std::string_view right, int start,
                 bool ignoreCase) {
  const Text l = ReplaceQuoteToken(left);
  const Text r = ReplaceQuoteToken(right);
  int p = FindText(text, l, start, ignoreCase);
  if (p == -1) return Text();
  p += static_cast<int>(l.size());
  const int q = FindText(text, r, p, ignoreCase);
  if (q == -1 || q < p) return Text();
  return Text(AsText(text).substr(static_cast<size_t>(p - 1), static_cast<size_t>(q - p)));
}

Text BufferToText(std::string_view bytes) { return Text(AsText(bytes)); }

}  // namespace fotolun
