#pragma once
// What the main window is made of: every control's kind, container, caption, place and size.
// The Qt window is built from this table and the in-memory forms start from it.
#include <span>
#include <string_view>

#include "form/control.h"

namespace fotolun {

enum class ControlKind {
  Window,
  Toolbar,
  Label,
  LinkLabel,
  TabControl,
  GroupBox,
  ComboBox,
  EditBox,
  MultiLineEdit,
  Button,
  CheckBox,
  ListView,
  DrawingPanel,
  ProgressBar,
};

struct ControlSpec {
  Control id;
  ControlKind kind;
  Control parent;            // the window, or the group box that holds it
  int page;                  // page of 高级选择夹1 for the group boxes on it; -1 elsewhere
  std::string_view caption;  // UTF-8 (converted to GBK where the form holds texts)
  int left, top, width, height;
  bool hidden;
};

std::span<const ControlSpec> controlInventory();
const ControlSpec& controlSpec(Control id);

// The window, the combo items, the toolbar, the tab pages and the list view's columns.
inline constexpr std::string_view kWindowTitle = "Fotolun-支持QQ空间和QQ群相册";
inline constexpr int kWindowLeft = 50, kWindowTop = 50, kWindowWidth = 933, kWindowHeight = 653;
// The third: what a space posted outside its albums, a row for each year.
inline constexpr std::string_view kAlbumSourceItems[] = {"QQ空间相册", "QQ群相册", "说说相册"};
inline constexpr std::string_view kTabPages[] = {"批量下载", "软件更新", "使用反馈"};
// Item 1 and 3 are separators.
inline constexpr std::string_view kToolbarItems[] = {"批量下载", "", "检查更新", "", "使用反馈"};
struct ListColumn {
  std::string_view header;
  int width;
};
inline constexpr ListColumn kAlbumColumns[] = {{"选择", 60},     {"序号", 40},     {"相册名称", 120},
                                               {"封面", 100},    {"图片数量", 70}, {"相册ID", 50},
                                               {"相册问题", 80}, {"相册密码", 80}};
inline constexpr int kCoverSize = 100;

}  // namespace fotolun
