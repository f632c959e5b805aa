#include "form/control_inventory.h"

#include <array>

namespace fotolun {

namespace {

using C = Control;
using K = ControlKind;

constexpr std::array kInventory = {
    ControlSpec{C::窗口, K::Window, C::窗口, -1, kWindowTitle, kWindowLeft, kWindowTop, kWindowWidth,
                kWindowHeight, false},
    ControlSpec{C::工具条1, K::Toolbar, C::窗口, -1, "", 0, -1, 915, 55, false},
    ControlSpec{C::标签12, K::Label, C::窗口, -1,
                "__________________________________________________________________________________"
                "__________________________________________________________________________________",
                -1, 48, 1500, 13, false},
    ControlSpec{C::高级选择夹1, K::TabControl, C::窗口, -1, "", 1, 61, 916, 563, false},
    // Page 0.
    ControlSpec{C::分组框2, K::GroupBox, C::高级选择夹1, 0, "", 12, 18, 901, 105, false},
    ControlSpec{C::组合框1, K::ComboBox, C::分组框2, -1, "", 7, 18, 128, 24, false},
    ControlSpec{C::标签_空间或群, K::Label, C::分组框2, -1, "输入目标QQ号码：", 152, 14, 115, 32, false},
    ControlSpec{C::编辑框_号码, K::EditBox, C::分组框2, -1, "", 280, 15, 150, 31, false},
    ControlSpec{C::按钮_登录, K::Button, C::分组框2, -1, "1.登录", 445, 14, 96, 32, false},
    ControlSpec{C::按钮_获取相册封面, K::Button, C::分组框2, -1, "2.获取相册", 574, 14, 89, 32, false},
    ControlSpec{C::按钮_下载选中, K::Button, C::分组框2, -1, "3.下载选中", 681, 14, 81, 32, false},
    ControlSpec{C::按钮_暂停线程, K::Button, C::分组框2, -1, "暂停下载", 693, 14, 80, 32, true},
    ControlSpec{C::按钮_继续下载, K::Button, C::分组框2, -1, "继续下载", 712, 14, 80, 32, true},
    ControlSpec{C::按钮_结束下载, K::Button, C::分组框2, -1, "结束下载", 814, 14, 64, 32, true},
    ControlSpec{C::标签_保存路径, K::Label, C::分组框2, -1, "相册保存位置：", 8, 59, 112, 32, false},
    ControlSpec{C::编辑框_保存位置, K::EditBox, C::分组框2, -1, "", 123, 62, 424, 29, false},
    ControlSpec{C::按钮_选择位置, K::Button, C::分组框2, -1, "选择存放位置", 574, 59, 89, 32, false},
    ControlSpec{C::按钮3, K::Button, C::分组框2, -1, "打开目录", 681, 59, 79, 32, false},
    ControlSpec{C::分组框3, K::GroupBox, C::高级选择夹1, 0, "", 12, 130, 901, 426, false},
    ControlSpec{C::选择框_全选, K::CheckBox, C::分组框3, -1, "全选", 16, 22, 46, 16, false},
    ControlSpec{C::选择框_反选, K::CheckBox, C::分组框3, -1, "反选", 76, 22, 46, 16, false},
    ControlSpec{C::选择框_封面图, K::CheckBox, C::分组框3, -1, "有封面图（影响速度）", 139, 22, 144, 16,
                false},
    ControlSpec{C::标签_查找, K::Label, C::分组框3, -1, "查找相册", 291, 20, 48, 16, false},
    ControlSpec{C::标签_动态, K::Label, C::分组框3, -1, "", 360, 15, 292, 24, false},
    ControlSpec{C::超级列表框1, K::ListView, C::分组框3, -1, "", 6, 41, 609, 339, false},
    ControlSpec{C::画板1, K::DrawingPanel, C::分组框3, -1, "", 703, 107, 112, 88, false},
    ControlSpec{C::标签_进度, K::Label, C::分组框3, -1, "下载进度：", 7, 384, 64, 35, false},
    ControlSpec{C::进度条1, K::ProgressBar, C::分组框3, -1, "", 74, 389, 280, 24, false},
    ControlSpec{C::标签_进度条比例, K::Label, C::分组框3, -1, "", 359, 390, 41, 23, false},
    ControlSpec{C::标签_选择了相册数量, K::Label, C::分组框3, -1, "", 404, 390, 144, 23, false},
    ControlSpec{C::标签_正在下载相册, K::Label, C::分组框3, -1, "", 554, 390, 110, 23, false},
    ControlSpec{C::标签_第多少张照片, K::Label, C::分组框3, -1, "", 666, 390, 95, 23, false},
    ControlSpec{C::分组框1, K::GroupBox, C::分组框3, -1, "点击左侧有密码的，之后点击下面的获取权限", 619, 45,
                266, 337, false},
    ControlSpec{C::标签1, K::Label, C::分组框1, -1, "相册名称：", 8, 29, 250, 32, false},
    ControlSpec{C::编辑框_xiangceid, K::EditBox, C::分组框1, -1, "", 98, 27, 120, 32, true},
    ControlSpec{C::编辑框_QQ相册名称, K::EditBox, C::分组框1, -1, "", 8, 66, 250, 28, false},
    ControlSpec{C::标签2, K::Label, C::分组框1, -1, "相册问题：", 8, 103, 250, 23, false},
    ControlSpec{C::编辑框_QQ相册问题, K::EditBox, C::分组框1, -1, "", 8, 126, 250, 32, false},
    ControlSpec{C::标签5, K::Label, C::分组框1, -1, "相册答案：", 8, 162, 250, 32, true},
    ControlSpec{C::按钮1, K::Button, C::分组框1, -1, "获取相册访问权限", 98, 163, 120, 32, false},
    ControlSpec{C::标签_验证结果, K::Label, C::分组框1, -1, "", 73, 181, 158, 24, false},
    ControlSpec{C::编辑框_操作记录, K::MultiLineEdit, C::分组框1, -1, "操作记录.........", 8, 205, 248, 121,
                false},
    // Page 1.
    ControlSpec{C::分组框4, K::GroupBox, C::高级选择夹1, 1, "", 6, 30, 887, 232, false},
    ControlSpec{C::标签9, K::Label, C::分组框4, -1, "图片大小选择:", 281, 13, 192, 24, false},
    ControlSpec{C::选择框_原图, K::CheckBox, C::分组框4, -1, "原图(最清晰，下载速度略慢)", 281, 61, 192, 24,
                false},
    ControlSpec{C::选择框_高清, K::CheckBox, C::分组框4, -1, "高清图（第二清晰，下载较快）", 281, 101, 192,
                24, false},
    ControlSpec{C::标签_banbenjieguo, K::Label, C::分组框4, -1, "等待检测", 513, 16, 160, 24, false},
    ControlSpec{C::标签3, K::Label, C::分组框4, -1, "当前版本：", 511, 48, 72, 40, false},
    ControlSpec{C::标签_banben, K::Label, C::分组框4, -1, "", 582, 48, 95, 40, false},
    ControlSpec{C::标签_xinbanben, K::Label, C::分组框4, -1, "最新版本：", 512, 96, 72, 40, false},
    ControlSpec{C::标签_zxbanben, K::Label, C::分组框4, -1, "", 583, 96, 95, 40, false},
    ControlSpec{C::按钮_checknew, K::Button, C::分组框4, -1, "检测程序是否有更新", 513, 143, 165, 40, false},
    // Page 2.
    ControlSpec{C::分组框6, K::GroupBox, C::高级选择夹1, 2, "", 6, 294, 887, 253, false},
    ControlSpec{C::标签7, K::LinkLabel, C::分组框6, -1, "作者主页", 20, 40, 300, 24, false},
    // Last here as in the enum: beside page 0's 打开目录, and under the size choice on page 1.
    ControlSpec{C::按钮_打开相册页, K::Button, C::分组框2, -1, "打开相册页", 770, 59, 100, 32, true},
    ControlSpec{C::选择框_写入拍摄时间, K::CheckBox, C::分组框4, -1, "把拍摄时间写进照片", 281, 141, 192, 24,
                false},
    ControlSpec{C::标签_耐心, K::Label, C::分组框4, -1, "服务繁忙时最多等（分钟）:", 20, 61, 220, 24, false},
    ControlSpec{C::编辑框_耐心, K::EditBox, C::分组框4, -1, "", 20, 98, 80, 30, false},
};

static_assert(kInventory.size() == static_cast<std::size_t>(kControlCount));

}  // namespace

std::span<const ControlSpec> controlInventory() { return kInventory; }

const ControlSpec& controlSpec(Control id) { return kInventory[static_cast<std::size_t>(id)]; }

}  // namespace fotolun
