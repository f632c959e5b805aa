#include "download/photo_fetch.h"

#include <algorithm>

#include "download/photo_request_headers.h"
#include "download/photo_store.h"
#include "net/content_range.h"
#include "net/url_parts.h"
#include "service/session_destination.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

// Photos are never held whole; this only bounds what a broken server may stream at the program.
constexpr std::size_t kLargestPhoto = std::size_t{1} << 30;

ReplyVerdict judgePhoto(const ServiceResponse& response, std::size_t bodyBytes,
                        std::optional<std::string_view> extension, MediaKind kind) {
  const auto failed = [](ReplyProblem problem, const std::string& utf8) {
    return ReplyVerdict{problem, Utf8ToGbk(utf8), -1};
  };
  if (response.status == 429 || response.status == 503)
    return ReplyVerdict{ReplyProblem::busy, "HTTP " + std::to_string(response.status),
                        retryAfterSeconds(response.headers)};
  if (response.status == 0) return failed(ReplyProblem::unanswered, "没有回应");
  if (response.status >= 400) return failed(ReplyProblem::broken, "HTTP " + std::to_string(response.status));
  if (bodyBytes == 0) return failed(ReplyProblem::broken, "空回复");
  const long long announced = HeaderNumber(response.headers, "Content-Length");
  if (announced >= 0 && static_cast<std::size_t>(announced) != bodyBytes)
    return failed(ReplyProblem::broken, "内容不完整");
  if (response.status == 206 && !rangeCoversWholeBody(response.headers, bodyBytes))
    return failed(ReplyProblem::broken, "服务只给出了文件的一部分（HTTP 206）");
  if (!extension)
    return failed(ReplyProblem::broken, kind == MediaKind::video ? "内容不是视频" : "内容不是图片");
  return {};
}

}  // namespace

void PhotoSink::restart() {
  lead_.clear();
  received_ = 0;
  judged_ = false;
  writeFailed_ = false;
  extension_.reset();
  part_.reset();
}

bool PhotoSink::take(std::string_view bytes) {
  received_ += bytes.size();
  if (!judged_) {
    // The usual first piece holds the whole signature and is judged where it lies.
    if (lead_.empty() && bytes.size() >= kMediaSignatureBytes) {
      judge(bytes);
      return true;
    }
    lead_.append(bytes);
    if (lead_.size() >= kMediaSignatureBytes) judge(lead_);
    return true;
  }
  if (part_ && !writeFailed_ && !part_->append(bytes)) writeFailed_ = true;
  return true;
}

void PhotoSink::complete() {
  if (!judged_ && received_ > 0) judge(lead_);
  if (part_ && !writeFailed_ && !part_->writeOut()) writeFailed_ = true;
}

// Bytes of the wrong kind (an error page) are counted to the end, not stored: the response is
// then judged as a whole, as a held one would be.
void PhotoSink::judge(std::string_view lead) {
  judged_ = true;
  extension_ = mediaExtension(lead, kind_);
  if (extension_) {
    part_ = PartFile::create(folder_);
    writeFailed_ = !part_ || !part_->append(lead);
  }
  lead_.clear();
  lead_.shrink_to_fit();
}

PhotoFetch::PhotoFetch(Context& context, const ListedPhoto& photo, const Text& albumId,
                       std::string folderOnDisk)
    : context_(context),
      kind_(photo.kind),
      folder_(std::move(folderOnDisk)),
      backoff_({kAttempts, kRetryMs}, kBusyBudgetMs) {
  options_.sessionCookies = maySendSession(context.program.hosts, photo.url);
  options_.asBrowser = photo.asBrowser;
  options_.maxBodyBytes = kLargestPhoto;
  options_.headers = photo.requestHeaders.empty()
                         ? photoRequestHeaders(context.program.hosts.staticPage, albumId)
                         : photo.requestHeaders;
}

const ServiceGetOptions& PhotoFetch::nextAttempt() {
  ++attempt_;
  sink_.emplace(folder_, kind_);
  options_.bodySink = &*sink_;
  return options_;
}

// Anything but a whole picture is asked again, a few times a second apart; a busy host is given
// a growing back-off on top.
std::optional<PhotoFetch::Retry> PhotoFetch::judge(const ServiceResponse& response) {
  sink_->complete();
  const ReplyVerdict verdict = judgePhoto(response, sink_->received(), sink_->extension(), kind_);
  if (verdict.usable()) {
    result_.extension = *sink_->extension();
    result_.bytes = sink_->received();
    // Bytes that could not all be written leave no file: the photo then fails as unsaved.
    if (!sink_->writeFailed()) result_.part = sink_->takePart();
    return std::nullopt;
  }
  result_.failure = verdict.reason;
  if (verdict.problem == ReplyProblem::busy) {
    const std::optional<int> wait = backoff_.next(verdict);
    if (!wait) return std::nullopt;
    return Retry{*wait, true, verdict};
  }
  if (attempt_ < kAttempts) return Retry{kRetryMs, false, verdict};
  return std::nullopt;
}

}  // namespace fotolun
