#pragma once
// The albums of the QQ group typed in 编辑框_号码, one checked row each in 超级列表框1.
#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// The body of the list worker (context is the worker's): asks for the group's album total, then
// lists the albums 1000 a page. A group without albums, a page without a usable answer and a lost
// session end the list with a message box. 画板1 is shown while it works and hidden on every way
// out but a stop.
ListOutcome listGroupAlbums(Context& context);

// The album total in a total reply (GBK): the number after "\"total\" :", 0 when there is none.
int groupAlbumTotal(const Text& reply);

}  // namespace fotolun
