#include "albums/list_interactions.h"

#include "text/encoding.h"

namespace fotolun {

void selectAllAlbums(Form& form) {
  if (!form.checked(Control::选择框_全选)) return;
  form.setChecked(Control::选择框_反选, false);
  for (int row = 0; row < form.rowCount(); ++row) form.setRowChecked(row, true);
}

void invertAlbumSelection(Form& form) {
  if (!form.checked(Control::选择框_反选)) return;
  form.setChecked(Control::选择框_全选, false);
  for (int row = 0; row < form.rowCount(); ++row) form.setRowChecked(row, !form.rowChecked(row));
}

void showProtectedAlbum(Form& form) {
  form.setVisible(Control::分组框1, true);
  const int row = form.selectedRow();
  const bool hasRow = row >= 0 && row < form.rowCount();
  const Text name = hasRow ? form.cell(row, column::相册名称) : Text();
  const Text albumId = hasRow ? form.cell(row, column::相册ID) : Text();
  const Text question = hasRow ? form.cell(row, column::相册问题) : Text();
  if (!question.empty() && CompareText(question, Utf8ToGbk("已授权")) != 0) {
    form.setText(Control::编辑框_QQ相册问题, question);
    form.setText(Control::编辑框_QQ相册名称, name);
    form.setText(Control::编辑框_xiangceid, albumId);
  } else {
    // The id box keeps the last protected album, so the access page still knows which one.
    form.setText(Control::编辑框_QQ相册问题, "");
    form.setText(Control::编辑框_QQ相册名称, "");
  }
  form.setText(Control::标签_验证结果, "");
}

void openAlbumAccessPage(Program& program) {
  program.loginAddress = ConcatText("http://", program.hosts.personalSpace, "/",
                                    program.form.text(Control::编辑框_号码), "/photo/");
  program.form.openLoginWindow(program.loginAddress);
}

}  // namespace fotolun
