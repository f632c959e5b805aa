#include "form/worker_form.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "form/locked_ui_thread.h"
#include "form/run_control.h"
#include "support/scripted_form.h"

namespace fotolun {
namespace {

using namespace std::chrono_literals;
using testing::gbk;
using testing::ScriptedForm;

TEST(RunControl, HaltsNestAndStopWakesEveryWaiter) {
  RunControl control;
  control.halt();
  control.halt();
  control.resume();
  EXPECT_TRUE(control.halted());
  std::atomic<bool> unwound{false};
  std::thread worker([&] {
    try {
      control.checkpoint();
    } catch (const RunStopped&) {
      unwound = true;
    }
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(unwound);
  control.stop();
  worker.join();
  EXPECT_TRUE(unwound);
  EXPECT_FALSE(control.keepGoing());
}

TEST(RunControl, StopCutsASleepShort) {
  RunControl control;
  auto started = std::chrono::steady_clock::now();
  std::thread stopper([&] {
    std::this_thread::sleep_for(30ms);
    control.stop();
  });
  EXPECT_THROW(control.sleepFor(10s), RunStopped);
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

// A change on disk under way on the worker (a rename) never outlasts a halt or a stop: both
// return only once it has ended, and none begins before the resume, or ever after the stop.
TEST(RunControl, HaltAndStopWaitForTheChangeUnderWay) {
  RunControl control;
  std::atomic<bool> changing{false};
  std::atomic<int> changes{0};
  std::thread worker([&] {
    try {
      for (;;) {
        if (!control.beginChange()) {
          control.checkpoint();
          continue;
        }
        changing = true;
        std::this_thread::sleep_for(2ms);
        ++changes;
        changing = false;
        control.endChange();
      }
    } catch (const RunStopped&) {
    }
  });
  for (int round = 0; round < 10; ++round) {
    const int before = changes;
    while (changes == before) std::this_thread::yield();
    control.halt();
    EXPECT_FALSE(changing);
    const int halted = changes;
    std::this_thread::sleep_for(5ms);
    EXPECT_EQ(changes, halted);
    control.resume();
  }
  control.stop();
  EXPECT_FALSE(changing);
  const int stopped = changes;
  worker.join();
  EXPECT_EQ(changes, stopped);
}

TEST(WorkerForm, NothingReachesTheFormWhileHaltedOrAfterStop) {
  ScriptedForm form;
  LockedUiThread ui;
  RunControl control;
  WorkerForm worker(form, ui, control);

  control.halt();
  std::atomic<int> written{0};
  std::thread thread([&] {
    try {
      for (int i = 0;; ++i) {
        worker.setText(Control::标签_动态, gbk("第") + std::to_string(i));
        ++written;
      }
    } catch (const RunStopped&) {
    }
  });
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(written, 0);
  EXPECT_TRUE(form.changes().empty());

  control.resume();
  while (written < 5) std::this_thread::yield();
  ui.send([&] {
    control.halt();
    control.stop();
  });
  const auto changesAtStop = form.changes().size();
  thread.join();
  EXPECT_EQ(form.changes().size(), changesAtStop);
}

}  // namespace
}  // namespace fotolun
