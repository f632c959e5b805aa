// UTF-8 <-> code page 936: what the system's conversion (platform/code_page.h) cannot take is
// decided here, the same on every system.
//
// Both directions hand the system long runs and deal with one character only where it stops, so
// megabyte replies stay fast.
#include "text/encoding.h"

#include "platform/code_page.h"

namespace fotolun {
namespace {

// Length of the well-formed UTF-8 character at the start of s (Unicode table 3-7: no overlongs,
// no surrogates, nothing above U+10FFFF), or 0 when it is not well-formed. In the latter case
// *badLength receives the length of the maximal subpart to replace by one "?" (at least 1), as
// Windows' and Python's decoders do.
size_t Utf8CharLength(std::string_view s, size_t* badLength) {
  const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char c = b(0);
  size_t need = 0;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) {
    need = 1;
  } else if (c >= 0xE0 && c <= 0xEF) {
    need = 2;
    if (c == 0xE0) lo = 0xA0;
    if (c == 0xED) hi = 0x9F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    need = 3;
    if (c == 0xF0) lo = 0x90;
    if (c == 0xF4) hi = 0x8F;
  } else {
    *badLength = 1;
    return 0;
  }
  size_t i = 1;
  for (; i <= need; ++i) {
    if (i >= s.size()) break;
    const unsigned char lower = i == 1 ? lo : 0x80;
    const unsigned char upper = i == 1 ? hi : 0xBF;
    if (b(i) < lower || b(i) > upper) break;
  }
  if (i == need + 1) return need + 1;
  *badLength = i;
  return 0;
}

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

}  // namespace

Text Utf8ToGbk(std::string_view utf8) {
  const size_t nul = utf8.find('\0');
  if (nul != std::string_view::npos) utf8 = utf8.substr(0, nul);
  Text out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    // The run of well-formed UTF-8 from pos goes to the system in one piece.
    size_t end = pos;
    size_t badLength = 0;
    while (end < utf8.size()) {
      if (static_cast<unsigned char>(utf8[end]) < 0x80) {
        ++end;
        continue;
      }
      const size_t len = Utf8CharLength(utf8.substr(end), &badLength);
      if (len == 0) break;
      end += len;
    }
    while (pos < end) {
      pos += Utf8ToCodePage936(utf8.substr(pos, end - pos), out);
      if (pos < end) {  // a character that 936 cannot hold
        out.push_back('?');
        size_t unused = 0;
        pos += Utf8CharLength(utf8.substr(pos), &unused);
      }
    }
    if (end < utf8.size()) {  // an ill-formed sequence
      out.push_back('?');
      pos = end + badLength;
    }
  }
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  size_t pos = 0;
  while (pos < gbk.size()) {
    pos += CodePage936ToUtf8(gbk.substr(pos), out);
    if (pos >= gbk.size()) break;
    // The system stopped at a byte it cannot take. A lead byte with a proper trail byte that maps to
    // nothing would be one unknown character (two bytes; Windows' table leaves no such pair); any
    // other byte is replaced on its own, so the byte after it starts afresh (an ASCII character
    // after a stray lead byte survives).
    const auto c = static_cast<unsigned char>(gbk[pos]);
    const bool pair =
        IsGbkLead(c) && pos + 1 < gbk.size() && IsGbkTrail(static_cast<unsigned char>(gbk[pos + 1]));
    out.append(kReplacement);
    pos += pair ? 2 : 1;
  }
  return out;
}

}  // namespace fotolun
