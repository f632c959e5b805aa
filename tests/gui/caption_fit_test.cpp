// Every caption of the windows on one line inside its control, measured with the font the set-up
// installs: a caption that wraps or runs past its control's edge is cut off on screen. The same
// tests run again with QT_SCALE_FACTOR=2 (see CMakeLists.txt), where fonts are drawn at twice the
// pixels and round differently.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>

#include "form/control_inventory.h"
#include "gui_world.h"
#include "qt_text.h"
#include "search_window.h"

namespace fotolun::testing {
namespace {

struct Caption {
  QString text;
  QRect area;  // what the style leaves for the text
};

// The captions a control shows, each with the area it has; none for controls without one.
std::vector<Caption> captionsOf(QWidget* widget) {
  QStyle* style = widget->style();
  if (auto* button = qobject_cast<QPushButton*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(button);
    return {{button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, button)}};
  }
  if (auto* box = qobject_cast<QCheckBox*>(widget)) {
    QStyleOptionButton option;
    option.initFrom(box);
    return {{box->text(), style->subElementRect(QStyle::SE_CheckBoxContents, &option, box)}};
  }
  if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field =
        style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    std::vector<Caption> items;
    for (int i = 0; i < combo->count(); ++i) items.push_back({combo->itemText(i), field});
    return items;
  }
  if (auto* group = qobject_cast<QGroupBox*>(widget)) {
    // The title may take the box's width less the frame's corners.
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, group);
    return {{group->title(), group->rect().adjusted(frame, 0, -frame, 0)}};
  }
  if (auto* label = qobject_cast<QLabel*>(widget)) return {{label->text(), label->contentsRect()}};
  return {};
}

void expectCaptionsFit(QWidget& window) {
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    // The rule under the toolbar is a row of underscores cut at the window's edge on purpose.
    if (widget->objectName() == QString::fromUtf8(controlName(Control::标签12))) continue;
    const QFontMetrics metrics(widget->font());
    for (const Caption& caption : captionsOf(widget)) {
      if (caption.text.isEmpty()) continue;
      const std::string where =
          widget->objectName().toStdString() + " \"" + caption.text.toStdString() + "\"";
      EXPECT_LE(metrics.horizontalAdvance(caption.text), caption.area.width()) << where;
      EXPECT_LE(metrics.height(), caption.area.height()) << where;
    }
  }
}

// With QT_SCALE_FACTOR set, the window must really be drawn at that scale.
void expectScaleAsAsked(QWidget& window) {
  const char* factor = std::getenv("QT_SCALE_FACTOR");
  EXPECT_DOUBLE_EQ(window.devicePixelRatioF(), factor != nullptr ? std::atof(factor) : 1.0);
}

TEST_F(GuiTest, EveryCaptionFitsItsControlOnOneLine) {
  startProgram();
  expectScaleAsAsked(gui->window());
  // A substituted font of other widths would make the measure meaningless.
  ASSERT_EQ(QFontInfo(gui->window().font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
  expectCaptionsFit(gui->window());
  click(Control::标签_查找);
  ASSERT_NE(gui->searchWindow(), nullptr);
  expectCaptionsFit(*gui->searchWindow());
}

// Made larger, the window gives the room to the list and the log; it cannot be made smaller than
// its default, where nothing is cut off; columns grow to what they hold.
TEST_F(GuiTest, TheWindowGrowsIntoTheListAndTheLogAndIsNeverCutOff) {
  startProgram();
  QWidget& window = gui->window();
  QWidget* list = widget(Control::超级列表框1);
  QWidget* log = widget(Control::编辑框_操作记录);
  const QSize listAtDefault = list->size(), logAtDefault = log->size();
  for (const QSize asked : {QSize(500, 400), QSize(1400, 900), QSize(933, 653)}) {
    SCOPED_TRACE(std::to_string(asked.width()) + "x" + std::to_string(asked.height()));
    window.resize(asked);
    QTest::qWait(0);
    const QSize size = window.size();
    EXPECT_EQ(size, asked.expandedTo(QSize(933, 653)));
    const int wider = size.width() - 933, higher = size.height() - 653;
    EXPECT_EQ(list->width() + log->width(), listAtDefault.width() + logAtDefault.width() + wider);
    EXPECT_GE(list->width() - listAtDefault.width(), log->width() - logAtDefault.width());
    EXPECT_EQ(list->height(), listAtDefault.height() + higher);
    EXPECT_EQ(log->height(), logAtDefault.height() + higher);
    // Every control within its container (the toolbar and the rule under it overhang on purpose),
    // the list clear of the box beside it.
    for (const ControlSpec& spec : controlInventory()) {
      if (spec.id == Control::窗口 || spec.id == Control::工具条1 || spec.id == Control::标签12) continue;
      QWidget* control = widget(spec.id);
      EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << controlName(spec.id);
    }
    EXPECT_LT(list->mapTo(&window, QPoint(list->width(), 0)).x(),
              widget(Control::分组框1)->mapTo(&window, QPoint(0, 0)).x());
    expectCaptionsFit(window);
  }

  const QString longName = QStringLiteral("一个名字很长很长很长很长很长很长的相册");
  const int row = gui->form().appendRow();
  gui->form().setCell(row, column::相册名称, gui::toGbk(longName));
  auto* albums = gui->window().albumList();
  EXPECT_GE(albums->columnWidth(column::相册名称), albums->fontMetrics().horizontalAdvance(longName));
  EXPECT_EQ(albums->columnWidth(column::序号), 40);
  gui->form().deleteAllRows();
  EXPECT_EQ(albums->columnWidth(column::相册名称), 120);
}

// Qt's own texts (menus, dialogs) speak Chinese.
TEST_F(GuiTest, QtsOwnTextsAreChinese) {
  startProgram();
  const std::unique_ptr<QMenu> menu(
      gui->window().as<QPlainTextEdit>(Control::编辑框_操作记录)->createStandardContextMenu());
  QStringList texts;
  for (const QAction* action : menu->actions()) texts << action->text();
  EXPECT_TRUE(texts.join(QLatin1Char(' ')).contains(QStringLiteral("复制")))
      << texts.join(QLatin1Char(' ')).toStdString();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
}

}  // namespace
}  // namespace fotolun::testing
