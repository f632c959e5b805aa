#include "download/photo_fetch.h"

#include <algorithm>

#include "download/photo_request_headers.h"
#include "download/photo_store.h"
#include "net/content_range.h"
#include "net/url_parts.h"
#include "session/session_destination.h"
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
  // The gateway in front of the photo hosts throttles with empty server errors.
  if (response.status >= 500 && bodyBytes == 0)
    return failed(ReplyProblem::unanswered, "空回复（HTTP " + std::to_string(response.status) + "）");
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
  head_.clear();
  size_.reset();
  sizeRead_ = false;
  received_ = 0;
  judged_ = false;
  writeFailed_ = false;
  extension_.reset();
  part_.reset();
}

bool PhotoSink::take(std::string_view bytes) {
  received_ += bytes.size();
  if (kind_ == MediaKind::picture) readSize(bytes);
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

void PhotoSink::readSize(std::string_view bytes) {
  if (sizeRead_) return;
  // The usual first piece holds the whole header and is read where it lies.
  if (head_.empty() && ((size_ = imageSize(bytes)) || bytes.size() >= kImageSizeHeadBytes)) {
    sizeRead_ = true;
    return;
  }
  head_.append(bytes.substr(0, kImageSizeHeadBytes - head_.size()));
  size_ = imageSize(head_);
  if (size_ || head_.size() >= kImageSizeHeadBytes) {
    sizeRead_ = true;
    head_ = std::string();
  }
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
      listedWidth_(photo.listedWidth),
      listedHeight_(photo.listedHeight),
      folder_(std::move(folderOnDisk)),
      backoff_({kAttempts, kRetryMs}, context.program.patienceMs) {
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
  const std::optional<ImageSize> size = sink_->pictureSize();
  if (verdict.usable() && size && looksLikePlaceholder(*size, listedWidth_, listedHeight_)) {
    // Asking the same address again gets the same stand-in: only a fresh listing may help.
    result_.placeholder = true;
    result_.failure = Utf8ToGbk("服务给出了占位图（" + std::to_string(size->width) + "×" +
                                std::to_string(size->height) + "）");
    return std::nullopt;
  }
  if (verdict.usable()) {
    result_.extension = *sink_->extension();
    result_.bytes = sink_->received();
    // Bytes that could not all be written leave no file: the photo then fails as unsaved.
    if (!sink_->writeFailed()) result_.part = sink_->takePart();
    return std::nullopt;
  }
  result_.failure = verdict.reason;
  // A busy or silent host (a gateway's wall of empty errors) is waited out within the patience,
  // the floor's few quick attempts first.
  if (verdict.worthRetrying()) {
    const std::optional<int> wait = backoff_.next(verdict);
    if (!wait) return std::nullopt;
    return Retry{*wait, !backoff_.lastWasFloorPause(), verdict};
  }
  if (attempt_ < kAttempts) return Retry{kRetryMs, false, verdict};
  return std::nullopt;
}

}  // namespace fotolun
