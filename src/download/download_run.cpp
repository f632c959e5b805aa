#include "download/download_run.h"

#include <atomic>

#include "download/album_job.h"
#include "download/album_listing.h"
#include "download/photo_store.h"
#include "form/worker_form.h"
#include "net/http_clients.h"
#include "text/encoding.h"

namespace fotolun {

struct DownloadRun::RunState {
  RunControl control;
  DownloadTally tally;
  std::atomic<bool> finished{false};
};

namespace {

void showButtons(Form& form, bool start, bool pause, bool resume, bool stop) {
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
    job.albumName = albumNameOrUnknown(form.cell(row, column::相册名称));
    if (!job.albumId.empty() && !job.photoCountText.empty()) checked.jobs.push_back(joinAlbumJob(job));
    LetMessagesRun(context);
  }
  return checked;
}

// The listing is chosen afresh for every album, so switching the source or the size during a
// run applies to the albums still to come.
void downloadAlbum(Context& context, PhotoStore& photos, const AlbumJob& job) {
  Form& form = context.form;
  const int source = form.currentIndex(Control::组合框1);
  const bool original = form.checked(Control::选择框_原图);
  const bool hd = form.checked(Control::选择框_高清);
  if (source == 1) {
    downloadGroupAlbumPages(context, photos, job);
  } else if (source == 0 && (original || !hd)) {
    downloadFullSizeAlbum(context, photos, job);
  } else if (source == 0) {
    downloadPersonalAlbumPages(context, photos, job);
  }
}

void runDownloadJobs(Context& context, PhotoStore& photos) {
  Form& form = context.form;
  const CheckedAlbums checked = readCheckedAlbums(context);
  if (checked.selection.empty()) {
    form.appendLog(Utf8ToGbk("当前未选择任何相册") + "\r\n\r\n");
  } else {
    form.appendLog(Utf8ToGbk("当前被选择相册编号:") + checked.selection + "\r\n\r\n");
  }
  form.setText(Control::标签_选择了相册数量,
               Utf8ToGbk("总共需下载[") + std::to_string(checked.jobs.size()) + Utf8ToGbk("]个相册"));
  for (std::size_t j = 1; j <= checked.jobs.size(); ++j) {
    form.setText(Control::标签_正在下载相册,
                 Utf8ToGbk("下载到第[") + std::to_string(j) + Utf8ToGbk("]个相册"));
    downloadAlbum(context, photos, splitAlbumJob(checked.jobs[j - 1]));
    LetMessagesRun(context);
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
    runDownloadJobs(context, photos);
    showIdleSet(form);
    if (const int failed = run->tally.failedPhotos; failed > 0) {
      form.appendLog(Utf8ToGbk("有") + std::to_string(failed) + Utf8ToGbk("张图片下载失败\r\n"));
    }
    form.appendLog(Utf8ToGbk("-------全部下载完毕--------\r\n\r\n"));
    form.setText(Control::标签_第多少张照片, Utf8ToGbk("下载完成"));
    form.messageBox(Utf8ToGbk("全部下载完毕"), Utf8ToGbk("信息："), MessageButtons::Ok);
  } catch (const RunStopped&) {
    // A confirmed stop: the run ends where it stood and says nothing more.
  }
  run->finished = true;
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
void DownloadRun::stopDownload() {
  Form& form = program_.form;
  if (current_) current_->control.halt();
  const MessageAnswer answer =
      form.messageBox(Utf8ToGbk("您真的要彻底结束下载么？"), Utf8ToGbk("警告！"), MessageButtons::OkCancel);
  if (answer != MessageAnswer::Ok) {
    if (current_) current_->control.resume();
    return;
  }
  if (current_) current_->control.stop();
  showIdleSet(form);
  form.appendLog(Utf8ToGbk("彻底结束下载了\r\n"));
}

void DownloadRun::waitForWorker() {
  if (downloadWorker.joinable()) downloadWorker.join();
}

bool DownloadRun::running() const { return current_ && !current_->finished; }

int DownloadRun::savedPhotos() const { return current_ ? current_->tally.savedPhotos.load() : 0; }
int DownloadRun::failedPhotos() const { return current_ ? current_->tally.failedPhotos.load() : 0; }
long long DownloadRun::savedBytes() const { return current_ ? current_->tally.savedBytes.load() : 0; }

}  // namespace fotolun
