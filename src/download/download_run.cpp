#include "download/download_run.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>

#include "download/album_job.h"
#include "download/album_listing.h"
#include "download/feed_download.h"
#include "download/listing_outcome.h"
#include "download/photo_store.h"
#include "form/worker_form.h"
#include "net/http_clients.h"
#include "platform/path.h"
#include "platform/system.h"
#include "story/gallery.h"
#include "text/encoding.h"

namespace fotolun {

struct DownloadRun::RunState {
  RunControl control;
  DownloadTally tally;
  std::atomic<bool> finished{false};
  std::mutex endMutex;
  std::condition_variable ended;
};

namespace {

// Listing anew while a run goes would replace the rows the run still reads.
void showButtons(Form& form, bool start, bool pause, bool resume, bool stop) {
  form.setEnabled(Control::按钮_获取相册封面, start);
  form.setVisible(Control::按钮_下载选中, start);
  form.setVisible(Control::按钮_暂停线程, pause);
  form.setVisible(Control::按钮_继续下载, resume);
  form.setVisible(Control::按钮_结束下载, stop);
}
void showRunningSet(Form& form) { showButtons(form, false, true, false, true); }
void showIdleSet(Form& form) { showButtons(form, true, false, false, false); }

struct CheckedAlbums {
  Text selection;  // the rows' numbers, each followed by "、"
  std::vector<Text> jobs;
};

CheckedAlbums readCheckedAlbums(Context& context) {
  Form& form = context.form;
  CheckedAlbums checked;
  const int rows = form.rowCount();
  for (int row = 0; row < rows; ++row) {
    if (!form.rowChecked(row)) continue;
    checked.selection += form.cell(row, column::序号) + Utf8ToGbk("、");
    AlbumJob job;
    job.photoCountText = form.cell(row, column::图片数量);
    job.albumId = form.cell(row, column::相册ID);
    job.albumName = albumNameOrUnknown(form.cell(row, column::相册名称), job.albumId);
    if (!job.albumId.empty() && !job.photoCountText.empty()) checked.jobs.push_back(joinAlbumJob(job));
    LetMessagesRun(context);
  }
  return checked;
}

// The listing is chosen afresh for every album, so switching the source or the size during a
// run applies to the albums still to come; whose albums they are was fixed when the run began.
bool downloadAlbum(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  const int source = form.currentIndex(Control::组合框1);
  const bool original = form.checked(Control::选择框_原图);
  const bool hd = form.checked(Control::选择框_高清);
  // A year of posts is one on any endpoints and whatever the source shows now.
  if (yearOfFeedAlbum(job.albumId)) return downloadFeedYear(context, photos, job);
  if (context.program.family == ServiceFamily::current) {
    if (source == 1) return downloadCurrentGroupAlbum(context, photos, job);
    if (source == 0) return downloadCurrentPersonalAlbum(context, photos, job, original || !hd);
    return true;
  }
  if (source == 1) return downloadGroupAlbumPages(context, photos, job);
  if (source == 0 && (original || !hd)) return downloadFullSizeAlbum(context, photos, job);
  if (source == 0) return downloadPersonalAlbumPages(context, photos, job);
  return true;
}

// One album whatever happens inside it: a failure of its own (a listing without an answer, a
// photo lost, even memory running out) is counted and the run goes on with the next album.
void downloadCounted(Context& context, PhotoStore& photos, DownloadTally& tally, const AlbumJob& job) {
  const int failedBefore = tally.failedPhotos;
  bool whole = false;
  try {
    whole = downloadAlbum(context, photos, job);
  } catch (const std::exception& error) {
    context.form.appendLog(Utf8ToGbk("相册《") + job.albumName + Utf8ToGbk("》下载出错：") + error.what() +
                           "\r\n");
  }
  if (!whole || tally.failedPhotos != failedBefore) tally.albumFailed(job.albumName);
}

// "30分钟", "1.5分钟", "20秒": the patience as the log tells it.
std::string patienceText(int ms) {
  if (ms % 60000 == 0) return std::to_string(ms / 60000) + "分钟";
  if (ms >= 60000) {
    const int tenths = (ms + 3000) / 6000;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "分钟";
  }
  return std::to_string((ms + 999) / 1000) + "秒";
}

void runDownloadJobs(Context& context, PhotoStore& photos, DownloadTally& tally) {
  Form& form = context.form;
  const CheckedAlbums checked = readCheckedAlbums(context);
  if (checked.selection.empty()) {
    form.appendLog(Utf8ToGbk("当前未选择任何相册") + "\r\n\r\n");
  } else {
    form.appendLog(Utf8ToGbk("当前被选择相册编号:") + checked.selection + "\r\n\r\n");
  }
  form.setText(Control::标签_选择了相册数量,
               Utf8ToGbk("总共需下载[") + std::to_string(checked.jobs.size()) + Utf8ToGbk("]个相册"));
  const Text personalOwner = context.program.targetNumber.get();
  const Text typedNumber = form.text(Control::编辑框_号码);
  for (std::size_t j = 1; j <= checked.jobs.size(); ++j) {
    AlbumJob job = splitAlbumJob(checked.jobs[j - 1]);
    job.personalOwner = personalOwner;
    job.typedNumber = typedNumber;
    form.setText(Control::标签_正在下载相册,
                 Utf8ToGbk("下载到第[") + std::to_string(j) + Utf8ToGbk("]个相册"));
    // No later album would fare better: the rest are reported, not asked for.
    const auto endHere = [&](const std::string& why, const std::string& advice) {
      for (std::size_t rest = j; rest <= checked.jobs.size(); ++rest)
        tally.albumFailed(splitAlbumJob(checked.jobs[rest - 1]).albumName);
      form.appendLog(Utf8ToGbk(why + "，剩下的" + std::to_string(checked.jobs.size() - j + 1) +
                               "个相册没有下载。" + advice) +
                     "\r\n");
    };
    try {
      downloadCounted(context, photos, tally, job);
    } catch (const SessionEnded&) {
      tally.signedOut = true;
      return endHere("服务说登录已失效（未登录或者登录超时）", "请点“1.登录”重新登录后再下载");
    } catch (const ServiceWall& wall) {
      tally.cutShort = DownloadTally::CutShort::serviceWall;
      return endHere("服务器持续繁忙或没有回应（" + GbkToUtf8(wall.reason) + "），等了" +
                         patienceText(context.program.patienceMs) + "仍未恢复，下载停止",
                     "已保存的照片都完好，以后再运行一次，会从这次停下的地方接着下载");
    } catch (const PhotoAccessBroken& broken) {
      tally.cutShort = DownloadTally::CutShort::photoAccess;
      return endHere("连续" + std::to_string(PhotoStore::kPlaceholdersInARow) +
                         "张照片服务都只给出了占位图（" + GbkToUtf8(broken.reason) +
                         "），这次登录取照片的权限看来已失效",
                     "请点“1.登录”重新登录后再下载");
    }
    LetMessagesRun(context);
  }
}

// Built from the folders' records alone, so the pages show what earlier runs saved as well. A
// folder that takes no page is said in the log; the photos are safe whatever the pages do.
void writeOfflineAlbum(Context& context, const PhotoStore& photos) {
  if (!context.program.writeGallery) return;
  Text top;
  for (const Text& numberFolder : photos.numberFolders()) {
    context.checkpoint();
    if (writeGallery(platform::pathFromUtf8(GbkToUtf8(numberFolder)))) {
      top = numberFolder + platform::kFolderSeparator + "index.html";
    } else {
      context.form.appendLog(Utf8ToGbk("离线相册页没有写成：") + numberFolder + "\r\n");
    }
  }
  if (top.empty()) return;
  context.program.galleryPage.set(top);
  context.form.setVisible(Control::按钮_打开相册页, true);
}

// Whether the run has anything to own up to: a warning rather than the plain words.
bool anythingFailed(const DownloadTally& tally) {
  return tally.signedOut || tally.failedAlbums > 0 || tally.failedPhotos > 0;
}

// The closing box: the plain words only when every album was saved whole; otherwise what failed,
// without the counts that are nought.
Text closingMessage(const DownloadTally& tally) {
  if (tally.signedOut)
    return Utf8ToGbk("登录已失效，下载提前结束：有") + std::to_string(tally.failedAlbums) +
           Utf8ToGbk("个相册没有下载完，请重新登录后再下载");
  if (tally.cutShort == DownloadTally::CutShort::serviceWall)
    return Utf8ToGbk("服务器持续繁忙，下载提前结束：有" + std::to_string(tally.failedAlbums) +
                     "个相册没有下载完。以后再运行一次，会从停下的地方接着下载");
  if (tally.cutShort == DownloadTally::CutShort::photoAccess)
    return Utf8ToGbk("服务只给出占位图，下载提前结束：有" + std::to_string(tally.failedAlbums) +
                     "个相册没有下载完，请重新登录后再下载");
  if (!anythingFailed(tally)) return Utf8ToGbk("全部下载完毕");
  const int videos = tally.failedVideos;
  const int pictures = tally.failedPhotos - videos;
  Text what;
  const auto add = [&](int count, const char* unit) {
    if (count <= 0) return;
    if (!what.empty()) what += Utf8ToGbk("、");
    what += std::to_string(count) + Utf8ToGbk(unit);
  };
  add(tally.failedAlbums, "个相册");
  add(pictures, "张图片");
  add(videos, "个视频");
  return Utf8ToGbk("下载结束，但有") + what + Utf8ToGbk("没有下载成功，详见日志");
}

void logFailures(Form& form, const DownloadTally& tally) {
  if (const int failed = tally.failedPhotos; failed > 0) {
    form.appendLog(Utf8ToGbk("有") + std::to_string(failed) + Utf8ToGbk("张图片下载失败\r\n"));
  }
  if (const int albums = tally.failedAlbums; albums > 0) {
    Text names;
    for (const Text& name : tally.failedAlbumNames()) names += Utf8ToGbk("《") + name + Utf8ToGbk("》");
    form.appendLog(Utf8ToGbk("有") + std::to_string(albums) + Utf8ToGbk("个相册没有完整下载：") + names +
                   "\r\n");
  }
}

}  // namespace

DownloadRun::DownloadRun(Program& program) : program_(program) {}

DownloadRun::~DownloadRun() {
  if (current_) current_->control.stop();
  if (downloadWorker.joinable()) downloadWorker.join();
  for (auto& [worker, run] : retired_) {
    run->control.stop();
    worker.join();
  }
}

void DownloadRun::startDownload() {
  showRunningSet(program_.form);
  if (downloadWorker.joinable()) retired_.emplace_back(std::move(downloadWorker), current_);
  retireFinishedWorkers();
  current_ = std::make_shared<RunState>();
  downloadWorker = std::thread(&DownloadRun::runDownload, this, current_);
  program_.form.appendLog(Utf8ToGbk("开启启动下载\r\n"));
}

void DownloadRun::retireFinishedWorkers() {
  for (auto it = retired_.begin(); it != retired_.end();) {
    if (it->second->finished) {
      it->first.join();
      it = retired_.erase(it);
    } else {
      ++it;
    }
  }
}

void DownloadRun::runDownload(std::shared_ptr<RunState> run) {
  RunControl& control = run->control;
  WorkerForm form(program_.form, program_.ui, control);
  Context context(program_, form, control);
  // A transfer in flight holds still while the run is halted and is cut off by a stop.
  TransferHookScope transfers([&control] { return control.keepGoing(); });
  try {
    PhotoStore photos(context, run->tally);
    photos.setParallelPhotos(program_.parallelPhotos);
    runDownloadJobs(context, photos, run->tally);
    writeOfflineAlbum(context, photos);
    showIdleSet(form);
    logFailures(form, run->tally);
    form.appendLog(Utf8ToGbk("-------全部下载完毕--------\r\n\r\n"));
    form.setText(Control::标签_第多少张照片, Utf8ToGbk("下载完成"));
    if (anythingFailed(run->tally)) {
      form.messageBox(closingMessage(run->tally), Utf8ToGbk("警告："), MessageButtons::Ok,
                      MessageIcon::warning);
    } else {
      form.messageBox(closingMessage(run->tally), Utf8ToGbk("信息："), MessageButtons::Ok);
    }
  } catch (const RunStopped&) {
    // A confirmed stop: the run ends where it stood and says nothing more.
  } catch (const std::exception& error) {
    // Outside any album (memory ran out reading the list, say): the run ends, the program lives.
    try {
      showIdleSet(form);
      form.appendLog(Utf8ToGbk("下载出错，已停止：") + error.what() + "\r\n");
    } catch (const RunStopped&) {
    }
  }
  {
    const std::lock_guard lock(run->endMutex);
    run->finished = true;
  }
  run->ended.notify_all();
}

void DownloadRun::pauseDownload() {
  Form& form = program_.form;
  form.setVisible(Control::按钮_下载选中, false);
  form.setVisible(Control::按钮_暂停线程, false);
  form.setVisible(Control::按钮_继续下载, true);
  if (current_) current_->control.halt();
  form.appendLog(Utf8ToGbk("暂停了下载\r\n"));
}

void DownloadRun::resumeDownload() {
  Form& form = program_.form;
  form.setVisible(Control::按钮_下载选中, false);
  form.setVisible(Control::按钮_暂停线程, true);
  form.setVisible(Control::按钮_继续下载, false);
  if (current_) current_->control.resume();
  form.appendLog(Utf8ToGbk("恢复了下载\r\n"));
}

// The question is asked while the worker is halted, so it makes no progress while the user
// decides; Cancel lifts only this halt, so a paused run stays paused.
bool DownloadRun::stopDownload() {
  Form& form = program_.form;
  if (current_) current_->control.halt();
  const MessageAnswer answer =
      form.messageBox(Utf8ToGbk("您真的要彻底结束下载么？"), Utf8ToGbk("警告！"), MessageButtons::OkCancel);
  if (answer != MessageAnswer::Ok) {
    if (current_) current_->control.resume();
    return false;
  }
  if (current_) current_->control.stop();
  showIdleSet(form);
  form.appendLog(Utf8ToGbk("彻底结束下载了\r\n"));
  return true;
}

void DownloadRun::waitForWorker() {
  if (downloadWorker.joinable()) downloadWorker.join();
}

bool DownloadRun::running() const { return current_ && !current_->finished; }

bool DownloadRun::runningAfter(std::chrono::milliseconds upTo) const {
  if (!current_) return false;
  std::unique_lock lock(current_->endMutex);
  return !current_->ended.wait_for(lock, upTo, [this] { return current_->finished.load(); });
}

int DownloadRun::savedPhotos() const { return current_ ? current_->tally.savedPhotos.load() : 0; }
int DownloadRun::failedPhotos() const { return current_ ? current_->tally.failedPhotos.load() : 0; }
int DownloadRun::skippedPhotos() const { return current_ ? current_->tally.skippedPhotos.load() : 0; }
int DownloadRun::failedAlbums() const { return current_ ? current_->tally.failedAlbums.load() : 0; }
bool DownloadRun::signedOut() const { return current_ && current_->tally.signedOut.load(); }
DownloadTally::CutShort DownloadRun::cutShort() const {
  return current_ ? current_->tally.cutShort.load() : DownloadTally::CutShort::no;
}
long long DownloadRun::savedBytes() const { return current_ ? current_->tally.savedBytes.load() : 0; }

}  // namespace fotolun
