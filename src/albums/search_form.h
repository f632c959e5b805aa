#pragma once
// The album find window's controls, by its form's own names.
#include "form/form.h"

namespace fotolun {

enum class SearchControl { 编辑框1, 按钮_查找, 按钮_查找上一个, 按钮_查找下一个, 标签_行位置 };

class SearchForm {
 public:
  virtual ~SearchForm() = default;
  virtual Text text(SearchControl c) const = 0;
  virtual void setText(SearchControl c, const Text& text) = 0;
  virtual MessageAnswer messageBox(const Text& text, const Text& caption, MessageButtons buttons) = 0;
};

}  // namespace fotolun
