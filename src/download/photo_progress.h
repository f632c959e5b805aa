#pragma once
#include "program/program.h"

namespace fotolun {

enum class ProgressStyle {
  countSlashPosition,  // 标签_第多少张照片 reads "<photo count>/<position>"
  ordinalPicture,      // 标签_第多少张照片 reads "第[<position>]个图片"
};

// Resets 进度条1 for an album: position 0, maximum the album's photo count.
void startAlbumProgress(Context& context, const Text& photoCountText);

// Moves 进度条1 to position and shows the percent and the photo label. The percent comes from
// what the bar reports back, so a position past the maximum shows as the bar shows it; an
// empty bar (maximum 0) shows "0%".
void showPhotoProgress(Context& context, const Text& photoCountText, int position, ProgressStyle style);

}  // namespace fotolun
