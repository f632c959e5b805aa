// Every caption of the window on one line inside its control, measured with the font the set-up
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
#include <QStyleOptionGroupBox>

#include "form/control_inventory.h"
#include "main_window.h"
#include "qt_text.h"

namespace fotolun::testing {
namespace {

// The area the style leaves for a control's text.
QRect textArea(QWidget* widget, ControlKind kind) {
  QStyle* style = widget->style();
  switch (kind) {
    case ControlKind::Button: {
      QStyleOptionButton option;
      option.initFrom(widget);
      return style->subElementRect(QStyle::SE_PushButtonContents, &option, widget);
    }
    case ControlKind::CheckBox: {
      QStyleOptionButton option;
      option.initFrom(widget);
      return style->subElementRect(QStyle::SE_CheckBoxContents, &option, widget);
    }
    case ControlKind::ComboBox: {
      QStyleOptionComboBox option;
      option.initFrom(widget);
      return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, widget);
    }
    case ControlKind::GroupBox: {
      // The title may take the box's width less the frame's corners.
      const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
      return widget->rect().adjusted(frame, 0, -frame, 0);
    }
    default:
      return widget->contentsRect();
  }
}

TEST(CaptionFit, EveryCaptionFitsItsControlOnOneLine) {
  gui::MainWindow window;
  window.show();
  // A substituted font of other widths would make the measure meaningless.
  ASSERT_EQ(QFontInfo(window.font()).family(), QStringLiteral("WenQuanYi Micro Hei"));

  for (const ControlSpec& spec : controlInventory()) {
    // The rule under the toolbar is a row of underscores cut at the window's edge on purpose.
    if (spec.id == Control::窗口 || spec.id == Control::标签12) continue;
    QWidget* widget = window.control(spec.id);
    QStringList captions;
    if (spec.kind == ControlKind::ComboBox) {
      for (std::string_view item : kAlbumSourceItems) captions << gui::fromUtf8(item);
    } else if (!spec.caption.empty() && spec.kind != ControlKind::EditBox &&
               spec.kind != ControlKind::MultiLineEdit) {
      captions << gui::fromUtf8(spec.caption);
    }
    const QRect area = textArea(widget, spec.kind);
    const QFontMetrics metrics(widget->font());
    for (const QString& caption : captions) {
      EXPECT_LE(metrics.horizontalAdvance(caption), area.width())
          << controlName(spec.id) << " \"" << caption.toStdString() << "\" in " << area.width() << " px";
      EXPECT_LE(metrics.height(), area.height()) << controlName(spec.id);
    }
  }
}

}  // namespace
}  // namespace fotolun::testing
