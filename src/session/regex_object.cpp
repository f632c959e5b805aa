// The regular-expression object on PCRE2, standing in for VBScript.RegExp.
//
// The GBK subject is converted to UTF-8 once per execute, with a table from UTF-8 offsets back to
// GBK byte offsets, so that positions come out as byte offsets in the GBK subject. The options
// follow the VBScript/ECMAScript engine: \d, \w and \b stay ASCII (no PCRE2_UCP), case-insensitive
// matching folds letters beyond ASCII too (PCRE2_UTF does that), "." and the multi-line anchors
// know CR and LF as line breaks, $ without multi-line matches only at the very end, \uXXXX is
// accepted, and a back reference to a group that did not take part matches the empty string.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "session/regex_object.h"

#include <pcre2.h>

#include <memory>
#include <vector>

#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr size_t kUnset = static_cast<size_t>(-1);

struct Span {
  size_t start = kUnset;  // UTF-8 offsets into the converted subject; kUnset: did not take part
  size_t end = kUnset;
};

// Converts GBK to UTF-8 character by character, recording for every UTF-8 offset where its
// character starts in the GBK text. The units are the ones GbkToUtf8 converts as one character:
// an ASCII byte, a lead byte with a proper trail byte, or any other byte on its own.
std::string ConvertSubject(std::string_view gbk, std::vector<size_t>& gbkOffset) {
  std::string utf8;
  utf8.reserve(gbk.size() * 3 / 2);
  gbkOffset.clear();
  gbkOffset.reserve(gbk.size() * 3 / 2 + 1);
  for (size_t i = 0; i < gbk.size();) {
    const auto c = static_cast<unsigned char>(gbk[i]);
    size_t len = 1;
    if (c >= 0x81 && c <= 0xFE && i + 1 < gbk.size()) {
      const auto t = static_cast<unsigned char>(gbk[i + 1]);
      if (t >= 0x40 && t <= 0xFE && t != 0x7F) len = 2;
    }
    const std::string piece = c < 0x80 ? std::string(1, gbk[i]) : GbkToUtf8(gbk.substr(i, len));
    utf8 += piece;
    gbkOffset.insert(gbkOffset.end(), piece.size(), i);
    i += len;
  }
  gbkOffset.push_back(gbk.size());
  return utf8;
}

}  // namespace

struct RegexObject::State {
  Text pattern;  // as set on the engine, quote token already replaced (GBK)
  bool valid = false;
  std::string subject;                     // UTF-8
  std::vector<size_t> gbkOffset;           // UTF-8 offset -> GBK byte offset
  std::vector<std::vector<Span>> matches;  // [match][0 = whole match, 1.. = groups]
  size_t groupCount = 0;
  bool global = true;

  const Span* span(int match, int group) const {
    if (!valid || match < 1 || static_cast<size_t>(match) > matches.size()) return nullptr;
    const auto& spans = matches[static_cast<size_t>(match - 1)];
    if (group < 0 || static_cast<size_t>(group) >= spans.size()) return nullptr;
    return &spans[static_cast<size_t>(group)];
  }

  Text text(const Span* s, int* position) const {
    if (s == nullptr || s->start == kUnset) {
      if (position != nullptr) *position = -1;
      return Text();
    }
    if (position != nullptr) *position = static_cast<int>(gbkOffset[s->start]);
    return Utf8ToGbk(std::string_view(subject).substr(s->start, s->end - s->start));
  }
};

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(const RegexObject&) = default;
RegexObject& RegexObject::operator=(const RegexObject&) = default;

bool RegexObject::execute(const Text& pattern, const Text& subject, bool caseSensitive, bool multiLine,
                          bool global, bool quoteMark) {
  auto state = std::make_shared<State>();
  state->pattern = quoteMark ? ReplaceQuoteToken(pattern) : pattern;
  state->global = global;
  state_ = state;

  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF;
  options |= caseSensitive ? 0 : PCRE2_CASELESS;
  options |= multiLine ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
  const std::string patternUtf8 = GbkToUtf8(BufferToText(state->pattern));

  std::unique_ptr<pcre2_compile_context, decltype(&pcre2_compile_context_free)> context(
      pcre2_compile_context_create(nullptr), &pcre2_compile_context_free);
  if (!context) return false;
  pcre2_set_newline(context.get(), PCRE2_NEWLINE_ANYCRLF);
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code(
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(patternUtf8.data()), patternUtf8.size(), options, &errorCode,
                    &errorOffset, context.get()),
      &pcre2_code_free);
  if (!code) return false;  // an invalid pattern: no match collection
  // Where JIT is available it is used by pcre2_match; besides speed, it avoids the interpreter's
  // first-letter scan that re-reads the whole rest of the subject on every call of a caseless
  // global search.
  pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);

  uint32_t captureCount = 0;
  pcre2_pattern_info(code.get(), PCRE2_INFO_CAPTURECOUNT, &captureCount);
  state->groupCount = captureCount;
  state->subject = ConvertSubject(BufferToText(subject), state->gbkOffset);

  std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data(
      pcre2_match_data_create_from_pattern(code.get(), nullptr), &pcre2_match_data_free);
  if (!data) return false;
  const auto* subjectBytes = reinterpret_cast<PCRE2_SPTR>(state->subject.data());
  const size_t length = state->subject.size();
  size_t from = 0;
  // The converted subject is valid UTF-8 by construction; checking it again on every call of a
  // global search would make the search quadratic.
  while (from <= length) {
    const int rc =
        pcre2_match(code.get(), subjectBytes, length, from, PCRE2_NO_UTF_CHECK, data.get(), nullptr);
    if (rc < 0) {
      if (rc != PCRE2_ERROR_NOMATCH) state->matches.clear();  // e.g. the match limit: treat as failed
      if (rc != PCRE2_ERROR_NOMATCH) return false;
      break;
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    std::vector<Span> spans(captureCount + 1);
    for (uint32_t g = 0; g <= captureCount; ++g) {
      if (ovector[2 * g] != PCRE2_UNSET) spans[g] = Span{ovector[2 * g], ovector[2 * g + 1]};
    }
    state->matches.push_back(std::move(spans));
    if (!global) break;
    // As in ECMAScript, an empty match moves the search on by one character.
    size_t next = ovector[1];
    if (ovector[1] == ovector[0]) {
      if (next >= length) break;
      ++next;
      while (next < length && (static_cast<unsigned char>(state->subject[next]) & 0xC0) == 0x80) ++next;
    }
    from = next;
  }
  state->valid = true;
  return true;
}

Text RegexObject::pattern() const { return state_ ? state_->pattern : Text(); }

// The engine's replacement syntax: $1..$99 (two digits when such a group exists), $&, $`, $' and
// $$; a "$" followed by anything else stays as it is.
Text RegexObject::replace(const Text& replacement) const {
  if (!state_ || !state_->valid) return Text();
  const State& s = *state_;
  const std::string with = GbkToUtf8(BufferToText(replacement));
  std::string out;
  size_t copied = 0;
  for (const auto& spans : s.matches) {
    const Span& whole = spans[0];
    out.append(s.subject, copied, whole.start - copied);
    for (size_t i = 0; i < with.size(); ++i) {
      if (with[i] != '$' || i + 1 == with.size()) {
        out.push_back(with[i]);
        continue;
      }
      const char next = with[i + 1];
      auto appendSpan = [&](const Span& span) {
        if (span.start != kUnset) out.append(s.subject, span.start, span.end - span.start);
      };
      if (next == '$') {
        out.push_back('$');
        ++i;
      } else if (next == '&') {
        appendSpan(whole);
        ++i;
      } else if (next == '`') {
        out.append(s.subject, 0, whole.start);
        ++i;
      } else if (next == '\'') {
        out.append(s.subject, whole.end, std::string::npos);
        ++i;
      } else if (next >= '0' && next <= '9') {
        size_t group = static_cast<size_t>(next - '0');
        size_t used = 1;
        if (i + 2 < with.size() && with[i + 2] >= '0' && with[i + 2] <= '9') {
          const size_t two = group * 10 + static_cast<size_t>(with[i + 2] - '0');
          if (two >= 1 && two <= s.groupCount) {
            group = two;
            used = 2;
          }
        }
        if (group >= 1 && group <= s.groupCount) {
          appendSpan(spans[group]);
          i += used;
        } else {
          out.push_back('$');
        }
      } else {
        out.push_back('$');
      }
    }
    copied = whole.end;
  }
  out.append(s.subject, copied, std::string::npos);
  return Utf8ToGbk(out);
}

int RegexObject::matchCount() const {
  return state_ && state_->valid ? static_cast<int>(state_->matches.size()) : 0;
}

Text RegexObject::matchText(int match, int* position) const {
  if (!state_) {
    if (position != nullptr) *position = -1;
    return Text();
  }
  return state_->text(state_->span(match, 0), position);
}

Text RegexObject::subMatchText(int match, int subMatch, int* position) const {
  if (!state_ || subMatch < 1) {
    if (position != nullptr) *position = -1;
    return Text();
  }
  return state_->text(state_->span(match, subMatch), position);
}

int RegexObject::subMatchCount() const {
  if (!state_ || !state_->valid || state_->matches.empty()) return 0;
  return static_cast<int>(state_->groupCount);
}

}  // namespace fotolun
