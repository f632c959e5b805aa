// Every caption of the windows on one line inside its control, measured with the font the set-up
// installs: a caption that wraps or runs past its control's edge is cut off on screen.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

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

TEST_F(GuiTest, EveryCaptionFitsItsControlOnOneLine) {
  startProgram();
  // A substituted font of other widths would make the measure meaningless.
  ASSERT_EQ(QFontInfo(gui->window().font()).family(), QStringLiteral("WenQuanYi Micro Hei"));
  expectCaptionsFit(gui->window());
  click(Control::标签_查找);
  ASSERT_NE(gui->searchWindow(), nullptr);
  expectCaptionsFit(*gui->searchWindow());
}

}  // namespace
}  // namespace fotolun::testing
