#include <gtest/gtest.h>

#include "albums/album_list.h"
#include "app/main_window_controller.h"
#include "app_fixtures.h"
#include "download/download_run.h"
#include "support/standin_fixture.h"

namespace fotolun::testing {
namespace {

TEST_F(StandinTest, ADownloadPressedWhileTheListIsBuiltIsRefused) {
  FakeDesktop desktop;
  MainWindowController window(program, desktop);
  const std::string qq = standin.data().ordinaryAccount().qq;
  signIn(qq);
  form.setText(Control::编辑框_号码, qq);
  // Holding the UI thread keeps the list worker from adding a single row meanwhile.
  ui.send([&] {
    window.clicked(Control::按钮_获取相册封面);
    window.clicked(Control::按钮_下载选中);
  });
  window.albumLists().waitUntilListed();
  EXPECT_FALSE(window.downloadRun().running());
  EXPECT_NE(form.log().find("相册列表还在获取中，请等它完成后再下载\r\n"), std::string::npos);
  EXPECT_EQ(form.log().find("开启启动下载"), std::string::npos);
  EXPECT_TRUE(form.visible(Control::按钮_下载选中));
  EXPECT_FALSE(form.visible(Control::按钮_结束下载));
}

}  // namespace
}  // namespace fotolun::testing
