// Code page 936 through iconv's CP936, corrected to Windows' table where glibc's differs:
// - Windows gives the user-defined areas of GBK (AAA1-AFFE, F8A1-FEFE, A140-A7A0) and the pairs
//   GBK leaves unassigned in its other rows the Private Use Area, U+E000 to U+E864 in order;
//   glibc has no character for them.
// - Windows writes U+F8F5 as the single byte FF (which reads back as no character at all).
// - glibc drops the tag characters U+E0000 to U+E007F without a trace; 936 holds nothing beyond
//   U+FFFF, so a four-byte UTF-8 character is never handed to iconv.
//
// An iconv descriptor holds conversion state and is not thread-safe; each thread keeps its own
// pair (opened on first use, closed at thread exit).
#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <stdexcept>

#include "platform/code_page.h"

namespace fotolun {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of in as iconv can, appending to out. Returns the number of input bytes
  // consumed; stops at the first byte sequence iconv refuses (or at the end).
  std::size_t convert(std::string_view in, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // initial state
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    while (srcLeft > 0) {
      const std::size_t before = out.size();
      const std::size_t room = srcLeft * 2 + 16;  // enough for either direction in most cases
      out.resize(before + room);
      char* dst = out.data() + before;
      std::size_t dstLeft = room;
      const std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.resize(before + (room - dstLeft));
      if (rc != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG) continue;
      break;  // EILSEQ or EINVAL: the caller deals with the byte at the stop
    }
    return in.size() - srcLeft;
  }

 private:
  iconv_t cd_;
};

Converter& ToCodePage() {
  thread_local Converter converter("CP936", "UTF-8");
  return converter;
}

Converter& FromCodePage() {
  thread_local Converter converter("UTF-8", "CP936");
  return converter;
}

// The pairs Windows gives the Private Use Area, as runs of trail bytes after one lead byte; the
// runs take U+E000 onwards in this order.
struct PrivateRun {
  std::uint8_t lead, firstTrail, lastTrail;
};
constexpr std::array<PrivateRun, 54> kPrivateRuns = {{
    {0xAA, 0xA1, 0xFE}, {0xAB, 0xA1, 0xFE}, {0xAC, 0xA1, 0xFE}, {0xAD, 0xA1, 0xFE}, {0xAE, 0xA1, 0xFE},
    {0xAF, 0xA1, 0xFE}, {0xF8, 0xA1, 0xFE}, {0xF9, 0xA1, 0xFE}, {0xFA, 0xA1, 0xFE}, {0xFB, 0xA1, 0xFE},
    {0xFC, 0xA1, 0xFE}, {0xFD, 0xA1, 0xFE}, {0xFE, 0xA1, 0xFE}, {0xA1, 0x40, 0x7E}, {0xA1, 0x80, 0xA0},
    {0xA2, 0x40, 0x7E}, {0xA2, 0x80, 0xA0}, {0xA3, 0x40, 0x7E}, {0xA3, 0x80, 0xA0}, {0xA4, 0x40, 0x7E},
    {0xA4, 0x80, 0xA0}, {0xA5, 0x40, 0x7E}, {0xA5, 0x80, 0xA0}, {0xA6, 0x40, 0x7E}, {0xA6, 0x80, 0xA0},
    {0xA7, 0x40, 0x7E}, {0xA7, 0x80, 0xA0}, {0xA2, 0xAB, 0xB0}, {0xA2, 0xE3, 0xE4}, {0xA2, 0xEF, 0xF0},
    {0xA2, 0xFD, 0xFE}, {0xA4, 0xF4, 0xFE}, {0xA5, 0xF7, 0xFE}, {0xA6, 0xB9, 0xC0}, {0xA6, 0xD9, 0xDF},
    {0xA6, 0xEC, 0xED}, {0xA6, 0xF3, 0xF3}, {0xA6, 0xF6, 0xFE}, {0xA7, 0xC2, 0xD0}, {0xA7, 0xF2, 0xFE},
    {0xA8, 0x96, 0xA0}, {0xA8, 0xBC, 0xBC}, {0xA8, 0xBF, 0xBF}, {0xA8, 0xC1, 0xC4}, {0xA8, 0xEA, 0xFE},
    {0xA9, 0x58, 0x58}, {0xA9, 0x5B, 0x5B}, {0xA9, 0x5D, 0x5F}, {0xA9, 0x89, 0x95}, {0xA9, 0x97, 0xA3},
    {0xA9, 0xF0, 0xFE}, {0xD7, 0xFA, 0xFE}, {0xFE, 0x50, 0x7E}, {0xFE, 0x80, 0xA0},
}};
constexpr char32_t kFirstPrivate = 0xE000;
constexpr char32_t kWindowsFF = 0xF8F5;

// The private code point Windows gives the pair, or 0.
char32_t PrivateCodePoint(unsigned char lead, unsigned char trail) {
  char32_t next = kFirstPrivate;
  for (const PrivateRun& run : kPrivateRuns) {
    if (run.lead == lead && trail >= run.firstTrail && trail <= run.lastTrail)
      return next + (trail - run.firstTrail);
    next += run.lastTrail - run.firstTrail + 1;
  }
  return 0;
}

// The bytes Windows writes for a code point glibc cannot write, or nothing.
std::string_view WindowsOnlyBytes(char32_t cp, char (&pair)[2]) {
  if (cp == kWindowsFF) return "\xFF";
  if (cp < kFirstPrivate) return {};
  char32_t next = kFirstPrivate;
  for (const PrivateRun& run : kPrivateRuns) {
    const char32_t count = run.lastTrail - run.firstTrail + 1;
    if (cp < next + count) {
      pair[0] = static_cast<char>(run.lead);
      pair[1] = static_cast<char>(run.firstTrail + (cp - next));
      return {pair, 2};
    }
    next += count;
  }
  return {};
}

// The code point of the three-byte UTF-8 character at the start of s, or 0 for any other length.
char32_t ThreeByteCodePoint(std::string_view s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.size() < 3 || (b(0) & 0xF0) != 0xE0) return 0;
  return (char32_t{b(0)} & 0x0F) << 12 | (char32_t{b(1)} & 0x3F) << 6 | (char32_t{b(2)} & 0x3F);
}

void AppendUtf8(char32_t cp, std::string& out) {  // a code point of three bytes
  out += static_cast<char>(0xE0 | (cp >> 12));
  out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

}  // namespace

std::size_t Utf8ToCodePage936(std::string_view utf8, std::string& out) {
  std::size_t end = 0;
  while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0xF0) ++end;
  Converter& converter = ToCodePage();
  std::size_t pos = 0;
  while (pos < end) {
    pos += converter.convert(utf8.substr(pos, end - pos), out);
    if (pos == end) break;
    char pair[2];
    const std::string_view bytes = WindowsOnlyBytes(ThreeByteCodePoint(utf8.substr(pos)), pair);
    if (bytes.empty()) break;
    out.append(bytes);
    pos += 3;
  }
  return pos;
}

std::size_t CodePage936ToUtf8(std::string_view bytes, std::string& out) {
  Converter& converter = FromCodePage();
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    pos += converter.convert(bytes.substr(pos), out);
    if (pos + 1 >= bytes.size()) break;
    const char32_t cp =
        PrivateCodePoint(static_cast<unsigned char>(bytes[pos]), static_cast<unsigned char>(bytes[pos + 1]));
    if (cp == 0) break;
    AppendUtf8(cp, out);
    pos += 2;
  }
  return pos;
}

}  // namespace fotolun
