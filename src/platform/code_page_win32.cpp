// Code page 936 through the system's own conversions: MultiByteToWideChar and WideCharToMultiByte
// with 936, and with CP_UTF8 for the other half of the way.
//
// The calls only say whether a whole piece converted, not where it failed, so text goes in pieces
// that grow while they convert cleanly (a clean megabyte costs a few calls) and the first piece
// that does not is halved until the character at fault is found. A call after a stop starts
// small again, so a text with many characters 936 cannot hold is still read about once.
#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/code_page.h"

namespace fotolun {
namespace {

constexpr std::size_t kFirstPiece = 256;
constexpr std::size_t kLargestPiece = std::size_t{1} << 20;

// Whole characters only: the pieces of well-formed UTF-8 end before a character's first byte.
std::size_t Utf8PieceEnd(std::string_view utf8, std::size_t from, std::size_t length) {
  if (utf8.size() - from <= length) return utf8.size();
  std::size_t end = from + length;
  while ((static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return end;
}

std::wstring WideFrom(UINT codePage, DWORD flags, std::string_view bytes) {
  std::wstring wide(bytes.size(), L'\0');  // never more UTF-16 units than bytes
  const int n = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return n > 0 || bytes.empty() ? wide : std::wstring();
}

// wide in code page 936 appended to out; false, and out as it was, when 936 cannot hold all of
// it. Best fit is off: a character 936 has no bytes of its own for is not written as a look-alike.
bool AppendCodePage936(std::wstring_view wide, std::string& out) {
  if (wide.empty()) return true;
  const std::size_t before = out.size();
  out.resize(before + wide.size() * 2);
  BOOL usedDefault = FALSE;
  const int n =
      WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          out.data() + before, static_cast<int>(wide.size() * 2), nullptr, &usedDefault);
  out.resize(n > 0 && !usedDefault ? before + static_cast<std::size_t>(n) : before);
  return n > 0 && !usedDefault;
}

void AppendUtf8(std::wstring_view wide, std::string& out) {
  if (wide.empty()) return;
  const std::size_t before = out.size();
  out.resize(before + wide.size() * 3);  // a BMP character takes at most three bytes
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    out.data() + before, static_cast<int>(wide.size() * 3), nullptr, nullptr);
  out.resize(before + (n > 0 ? static_cast<std::size_t>(n) : 0));
}

// The UTF-8 bytes that the first `units` UTF-16 units of utf8 came from.
std::size_t Utf8BytesOfUnits(std::string_view utf8, std::size_t units) {
  std::size_t at = 0;
  for (std::size_t done = 0; done < units;) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    at += length;
    done += length == 4 ? 2 : 1;
  }
  return at;
}

// Where 936 characters start in bytes, as the system reads them: a byte from 81 to FE takes the
// next byte with it. The text's length ends the list.
std::vector<std::size_t> CharacterStarts(std::string_view bytes) {
  std::vector<std::size_t> starts;
  for (std::size_t at = 0; at < bytes.size();) {
    starts.push_back(at);
    const auto c = static_cast<unsigned char>(bytes[at]);
    at += (c >= 0x81 && c <= 0xFE && at + 1 < bytes.size()) ? 2 : 1;
  }
  starts.push_back(bytes.size());
  return starts;
}

std::size_t CodePage936PieceEnd(std::string_view bytes, std::size_t from, std::size_t length) {
  if (bytes.size() - from <= length) return bytes.size();
  std::size_t at = from;
  while (at < from + length) {
    const auto c = static_cast<unsigned char>(bytes[at]);
    at += (c >= 0x81 && c <= 0xFE && at + 1 < bytes.size()) ? 2 : 1;
  }
  return at;
}

}  // namespace

std::size_t Utf8ToCodePage936(std::string_view utf8, std::string& out) {
  std::size_t pos = 0;
  for (std::size_t piece = kFirstPiece; pos < utf8.size(); piece = std::min(piece * 2, kLargestPiece)) {
    const std::size_t end = Utf8PieceEnd(utf8, pos, piece);
    const std::string_view part = utf8.substr(pos, end - pos);
    const std::wstring wide = WideFrom(CP_UTF8, MB_ERR_INVALID_CHARS, part);
    if (AppendCodePage936(wide, out)) {
      pos = end;
      continue;
    }
    // The longest start that converts: every longer one holds the character at fault too.
    std::size_t good = 0, bad = wide.size();
    while (bad - good > 1) {
      const std::size_t middle = good + (bad - good) / 2;
      std::string scratch;
      (AppendCodePage936(std::wstring_view(wide).substr(0, middle), scratch) ? good : bad) = middle;
    }
    AppendCodePage936(std::wstring_view(wide).substr(0, good), out);
    return pos + Utf8BytesOfUnits(part, good);
  }
  return pos;
}

std::size_t CodePage936ToUtf8(std::string_view bytes, std::string& out) {
  std::size_t pos = 0;
  for (std::size_t piece = kFirstPiece; pos < bytes.size(); piece = std::min(piece * 2, kLargestPiece)) {
    const std::size_t end = CodePage936PieceEnd(bytes, pos, piece);
    const std::string_view part = bytes.substr(pos, end - pos);
    const std::wstring wide = WideFrom(936, MB_ERR_INVALID_CHARS, part);
    if (!wide.empty()) {
      AppendUtf8(wide, out);
      pos = end;
      continue;
    }
    // Over whole characters: a start that ends inside one fails although the character is good.
    const std::vector<std::size_t> starts = CharacterStarts(part);
    std::size_t good = 0, bad = starts.size() - 1;
    while (bad - good > 1) {
      const std::size_t middle = good + (bad - good) / 2;
      (WideFrom(936, MB_ERR_INVALID_CHARS, part.substr(0, starts[middle])).empty() ? bad : good) = middle;
    }
    AppendUtf8(WideFrom(936, MB_ERR_INVALID_CHARS, part.substr(0, starts[good])), out);
    return pos + starts[good];
  }
  return pos;
}

}  // namespace fotolun
