#include "download/listing_outcome.h"

#include "text/encoding.h"

namespace fotolun {

void reportListingFailure(Context& context, const AlbumJob& job, const ReplyVerdict& verdict) {
  if (verdict.problem == ReplyProblem::notSignedIn) throw SessionEnded{};
  if (verdict.outlastedPatience) throw ServiceWall{verdict.reason};
  context.form.appendLog(Utf8ToGbk("相册《") + job.albumName + Utf8ToGbk("》的照片列表获取失败：") +
                         verdict.reason + "\r\n");
}

bool wantsNextPage(int page, int listedOnPage, int photoCount) {
  if (page >= kMaxPhotoPages) return false;
  if (listedOnPage >= kPhotoPageSize) return true;
  if (listedOnPage == 0) return false;
  return static_cast<long long>(page) * kPhotoPageSize < photoCount;
}

}  // namespace fotolun
