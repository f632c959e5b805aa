#include "albums/target_number.h"

#include "text/encoding.h"

namespace fotolun {

bool isServiceNumber(std::string_view text) {
  return text.size() >= kShortestNumber && text.size() <= kLongestNumber &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

Text numberProblem(const Text& number, bool group) {
  if (isServiceNumber(number)) return "";
  return Utf8ToGbk(group ? "QQ群号应该是5到11位数字，请检查后再获取"
                         : "QQ号码应该是5到11位数字，请检查后再获取");
}

}  // namespace fotolun
