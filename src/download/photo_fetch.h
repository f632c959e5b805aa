#pragma once
// One photo on its way from the service to a temporary file: the request of each attempt, the
// bytes as they arrive, and what a response means (keep it, ask again after a wait, give up).
// The same steps serve a photo fetched alone and one of several fetched at once.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "download/image_kind.h"
#include "download/image_size.h"
#include "download/part_file.h"
#include "net/curl_transfer.h"
#include "service/backoff.h"
#include "service/service_get.h"

namespace fotolun {

struct ListedPhoto;

// The body of one response: its first bytes decide whether it is what the listing promised, and
// only then do the bytes go to a temporary file in the folder, piece by piece; anything else is
// counted and dropped, so no body is ever held whole.
class PhotoSink final : public BodySink {
 public:
  PhotoSink(std::string folderOnDisk, MediaKind kind) : folder_(std::move(folderOnDisk)), kind_(kind) {}

  void restart() override;
  bool take(std::string_view bytes) override;
  // The body is complete: a body shorter than a signature is judged on what there is.
  void complete();

  std::size_t received() const { return received_; }
  std::optional<std::string_view> extension() const { return extension_; }
  // The bytes were the right kind but could not all be written.
  bool writeFailed() const { return writeFailed_; }
  std::optional<PartFile> takePart() { return std::move(part_); }
  // The size the picture's header states, once enough of it has come; none for a video.
  std::optional<ImageSize> pictureSize() const { return size_; }

 private:
  // The kind is told from lead (the first bytes, or all there are), which then goes to the file.
  void judge(std::string_view lead);
  // Keeps the first bytes of a picture until its header has told its size.
  void readSize(std::string_view bytes);

  std::string folder_;
  MediaKind kind_;
  ByteBuffer lead_;  // the bytes before the kind is known
  std::size_t received_ = 0;
  bool judged_ = false;
  bool writeFailed_ = false;
  std::optional<std::string_view> extension_;
  std::optional<PartFile> part_;
  std::string head_;
  std::optional<ImageSize> size_;
  bool sizeRead_ = false;
};

// A photo as its fetch left it: written to a temporary file not yet flushed, or failed.
struct FetchedPhoto {
  std::optional<PartFile> part;
  std::size_t bytes = 0;
  std::string_view extension;  // of the format; empty when the fetch failed
  Text failure;                // GBK: why, when it failed
  // The service served its small stand-in picture instead of the photo: failed, but a fresh
  // listing may still give an address that serves the photo.
  bool placeholder = false;
};

class PhotoFetch {
 public:
  static constexpr int kAttempts = 3;
  static constexpr int kRetryMs = 1000;

  PhotoFetch(Context& context, const ListedPhoto& photo, const Text& albumId, std::string folderOnDisk);
  PhotoFetch(const PhotoFetch&) = delete;
  PhotoFetch& operator=(const PhotoFetch&) = delete;

  // The options of the next attempt, with a fresh sink that this object owns.
  const ServiceGetOptions& nextAttempt();
  const ServiceGetOptions& options() const { return options_; }

  struct Retry {
    int waitMs = 0;
    bool busy = false;  // the host said it is busy (the wait is a back-off, to be announced)
    ReplyVerdict verdict;
  };
  // What the attempt's response means: the wait before the next attempt, or none when the fetch
  // is over (result() then holds the photo or the failure).
  std::optional<Retry> judge(const ServiceResponse& response);

  FetchedPhoto result() { return std::move(result_); }
  // The photo host stayed busy or silent past the program's patience.
  bool outlastedPatience() const { return backoff_.outlasted(); }

 private:
  Context& context_;
  MediaKind kind_;
  int listedWidth_;
  int listedHeight_;
  std::string folder_;
  ServiceGetOptions options_;
  std::optional<PhotoSink> sink_;
  Backoff backoff_;
  int attempt_ = 0;
  FetchedPhoto result_;
};

}  // namespace fotolun
