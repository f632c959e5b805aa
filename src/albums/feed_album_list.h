#pragma once
// A space's posts as rows of the album list: one checked row for each year whose posts hold
// pictures or videos.
#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// The body of the list worker for "说说相册": reads every post of TargetNumber's space (or, for
// new posts only, up to those an earlier run saved), keeps them for the download, and adds a row
// per year. Posts the session may not see, and a space closed to it, are told in the log; a
// closed space lists nothing but is no failure.
ListOutcome listFeedYears(Context& context);

}  // namespace fotolun
