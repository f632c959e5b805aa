#include "app/version_check.h"

#include <charconv>

#include "net/http_clients.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> versionNumber(const Text& version) {
  // A page edited by hand may put the version on a line of its own.
  std::string_view text = version;
  const std::string_view blanks = " \t\r\n";
  while (!text.empty() && blanks.find(text.front()) != std::string_view::npos) text.remove_prefix(1);
  while (!text.empty() && blanks.find(text.back()) != std::string_view::npos) text.remove_suffix(1);

  size_t i = 0;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i == 0) return std::nullopt;
  if (i < text.size() && text[i] == '.') {
    const size_t fractionStart = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    if (i == fractionStart) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  // from_chars ignores the locale, which a desktop front end may have set to a decimal comma.
  double number = 0;
  std::from_chars(text.data(), text.data() + text.size(), number);
  return number;
}

bool isNewerVersion(const Text& latest, const Text& current) {
  const auto latestNumber = versionNumber(latest);
  const auto currentNumber = versionNumber(current);
  return latestNumber && currentNumber && *latestNumber - *currentNumber > 1e-7;
}

void checkForNewVersion(Form& form, const Text& updatePage, const Text& proxy, const Text& caFile,
                        const Text& productKey) {
  if (updatePage.empty()) {
    form.setText(Control::标签_banbenjieguo, Utf8ToGbk("未设置更新页面"));
    return;
  }
  const Text current = form.text(Control::标签_banben);
  const ByteBuffer body =
      FetchUrl(updatePage, 0, "", nullptr, nullptr, nullptr, nullptr, false, nullptr, proxy, caFile);
  const Text latest = TextBetween(BufferToText(body), "#" + productKey + "@@", "#" + productKey);
  form.setText(Control::标签_zxbanben, latest);
  if (CompareText(latest, current) == 0) {
    form.setText(Control::标签_banbenjieguo, Utf8ToGbk("无需更新"));
    return;
  }
  if (!isNewerVersion(latest, current)) return;
  const Text notice = Utf8ToGbk("有新版，联系客服获取最新版或打开作者主页去下载");
  form.setText(Control::标签_banbenjieguo, notice);
  form.messageBox(notice, "", MessageButtons::Ok);
}

}  // namespace fotolun
