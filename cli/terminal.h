#pragma once
// Where fotolun-cli writes: the log and a progress line on stdout, errors on stderr. On a
// terminal the progress line is redrawn in place; elsewhere it becomes plain lines.
#include <cstdio>
#include <mutex>
#include <string>

namespace fotolun::cli {

enum class Verbosity { Quiet, Normal, Verbose };

class Terminal {
 public:
  Terminal(std::FILE* out, std::FILE* err, bool interactive, Verbosity verbosity);

  // A line (or lines) of the operation log, UTF-8.
  void log(const std::string& text);
  // Details shown with --verbose only.
  void detail(const std::string& text);
  // Results that --quiet keeps (tables, summaries).
  void result(const std::string& text);
  void error(const std::string& text);
  // The current album's progress: redrawn in place on a terminal; elsewhere only milestones
  // become lines.
  void progress(const std::string& line, bool milestone, bool albumDone);
  Verbosity verbosity() const { return verbosity_; }

 private:
  void clearProgressLine();

  std::mutex mutex_;
  std::FILE* out_;
  std::FILE* err_;
  bool interactive_;
  Verbosity verbosity_;
  bool progressShown_ = false;
};

// Display width of a GBK text: every double-byte character takes two columns.
inline int displayWidth(const std::string& gbk) { return static_cast<int>(gbk.size()); }

}  // namespace fotolun::cli
