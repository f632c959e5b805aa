#include "download/parallel_photos.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>

#include "download/photo_fetch.h"
#include "net/parallel_transfers.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

using Clock = std::chrono::steady_clock;

// Photos fetched ahead of the one being saved wait as open temporary files; this many per stream
// at most, however slow the one being saved is.
constexpr std::size_t kAheadPerStream = 8;
// How often the loop looks at the run's pause and stop while transfers are quiet.
constexpr std::chrono::milliseconds kLongestPoll{50};

struct PhotoState {
  std::unique_ptr<PhotoFetch> fetch;
  bool skip = false;  // the folder's record had it when its turn came to be fetched
  bool done = false;
  FetchedPhoto result;
  std::optional<PhotoFetch::Retry> busy;  // the back-off a busy host asked for, waited out alone
};

struct Stream {
  std::optional<std::size_t> photo;  // transferring, or waiting to ask again
  Clock::time_point readyAt{};       // idle streams wait out their pause until then
  bool transferring = false;
};

}  // namespace

std::size_t storePhotosAtOnce(Context& context, PhotoStore& photos, const Text& albumId, const Text& folder,
                              const std::vector<ListedPhoto>& listed, int pauseMs,
                              const std::function<void(std::size_t index)>& showProgress) {
  const int streamCount = photos.parallelPhotos();
  const std::string folderOnDisk = GbkToUtf8(folder);
  std::vector<PhotoState> states(listed.size());
  std::vector<Stream> streams(static_cast<std::size_t>(streamCount));
  ParallelTransfers& transfers = photos.transfers(streamCount);
  // Its transfers write into states: however this ends (a stop unwinding), they end first.
  struct EndTransfers {
    ParallelTransfers& transfers;
    ~EndTransfers() { transfers.cancelAll(); }
  } endTransfers{transfers};

  std::size_t next = 0;             // the next photo to start
  std::size_t saved = 0;            // the next photo to save
  std::size_t end = listed.size();  // a busy host moves this to the first busy photo

  const auto startAttempt = [&](Stream& stream, std::size_t index) {
    PhotoState& state = states[index];
    std::optional<TransferRequest> request =
        serviceGetTransfer(context, listed[index].url, state.fetch->nextAttempt());
    // A host that may not have the session is not asked: no response at all.
    if (!request) request.emplace();
    transfers.start(static_cast<int>(index), std::move(*request));
    stream.photo = index;
    stream.transferring = true;
  };

  while (saved < end) {
    context.checkpoint();
    const Clock::time_point now = Clock::now();
    for (Stream& stream : streams) {
      if (stream.transferring || stream.readyAt > now) continue;
      if (stream.photo) {
        startAttempt(stream, *stream.photo);  // asking again after its wait
        continue;
      }
      while (next < end && next < saved + kAheadPerStream * streams.size()) {
        const std::size_t index = next++;
        if (!listed[index].unavailable.empty() || photos.recordedSaved(folder, listed[index])) {
          states[index].skip = true;
          states[index].done = true;
          continue;
        }
        states[index].fetch = std::make_unique<PhotoFetch>(context, listed[index], albumId, folderOnDisk);
        startAttempt(stream, index);
        break;
      }
    }

    // Saved strictly in listing order, between transfers, so the flushing and renaming of one
    // photo overlaps the pauses and transfers of the others.
    while (saved < end && states[saved].done) {
      PhotoState& state = states[saved];
      showProgress(saved);
      if (!listed[saved].unavailable.empty()) {
        photos.reportUnavailable(listed[saved]);
      } else if (!photos.skipSaved(folder, listed[saved])) {
        // Passed over as saved, but its file went since: fetched now, on its own.
        if (state.skip) photos.storePhoto(listed[saved], albumId, folder, pauseMs);
        if (!state.skip) photos.finishPhoto(listed[saved], folder, std::move(state.result));
      }
      // A run of placeholders: the rest of the page waits for a fresh listing instead.
      if (photos.manyPlaceholders()) end = std::min(end, saved + 1);
      state = PhotoState{};
      ++saved;
      LetMessagesRun(context);
    }
    if (saved >= end) break;

    Clock::time_point wake = Clock::now() + kLongestPoll;
    for (const Stream& stream : streams)
      if (!stream.transferring && stream.readyAt > Clock::now()) wake = std::min(wake, stream.readyAt);
    const auto timeout = std::max(std::chrono::milliseconds(0),
                                  std::chrono::duration_cast<std::chrono::milliseconds>(wake - Clock::now()));
    std::vector<ParallelTransfers::Ended> endedNow = transfers.run(timeout);
    // Every stream pausing: the worker sleeps, woken by a stop.
    if (endedNow.empty() && transfers.running() == 0) SleepUntil(context, wake);
    for (ParallelTransfers::Ended& ended : endedNow) {
      const auto index = static_cast<std::size_t>(ended.tag);
      Stream& stream = *std::find_if(streams.begin(), streams.end(),
                                     [&](const Stream& s) { return s.transferring && s.photo == index; });
      stream.transferring = false;
      PhotoState& state = states[index];
      if (index >= end) {  // past a busy photo: fetched again one at a time
        stream.photo.reset();
        state = PhotoState{};
        continue;
      }
      const ServiceResponse response =
          serviceGetResponse(context, state.fetch->options(), std::move(ended.outcome));
      if (const std::optional<PhotoFetch::Retry> retry = state.fetch->judge(response)) {
        if (retry->busy) {
          // A busy host gets one stream: this photo waits out its back-off in its place in the
          // log, and the photos after it are fetched again one at a time.
          state.busy = retry;
          end = std::min(end, index);
          photos.setParallelPhotos(1);
          stream.photo.reset();
          continue;
        }
        stream.readyAt = WaitEnd(context, retry->waitMs, Clock::now());
        continue;
      }
      state.result = state.fetch->result();
      state.done = true;
      stream.photo.reset();
      stream.readyAt = WaitEnd(context, pauseMs, Clock::now());
    }
    // Streams waiting to ask again for photos past a busy one are let go; those transferring
    // are let go when their transfer ends, or dropped below.
    for (Stream& stream : streams)
      if (stream.photo && *stream.photo >= end && !stream.transferring) stream.photo.reset();
  }
  // Transfers of photos past the busy one are dropped with their temporary files.
  transfers.cancelAll();
  // The pause of each stream's last photo passes before the next one is asked for.
  Clock::time_point last = Clock::now();
  for (const Stream& stream : streams) last = std::max(last, stream.readyAt);
  SleepUntil(context, last);
  if (end == listed.size() || !states[end].busy) return end;
  PhotoState& state = states[end];
  showProgress(end);
  if (!photos.skipSaved(folder, listed[end]))
    photos.storePhoto(listed[end], folder, pauseMs, *state.fetch, *state.busy);
  LetMessagesRun(context);
  return end + 1;
}

}  // namespace fotolun
