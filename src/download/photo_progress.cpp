#include "download/photo_progress.h"

#include <string>

#include "download/album_job.h"
#include "form/percent_text.h"
#include "text/encoding.h"

namespace fotolun {

void startAlbumProgress(Context& context, const Text& photoCountText) {
  context.form.setPosition(Control::进度条1, 0);
  context.form.setMaximum(Control::进度条1, photoCountOf(photoCountText));
}

void showPhotoProgress(Context& context, const Text& photoCountText, int position, ProgressStyle style) {
  Form& form = context.form;
  form.setPosition(Control::进度条1, position);
  const int shown = form.position(Control::进度条1);
  const int maximum = form.maximum(Control::进度条1);
  form.setText(Control::标签_进度条比例, percentText(shown, maximum));
  if (style == ProgressStyle::countSlashPosition) {
    form.setText(Control::标签_第多少张照片, photoCountText + "/" + std::to_string(shown));
  } else {
    form.setText(Control::标签_第多少张照片,
                 Utf8ToGbk("第[") + std::to_string(position) + Utf8ToGbk("]个图片"));
  }
}

}  // namespace fotolun
