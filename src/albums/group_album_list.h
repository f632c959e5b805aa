#pragma once
// The albums of the QQ group typed in 编辑框_号码, one checked row each in 超级列表框1.
#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// Runs on the UI thread: asks for the group's album total, then lists the albums 1000 a page.
// A group without albums, a page without a usable answer and a lost session end the call with a
// message box and leave 画板1 to the caller.
ListOutcome fetchGroupAlbumList(Context& context);

// The album total in a total reply (GBK): the number after "\"total\" :", 0 when there is none.
int groupAlbumTotal(const Text& reply);

}  // namespace fotolun
