#include "cli/terminal.h"

namespace fotolun::cli {

Terminal::Terminal(std::FILE* out, std::FILE* err, bool interactive, Verbosity verbosity)
    : out_(out), err_(err), interactive_(interactive), verbosity_(verbosity) {}

void Terminal::clearProgressLine() {
  if (progressShown_) {
    std::fputs("\r\033[K", out_);
    progressShown_ = false;
  }
}

void Terminal::log(const std::string& text) {
  if (verbosity_ == Verbosity::Quiet) return;
  std::lock_guard lock(mutex_);
  clearProgressLine();
  std::string plain;
  for (char c : text)
    if (c != '\r') plain += c;
  std::fputs(plain.c_str(), out_);
  if (!plain.empty() && plain.back() != '\n') std::fputc('\n', out_);
  std::fflush(out_);
}

void Terminal::detail(const std::string& text) {
  if (verbosity_ == Verbosity::Verbose) log(text);
}

void Terminal::result(const std::string& text) {
  std::lock_guard lock(mutex_);
  clearProgressLine();
  std::fputs(text.c_str(), out_);
  std::fflush(out_);
}

void Terminal::error(const std::string& text) {
  std::lock_guard lock(mutex_);
  clearProgressLine();
  std::fflush(out_);
  std::fputs(("fotolun-cli: " + text + "\n").c_str(), err_);
  std::fflush(err_);
}

void Terminal::progress(const std::string& line, bool milestone, bool albumDone) {
  if (verbosity_ == Verbosity::Quiet) return;
  std::lock_guard lock(mutex_);
  if (interactive_) {
    std::fputs(("\r\033[K" + line).c_str(), out_);
    progressShown_ = true;
    if (albumDone) {
      std::fputc('\n', out_);
      progressShown_ = false;
    }
  } else if (milestone || albumDone) {
    std::fputs((line + "\n").c_str(), out_);
  }
  std::fflush(out_);
}

}  // namespace fotolun::cli
