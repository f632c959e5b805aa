#pragma once
// The albums of the QQ group typed in 编辑框_号码, one checked row each in 超级列表框1.
#include "program/program.h"

namespace fotolun {

// Runs on the UI thread: asks for the group's album total, then lists the albums 1000 a page.
// A page without albums ends the call with a message box and leaves 画板1 to the caller.
void fetchGroupAlbumList(Context& context);

// The album total in a total reply (GBK): the number after "\"total\" :", 0 when there is none.
int groupAlbumTotal(const Text& reply);

}  // namespace fotolun
