#include "form/control_layout.h"

#include <algorithm>

namespace fotolun {
namespace {

// Which part of the added width or height an edge moves by.
enum class Share { none, list, log, all };

struct Growth {
  Share moveX = Share::none, growX = Share::none, moveY = Share::none, growY = Share::none;
};

Growth growthOf(Control c) {
  constexpr Share n = Share::none, list = Share::list, log = Share::log, all = Share::all;
  switch (c) {
    case Control::工具条1:
    case Control::分组框2:
      return {n, all, n, n};
    case Control::高级选择夹1:
    case Control::分组框3:
      return {n, all, n, all};
    case Control::超级列表框1:
      return {n, list, n, all};
    case Control::画板1:
      return {list, n, n, n};
    case Control::标签_进度:
      return {n, n, all, n};
    case Control::进度条1:
      return {n, list, all, n};
    case Control::标签_进度条比例:
    case Control::标签_选择了相册数量:
    case Control::标签_正在下载相册:
    case Control::标签_第多少张照片:
      return {list, n, all, n};
    case Control::分组框1:
      return {list, log, n, all};
    case Control::编辑框_QQ相册名称:
    case Control::编辑框_QQ相册问题:
      return {n, log, n, n};
    case Control::编辑框_操作记录:
      return {n, log, n, all};
    default:
      return {};
  }
}

int part(Share share, int added) {
  const int list = added * 2 / 3;
  switch (share) {
    case Share::list:
      return list;
    case Share::log:
      return added - list;
    case Share::all:
      return added;
    case Share::none:
      break;
  }
  return 0;
}

}  // namespace

ControlRect placeControl(const ControlSpec& spec, int windowWidth, int windowHeight) {
  const int addedWidth = std::max(0, windowWidth - kWindowWidth);
  const int addedHeight = std::max(0, windowHeight - kWindowHeight);
  const Growth growth = growthOf(spec.id);
  return {spec.left + part(growth.moveX, addedWidth), spec.top + part(growth.moveY, addedHeight),
          spec.width + part(growth.growX, addedWidth), spec.height + part(growth.growY, addedHeight)};
}

}  // namespace fotolun
