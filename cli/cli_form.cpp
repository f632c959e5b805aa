#include "cli/cli_form.h"

#include "text/encoding.h"

namespace fotolun::cli {

namespace {

// The number between "[" and "]" of a caption such as 下载到第[3]个相册, or "".
std::string bracketed(const std::string& utf8) {
  std::size_t open = utf8.find('[');
  std::size_t close = utf8.find(']', open == std::string::npos ? 0 : open);
  if (open == std::string::npos || close == std::string::npos) return "";
  return utf8.substr(open + 1, close - open - 1);
}

bool startsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

CliForm::CliForm(Terminal& terminal) : terminal_(terminal) {
  onLog = [this](const Text& text) { terminal_.log(GbkToUtf8(text)); };
  onMessageBox = [this](const Text& text, const Text& caption, MessageButtons) {
    const std::string message = GbkToUtf8(text);
    const std::string title = GbkToUtf8(caption);
    terminal_.log(title.empty() ? "[" + message + "]" : "[" + title + " " + message + "]");
    // The only question the program asks is the stop question, and the command line asks it
    // only when Ctrl-C said so.
    return MessageAnswer::Ok;
  };
  onOpenLoginWindow = [](const Text&) {};
  onWait = nullptr;
}

void CliForm::changed(const std::string& description) {
  if (startsWith(description, "setText 标签_") || startsWith(description, "setCell") ||
      startsWith(description, "setRowChecked") || startsWith(description, "setVisible"))
    terminal_.detail(description);
  // The listings caption 标签_第多少张照片 for every photo, after moving the progress bar; an
  // empty caption ends the album.
  if (startsWith(description, "setText 标签_第多少张照片") && description != "setText 标签_第多少张照片 = ")
    showProgress();
}

void CliForm::showProgress() {
  // The listings set 进度条1 to the album's photo count and move it photo by photo; the labels
  // say which album of how many. A space's list of posts, read before its pictures and maybe for
  // long, moves it post by post.
  constexpr std::string_view kPostsRead = "已读取说说";
  const std::string caption = GbkToUtf8(text(Control::标签_第多少张照片));
  const bool readingPosts = caption.starts_with(kPostsRead);
  const int position = this->position(Control::进度条1);
  const int maximum = this->maximum(Control::进度条1);
  const std::string album = bracketed(GbkToUtf8(text(Control::标签_正在下载相册)));
  const std::string albums = bracketed(GbkToUtf8(text(Control::标签_选择了相册数量)));
  if (album.empty() && !readingPosts) return;  // listing albums, not downloading
  const int percent = maximum > 0 ? position * 100 / maximum : 0;
  const std::string line =
      readingPosts ? "posts read " + caption.substr(kPostsRead.size()) + "  " + std::to_string(percent) + "%"
                   : "album " + album + "/" + albums + "  photo " + std::to_string(position) + "/" +
                         std::to_string(maximum) + "  " + std::to_string(percent) + "%";
  if (line == lastProgress_) return;
  lastProgress_ = line;
  const bool done = maximum > 0 && position >= maximum;
  // Off a terminal, a line every tenth of the album is enough.
  const int step = percent / 10;
  const bool milestone = step != lastStep_;
  lastStep_ = done ? -1 : step;
  terminal_.progress(line, milestone, done);
}

}  // namespace fotolun::cli
