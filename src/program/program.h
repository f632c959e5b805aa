#pragma once
// The program-wide state that handlers and workers share. One per program run; tests make
// their own.
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "endpoints/service_family.h"
#include "endpoints/service_hosts.h"
#include "form/form.h"
#include "form/run_control.h"
#include "form/ui_thread.h"
#include "program/guarded.h"
#include "program/program_folders.h"
#include "session/session_credentials.h"
#include "session/session_jar.h"
#include "story/album_stories.h"

namespace fotolun {

struct FeedRead;

// Every wait the program asked for, in milliseconds as asked (tests read it).
class WaitLog {
 public:
  void record(int ms);
  std::vector<int> all() const;
  void clear();

 private:
  mutable std::mutex mutex_;
  std::vector<int> waits_;
};

struct Program {
  Program(Form& mainForm, UiThread& uiThread) : form(mainForm), ui(uiThread) {}

  Form& form;    // the main window, UI-thread side
  UiThread& ui;  // carries workers' calls to the UI thread
  ServiceHosts hosts;
  Text proxy;  // for every request; "" leaves it to http_proxy, https_proxy and their capitals
  // A PEM file of authorities every request trusts beside the system's, "" = none. Spelt as the
  // file system spells it (UTF-8 bytes), not GBK: only libcurl opens it.
  Text caFile;
  CredentialStore credentials;
  // The https family's cookies by the rules, filled from credentials and feeding them back.
  SessionJar sessionJar{credentials};
  ProgramFolders folders;   // settings file and default save folder
  double delayScale = 1.0;  // tests shrink the program's waits; the program keeps 1
  WaitLog waits;
  Guarded<Text> targetNumber;  // TargetNumber: the album owner of the personal list
  Text loginAddress;           // the page the login window opens (UI thread)
  // A photo an album folder's record says is saved there is not fetched again.
  bool skipSavedPhotos = true;
  // Which endpoints to use, and those in use: an automatic choice moves to the https family once
  // and keeps it for the rest of the session. Set the choice before anything runs. The front ends
  // choose automatic unless told otherwise.
  FamilyChoice familyChoice = FamilyChoice::classic;
  std::atomic<ServiceFamily> family{ServiceFamily::classic};
  // The automatic choice starts with the family that answered last time, when one is known.
  std::optional<ServiceFamily> rememberedFamily;
  // Told (on the list's worker) of the family that gave an album list under the automatic choice,
  // for the next session to start with; empty: nothing is kept.
  std::function<void(ServiceFamily)> familyAnswered;
  // Under the automatic choice, the https family gave a list this session and serves the rest.
  std::atomic<bool> currentFamilyAnswered{false};
  void chooseFamily(FamilyChoice choice) {
    familyChoice = choice;
    family =
        choice == FamilyChoice::automatic && rememberedFamily ? *rememberedFamily : startingFamily(choice);
    currentFamilyAnswered = false;
  }
  // Called before each album folder is made or moved and each photo takes its final name; tests
  // stand in a slow disk (a network folder) with a sleep here. Empty: nothing.
  std::function<void()> beforeDiskChange;
  // Photos of an album fetched at once (1 to 8); set before a run starts.
  int parallelPhotos = 1;
  // How long one request waits out a busy or silent service (its back-off's budget) before the
  // run gives up on the service for now.
  int patienceMs = 30 * 60000;
  // The shooting date written inside photos that carry none: the user's choice, off by default,
  // as the files then differ from what the service served. Read as each photo is saved.
  std::atomic<bool> embedDates{false};
  // The offline album's pages written at a run's end.
  bool writeGallery = true;
  AlbumStories albumStories;  // what the album lists said of each album
  // The space's posts as the last list of them read them, for the download to save without
  // reading them all again; null until one is read.
  Guarded<std::shared_ptr<const FeedRead>> feedRead;
  // A list of posts ends at the first page an earlier run saved whole: only new posts are wanted.
  bool feedNewOnly = false;
  Guarded<Text> galleryPage;  // the top page the last run wrote (GBK path); "" none yet
};

// Where an operation runs: the UI thread (the program's form, no run control) or a worker (a
// WorkerForm and the worker's RunControl).
struct Context {
  explicit Context(Program& p) : program(p), form(p.form) {}
  Context(Program& p, Form& workerForm, RunControl& runControl)
      : program(p), form(workerForm), control(&runControl) {}

  Program& program;
  Form& form;
  RunControl* control = nullptr;

  void checkpoint() {
    if (control != nullptr) control->checkpoint();
  }
};

// Waits amount × unit (0 ms, 1 s, 2 min, 3 h) while messages keep running: a nested loop on the
// UI thread, a sleep that a stop interrupts on a worker. Recorded in program.waits.
void WaitWithMessages(Context& context, int amount, int unit = 0);
// The same wait counted from since rather than from now: work done since then (flushing a photo)
// passes inside it, and only what is left is slept. Recorded as asked, like any other wait.
void WaitRestOf(Context& context, int ms, std::chrono::steady_clock::time_point since);
// When a wait of ms counted from since ends (scaled as every wait is), recorded as asked; for a
// caller that sleeps until then itself.
std::chrono::steady_clock::time_point WaitEnd(Context& context, int ms,
                                              std::chrono::steady_clock::time_point since);
// Waits until deadline, unrecorded: on a worker to the clock's precision, a stop ending it; on the
// UI thread in whole milliseconds while messages keep running.
void SleepUntil(Context& context, std::chrono::steady_clock::time_point deadline);
// Lets pending window messages run once (on a worker: a checkpoint).
void LetMessagesRun(Context& context);

}  // namespace fotolun
