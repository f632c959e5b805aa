#include "app/main_window_controller.h"

#include <thread>

#include "albums/album_list.h"
#include "albums/album_search.h"
#include "albums/list_interactions.h"
#include "app/download_mode.h"
#include "app/family_setting.h"
#include "app/parallel_setting.h"
#include "app/patience_setting.h"
#include "app/photo_settings.h"
#include "app/save_folder.h"
#include "app/settings_file.h"
#include "app/version_check.h"
#include "download/download_run.h"
#include "form/run_control.h"
#include "form/worker_form.h"
#include "net/http_clients.h"
#include "net/request_object.h"
#include "story/html_text.h"
#include "text/encoding.h"

namespace fotolun {

namespace {

// A build without the page's address cannot open it; the user learns why nothing opens.
void openProjectPage(Form& form, Desktop& desktop, const Text& address, const char* notConfigured) {
  if (address.empty()) {
    form.messageBox(Utf8ToGbk(notConfigured), "", MessageButtons::Ok);
    return;
  }
  desktop.openUrl(address);
}

}  // namespace

struct MainWindowController::Impl {
  Impl(Program& p, Desktop& d, AppAddresses a)
      : program(p), desktop(d), addresses(std::move(a)), albumLists(p), downloadRun(p) {}

  Program& program;
  Desktop& desktop;
  AppAddresses addresses;
  int updateCheckCounter = 0;  // 1 until toolbar item 2 has started its check
  Text productKey;
  AlbumSearch search;
  AlbumLists albumLists;
  DownloadRun downloadRun;

  RunControl backgroundCheckControl;
  std::thread backgroundCheck;

  const Text& settingsPath() const { return program.folders.settingsFile; }

  void startBackgroundCheck() {
    // Copies, so the worker reads nothing the UI thread might change meanwhile.
    const Text updatePage = addresses.updatePage;
    const Text proxy = program.proxy;
    const Text caFile = program.caFile;
    const Text key = productKey;
    backgroundCheck = std::thread([this, updatePage, proxy, caFile, key] {
      const ThreadConnectionsClosedAtEnd connectionsClosed;
      try {
        WorkerForm form(program.form, program.ui, backgroundCheckControl);
        TransferHookScope hook([this] { return backgroundCheckControl.keepGoing(); });
        checkForNewVersion(form, updatePage, proxy, caFile, key);
      } catch (const RunStopped&) {
        // The window is going away; its labels no longer matter.
      }
    });
  }

  void stopBackgroundCheck() {
    backgroundCheckControl.stop();
    if (backgroundCheck.joinable()) backgroundCheck.join();
  }
};

MainWindowController::MainWindowController(Program& program, Desktop& desktop, AppAddresses addresses)
    : impl_(std::make_unique<Impl>(program, desktop, std::move(addresses))) {}

// The download run stops and joins its workers when impl_ goes.
MainWindowController::~MainWindowController() {
  impl_->stopBackgroundCheck();
  impl_->albumLists.stop();
}

void MainWindowController::windowCreated() {
  Form& form = impl_->program.form;
  const Text remembered = rememberedSaveFolder(impl_->settingsPath());
  const ProgramFolders& folders = impl_->program.folders;
  form.setText(Control::编辑框_保存位置,
               remembered.empty() || folders.saveFolderGiven ? folders.saveFolder : remembered);
  impl_->updateCheckCounter = 1;
  form.setText(Control::标签_banben, kVersion);
  impl_->productKey = kUpdateProductKey;
  form.letMessagesRun();
  form.setText(Control::窗口, ConcatText(form.text(Control::窗口), Utf8ToGbk("   版本："), kVersion));
  applySavedDownloadMode(form, impl_->settingsPath());
  impl_->program.rememberedFamily = rememberedFamily(impl_->settingsPath());
  impl_->program.familyAnswered = [path = impl_->settingsPath()](ServiceFamily family) {
    rememberFamily(path, family);
  };
  impl_->program.chooseFamily(savedFamilyChoice(impl_->settingsPath()));
  impl_->program.parallelPhotos = readParallelPhotos(impl_->settingsPath());
  impl_->program.patienceMs = readPatienceMs(impl_->settingsPath());
  form.setText(Control::编辑框_耐心, patienceMinutesText(impl_->program.patienceMs));
  const bool dates = readEmbedDates(impl_->settingsPath());
  form.setChecked(Control::选择框_写入拍摄时间, dates);
  impl_->program.embedDates = dates;
}

void MainWindowController::patienceEdited() {
  Program& program = impl_->program;
  const Text typed = TrimSpaces(program.form.text(Control::编辑框_耐心));
  if (const std::optional<int> ms = patienceFromMinutes(typed)) {
    if (*ms != program.patienceMs) writePatienceMinutes(impl_->settingsPath(), typed);
    program.patienceMs = *ms;
    return;
  }
  program.form.setText(Control::编辑框_耐心, patienceMinutesText(program.patienceMs));
  program.form.appendLog(Utf8ToGbk("服务繁忙时最多等的分钟数要大于0、不超过1440，仍按") +
                         patienceMinutesText(program.patienceMs) + Utf8ToGbk("分钟\r\n"));
}

void MainWindowController::clicked(Control control) {
  Program& program = impl_->program;
  Form& form = program.form;
  switch (control) {
    case Control::按钮_登录:
      program.loginAddress = ConcatText("http://", program.hosts.personalSpace, "/");
      form.openLoginWindow(program.loginAddress);
      break;
    case Control::按钮_获取相册封面:
      impl_->albumLists.onGetAlbums();
      break;
    case Control::按钮_下载选中:
      // A run started now would take the rows of a half-built list for the whole choice.
      if (impl_->albumLists.building()) {
        form.appendLog(Utf8ToGbk("相册列表还在获取中，请等它完成后再下载\r\n"));
        break;
      }
      rememberSaveFolder(impl_->settingsPath(), TrimSpaces(form.text(Control::编辑框_保存位置)));
      impl_->downloadRun.startDownload();
      break;
    case Control::按钮_暂停线程:
      impl_->downloadRun.pauseDownload();
      break;
    case Control::按钮_继续下载:
      impl_->downloadRun.resumeDownload();
      break;
    case Control::按钮_结束下载:
      impl_->downloadRun.stopDownload();
      break;
    case Control::按钮_选择位置:
      chooseSaveFolder(form, impl_->desktop, program.folders.saveFolder, impl_->settingsPath());
      break;
    case Control::按钮3:
      openSaveFolder(form, impl_->desktop, program.folders.saveFolder);
      break;
    case Control::按钮_打开相册页:
      if (const Text page = program.galleryPage.get(); !page.empty())
        impl_->desktop.openUrl(ConcatText("file://", linkToFile(GbkToUtf8(page))));
      break;
    case Control::选择框_写入拍摄时间:
      program.embedDates = form.checked(Control::选择框_写入拍摄时间);
      writeEmbedDates(impl_->settingsPath(), program.embedDates);
      break;
    case Control::选择框_高清:
      onHdClicked(form, impl_->settingsPath());
      break;
    case Control::选择框_原图:
      onOriginalSizeClicked(form, impl_->settingsPath());
      break;
    case Control::按钮_checknew:
      checkForNewVersion(form, impl_->addresses.updatePage, program.proxy, program.caFile, impl_->productKey);
      break;
    case Control::选择框_全选:
      selectAllAlbums(form);
      break;
    case Control::选择框_反选:
      invertAlbumSelection(form);
      break;
    case Control::按钮1:
      openAlbumAccessPage(program);
      break;
    case Control::标签_查找:
      impl_->desktop.openSearchWindow();
      break;
    case Control::标签7:
      openProjectPage(form, impl_->desktop, impl_->addresses.homePage, "未设置作者主页的地址");
      break;
    default:
      break;
  }
}

void MainWindowController::comboSelectionChanged() {
  Form& form = impl_->program.form;
  const int source = form.currentIndex(Control::组合框1);
  if (source == 0 || source == 2) {
    form.setText(Control::标签_空间或群, Utf8ToGbk("输入目标QQ号码："));
  } else if (source == 1) {
    form.setText(Control::标签_空间或群, Utf8ToGbk("输入QQ群号："));
  } else {
    return;
  }
  form.setVisible(Control::分组框1, true);
}

void MainWindowController::toolbarItemClicked(int item) {
  Form& form = impl_->program.form;
  switch (item) {
    case 0:
      form.setCurrentIndex(Control::高级选择夹1, 0);
      break;
    case 2:
      form.setCurrentIndex(Control::高级选择夹1, 1);
      if (impl_->updateCheckCounter == 1) {
        impl_->startBackgroundCheck();
        impl_->updateCheckCounter = 2;
      }
      break;
    case 4:
      openProjectPage(form, impl_->desktop, impl_->addresses.feedbackPage, "未设置反馈页面的地址");
      break;
    default:
      break;
  }
}

bool MainWindowController::windowClosing() {
  if (!impl_->downloadRun.running()) return true;
  return impl_->downloadRun.stopDownload();
}

void MainWindowController::albumRowClicked() { showProtectedAlbum(impl_->program.form); }

void MainWindowController::searchClicked(SearchForm& searchForm, SearchControl button) {
  Form& form = impl_->program.form;
  switch (button) {
    case SearchControl::按钮_查找:
      impl_->search.findAlbum(form, searchForm);
      break;
    case SearchControl::按钮_查找下一个:
      impl_->search.findNextAlbum(form, searchForm);
      break;
    case SearchControl::按钮_查找上一个:
      impl_->search.findPreviousAlbum(form, searchForm);
      break;
    default:
      break;
  }
}

AlbumLists& MainWindowController::albumLists() { return impl_->albumLists; }

DownloadRun& MainWindowController::downloadRun() { return impl_->downloadRun; }

const AppAddresses& MainWindowController::addresses() const { return impl_->addresses; }

int MainWindowController::searchRow() const { return impl_->search.searchRow(); }

void MainWindowController::waitForBackgroundCheck() {
  if (impl_->backgroundCheck.joinable()) impl_->backgroundCheck.join();
}

}  // namespace fotolun
