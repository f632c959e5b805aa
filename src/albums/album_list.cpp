#include "albums/album_list.h"

#include <exception>

#include "albums/feed_album_list.h"
#include "albums/group_album_list.h"
#include "albums/personal_album_list.h"
#include "albums/target_number.h"
#include "form/worker_form.h"
#include "net/http_clients.h"
#include "net/request_object.h"
#include "text/encoding.h"

namespace fotolun {
namespace {

constexpr int kPersonalSource = 0;
constexpr int kGroupSource = 1;
constexpr int kFeedSource = 2;

// A list that ended without rows must not look as if it were still coming.
void showListEnded(Form& form, ListOutcome outcome) {
  const char* hint = "没有获取到相册列表";
  if (outcome == ListOutcome::noAlbums) hint = "获取完毕：没有相册";
  if (outcome == ListOutcome::notSignedIn) hint = "没有获取到相册列表：请先登录";
  if (outcome == ListOutcome::noPermission) hint = "没有获取到相册列表：没有访问权限";
  form.setText(Control::标签_动态, Utf8ToGbk(hint));
  form.setPosition(Control::进度条1, 0);
  form.setText(Control::标签_进度条比例, "");
}

}  // namespace

AlbumLists::AlbumLists(Program& program) : program_(program) {}

AlbumLists::~AlbumLists() { stop(); }

void AlbumLists::onGetAlbums() {
  Context context(program_);
  Form& form = program_.form;
  if (building_) {
    form.appendLog(Utf8ToGbk("相册列表还在获取中，请等它完成后再获取\r\n"));
    return;
  }
  if (form.text(Control::编辑框_号码).empty()) {
    form.messageBox(Utf8ToGbk("输入QQ或者群号"), "", MessageButtons::Ok);
    return;
  }
  const int source = form.currentIndex(Control::组合框1);
  const bool known = source == kPersonalSource || source == kGroupSource || source == kFeedSource;
  if (const Text problem = numberProblem(form.text(Control::编辑框_号码), source == kGroupSource);
      !problem.empty() && known) {
    form.messageBox(problem, "", MessageButtons::Ok, MessageIcon::warning);
    return;
  }
  form.setText(Control::标签_选择了相册数量, "");
  form.setText(Control::标签_进度条比例, "");
  form.setText(Control::标签_第多少张照片, "");

  if (!known) {
    form.setVisible(Control::画板1, false);
    return;
  }
  if (source != kGroupSource) program_.targetNumber.set(form.text(Control::编辑框_号码));
  form.setText(Control::标签_动态, Utf8ToGbk("温馨提示：正在获取相册列表..."));
  form.appendLog(Utf8ToGbk("正努力获取相册列表，耐心等待哈！\r\n\r\n"));
  startWorker(source == kGroupSource  ? listGroupAlbums
              : source == kFeedSource ? listFeedYears
                                      : listPersonalAlbums);
  LetMessagesRun(context);
}

void AlbumLists::startWorker(ListOutcome (*list)(Context&)) {
  // The last worker has finished its list (building_ is clear) but may still be returning.
  if (worker_.joinable()) worker_.join();
  control_ = std::make_unique<RunControl>();
  building_ = true;
  worker_ = std::thread([this, list, &control = *control_] {
    const ThreadConnectionsClosedAtEnd connectionsClosed;
    WorkerForm form(program_.form, program_.ui, control);
    Context context(program_, form, control);
    // A transfer in flight ends as soon as the run is stopped.
    TransferHookScope transfers([&control] { return control.keepGoing(); });
    try {
      outcome_ = list(context);
      if (outcome_ != ListOutcome::listed) showListEnded(context.form, outcome_);
    } catch (const RunStopped&) {
      // Stopped because the program closes; stop() tidies the form.
    } catch (const std::exception& error) {
      // Whatever went wrong (memory ran out, say) ends this list, never the program.
      outcome_ = ListOutcome::failed;
      try {
        reportListFailure(context, error.what());
      } catch (const RunStopped&) {
      }
    }
    // Last: nothing of this run reaches the UI thread after the flag is clear.
    building_ = false;
  });
}

void AlbumLists::waitUntilListed() {
  if (worker_.joinable()) worker_.join();
}

void AlbumLists::stop() {
  if (!worker_.joinable()) return;
  const bool unfinished = building_;
  control_->stop();
  worker_.join();
  if (unfinished) program_.form.setVisible(Control::画板1, false);
}

}  // namespace fotolun
