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

// Whether c can be part of a space, single or full-width.
bool IsSpaceByte(char c) { return c == ' ' || c == kFullWidthSpace[0]; }

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

// The first character start at or after byte `from` where needle stands, or npos; `walk` is a
// character start no later than `from`. A byte search proposes candidates and the walk over
// character starts, which only ever moves forward, confirms them: a text is scanned about once
// however many candidates fall inside double-byte characters.
size_t FindFrom(std::string_view text, std::string_view needle, size_t walk, size_t from, bool ignoreCase) {
  const unsigned char first = FoldAscii(static_cast<unsigned char>(needle[0]));
  while (from < text.size() && text.size() - from >= needle.size()) {
    size_t candidate = from;
    if (!ignoreCase) {
      candidate = text.find(needle, from);
      if (candidate == std::string_view::npos) return candidate;
    } else {
      while (candidate < text.size() && FoldAscii(static_cast<unsigned char>(text[candidate])) != first)
        ++candidate;
      if (candidate == text.size()) return std::string_view::npos;
    }
    while (walk < candidate) walk += CharLengthAt(text, walk);
    if (walk == candidate && MatchesAt(text, candidate, needle, ignoreCase)) return candidate;
    from = walk == candidate ? candidate + 1 : walk;
  }
  return std::string_view::npos;
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
  const size_t at = FindFrom(text, needle, 0, from, ignoreCase);
  return at == std::string_view::npos ? -1 : static_cast<int>(at + 1);
}

// An empty needle behaves as in FindText (1 for a non-empty text, else -1).
int FindTextFromEnd(std::string_view text, std::string_view needle) {
  text = AsText(text);
  needle = AsText(needle);
  if (text.empty()) return -1;
  if (needle.empty()) return 1;
  int last = -1;
  // Matches may overlap: the next one is looked for from the character after the last start.
  for (size_t at = FindFrom(text, needle, 0, 0, false); at != std::string_view::npos;) {
    last = static_cast<int>(at + 1);
    const size_t next = at + CharLengthAt(text, at);
    at = FindFrom(text, needle, next, next, false);
  }
  return last;
}

Text TrimSpaces(std::string_view text) {
  text = AsText(text);
  // A space, single or full-width, ends in " " or A1: with neither at either end there is nothing
  // to trim, and no walk is needed to find where the characters begin.
  if (text.empty() || (!IsSpaceByte(text.front()) && !IsSpaceByte(text.back()))) return Text(text);
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
  if (std::none_of(text.begin(), text.end(), IsSpaceByte)) return Text(text);
  Text out;
  out.reserve(text.size());
  size_t kept = 0;  // start of the run of non-space characters not yet copied
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLengthAt(text, i);
    if (IsSpaceAt(text, i, len)) {
      out.append(text.substr(kept, i - kept));
      kept = i + len;
    }
    i += len;
  }
  return out.append(text.substr(kept));
}

// An empty separator gives the whole text as its one piece.
std::vector<std::string_view> SplitTextViews(std::string_view text, std::string_view separator) {
  text = AsText(text);
  separator = AsText(separator);
  std::vector<std::string_view> pieces;
  if (text.empty()) return pieces;
  if (separator.empty()) {
    pieces.push_back(text);
    return pieces;
  }
  size_t pieceStart = 0;
  for (size_t at;
       (at = FindFrom(text, separator, pieceStart, pieceStart, false)) != std::string_view::npos;) {
    pieces.push_back(text.substr(pieceStart, at - pieceStart));
    pieceStart = at + separator.size();
  }
  if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
  return pieces;
}

std::vector<Text> SplitText(std::string_view text, std::string_view separator) {
  const std::vector<std::string_view> views = SplitTextViews(text, separator);
  return std::vector<Text>(views.begin(), views.end());
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
  size_t done = 0;
  for (size_t at; (at = FindFrom(text, find, done, done, !caseSensitive)) != std::string_view::npos;) {
    out.append(text.substr(done, at - done)).append(replacement);
    done = at + find.size();
  }
  return out.append(text.substr(done));
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
