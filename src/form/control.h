#pragma once
// The main window's controls, by the form's own names.
#include <string_view>

namespace fotolun {

enum class Control {
  窗口,  // the main window itself: its text is the title
  工具条1,
  标签12,
  高级选择夹1,
  分组框2,
  组合框1,
  标签_空间或群,
  编辑框_号码,
  按钮_登录,
  按钮_获取相册封面,
  按钮_下载选中,
  按钮_暂停线程,
  按钮_继续下载,
  按钮_结束下载,
  标签_保存路径,
  编辑框_保存位置,
  按钮_选择位置,
  按钮3,
  分组框3,
  选择框_全选,
  选择框_反选,
  选择框_封面图,
  标签_查找,
  标签_动态,
  超级列表框1,
  画板1,
  标签_进度,
  进度条1,
  标签_进度条比例,
  标签_选择了相册数量,
  标签_正在下载相册,
  标签_第多少张照片,
  分组框1,
  标签1,
  编辑框_xiangceid,
  编辑框_QQ相册名称,
  标签2,
  编辑框_QQ相册问题,
  标签5,
  按钮1,
  标签_验证结果,
  编辑框_操作记录,
  分组框4,
  标签9,
  选择框_原图,
  选择框_高清,
  标签_banbenjieguo,
  标签3,
  标签_banben,
  标签_xinbanben,
  标签_zxbanben,
  按钮_checknew,
  分组框6,
  标签7,
  按钮_打开相册页,      // shown once a run has written the offline album
  选择框_写入拍摄时间,  // the shooting date inside the photos
  标签_耐心,
  编辑框_耐心,  // minutes a busy or silent service is waited out
};

inline constexpr int kControlCount = static_cast<int>(Control::编辑框_耐心) + 1;

// The control's name in UTF-8 (Qt object names, logs, test failures).
std::string_view controlName(Control control);

// Columns of 超级列表框1 (AlbumListView).
namespace column {
inline constexpr int 选择 = 0, 序号 = 1, 相册名称 = 2, 封面 = 3, 图片数量 = 4, 相册ID = 5, 相册问题 = 6,
                     相册密码 = 7;
}  // namespace column

}  // namespace fotolun
