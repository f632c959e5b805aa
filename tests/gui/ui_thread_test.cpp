// Workers' calls reach the UI thread in order, and a closing window never leaves one hanging.
#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <thread>
#include <vector>

#include "form/run_control.h"
#include "qt_ui_thread.h"

namespace fotolun::testing {
namespace {

TEST(QtUiThread, RunsWorkersCallsOnTheUiThreadInTheOrderSent) {
  gui::QtUiThread ui;
  EXPECT_TRUE(ui.isUiThread());
  std::vector<int> order;
  std::atomic<bool> done{false};
  bool allOnUiThread = true;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i)
      ui.send([&, i] {
        allOnUiThread = allOnUiThread && ui.isUiThread();
        order.push_back(i);
      });
    done = true;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 10000));
  worker.join();
  ASSERT_EQ(order.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  EXPECT_TRUE(allOnUiThread);
}

TEST(QtUiThread, ShutDownReleasesAWorkerWaitingForTheUiThread) {
  gui::QtUiThread ui;
  std::atomic<bool> sent{false};
  bool ran = false, stopped = false;
  std::thread worker([&] {
    sent = true;
    try {
      ui.send([&] { ran = true; });
    } catch (const RunStopped&) {
      stopped = true;
    }
  });
  while (!sent) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ui.shutDown();  // the UI thread never ran an event loop for the call
  worker.join();
  EXPECT_FALSE(ran);
  EXPECT_TRUE(stopped);
}

}  // namespace
}  // namespace fotolun::testing
