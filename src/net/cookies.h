#pragma once
#include "text/gbk_text.h"

namespace fotolun {

// Folds the cookies a response set (incoming, "a=1; b=2") into the stored cookie string.
// Both arguments are rewritten: stored becomes the merged string, incoming loses its spaces.
// Returns a copy of the merged string.
Text MergeCookies(Text& stored, Text& incoming);

}  // namespace fotolun
