#pragma once
// What the user does with the rows of 超级列表框1 besides downloading them: check all, invert,
// and open a protected album's page to answer its question.
#include "form/form.h"
#include "program/program.h"

namespace fotolun {

// 选择框_全选 clicked: when now checked, unchecks 选择框_反选 and checks every row.
void selectAllAlbums(Form& form);
// 选择框_反选 clicked: when now checked, unchecks 选择框_全选 and flips every row's check box.
void invertAlbumSelection(Form& form);
// A row clicked: shows 分组框1 with the selected album's name, question and id when the album asks
// a question that is not yet answered.
void showProtectedAlbum(Form& form);
// 按钮1: opens the login window at the album owner's photo page, where the question is answered.
void openAlbumAccessPage(Program& program);

}  // namespace fotolun
