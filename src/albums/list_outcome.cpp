#include "albums/list_outcome.h"

#include "text/encoding.h"

namespace fotolun {

void askToSignInAgain(Context& context) {
  Program& program = context.program;
  context.form.messageBox(Utf8ToGbk("请先登录"), "", MessageButtons::Ok);
  const Text home = ConcatText("http://", program.hosts.personalSpace, "/");
  // The login window's address belongs to the UI thread.
  context.checkpoint();
  program.ui.send([&] { program.loginAddress = home; });
  context.form.openLoginWindow(home);
}

void reportListFailure(Context& context, const Text& reason) {
  const Text line = Utf8ToGbk("获取相册列表失败：") + reason;
  context.form.appendLog(line + "\r\n");
  context.form.messageBox(line, Utf8ToGbk("温馨提示"), MessageButtons::Ok);
}

}  // namespace fotolun
