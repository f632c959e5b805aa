#pragma once
// A space's posts as rows of the album list: one checked row for each year whose posts hold
// pictures or videos.
#include "albums/list_outcome.h"
#include "program/program.h"

namespace fotolun {

// The body of the list worker for "说说相册": reads every post of TargetNumber's space (or, for
// new posts only, up to those an earlier run saved), keeps them for the download, and adds a row
// per year. Posts the session may not see are told in the log; a space closed to the session is
// refused as a closed album list is (a box with the service's words, noPermission).
ListOutcome listFeedYears(Context& context);

}  // namespace fotolun
