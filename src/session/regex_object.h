#pragma once
#include <memory>

#include "text/gbk_text.h"

namespace fotolun {

// One regular expression run over one GBK text; matches and groups handed out as GBK text with
// 1-based indexes. Whatever does not exist reads as "" (or 0), and an invalid pattern never throws.
class RegexObject {
 public:
  RegexObject();
  ~RegexObject();
  RegexObject(const RegexObject&);
  RegexObject& operator=(const RegexObject&);

  // The pattern may write "#引号" for a double quote when quoteMark is set.
  bool execute(const Text& pattern, const Text& subject, bool caseSensitive = false, bool multiLine = true,
               bool global = true, bool quoteMark = false);
  Text pattern() const;
  // replacement may use $1..$99, $& (the match), $` and $' (before / after it) and $$ (a "$").
  Text replace(const Text& replacement) const;
  int matchCount() const;
  // position receives the match's zero-based byte offset in the GBK subject, -1 when the match
  // (or the group) does not exist or did not take part.
  Text matchText(int match, int* position = nullptr) const;
  Text subMatchText(int match, int subMatch, int* position = nullptr) const;
  int subMatchCount() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

}  // namespace fotolun
