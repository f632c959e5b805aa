#include "search_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/main_window_controller.h"
#include "qt_form.h"
#include "qt_text.h"

namespace fotolun::gui {

namespace {

struct ControlSpec {
  SearchControl id;
  const char* name;
  const char* caption;
  int left, top, width, height;
};

constexpr ControlSpec kControls[] = {
    {SearchControl::编辑框1, "编辑框1", "", 12, 14, 220, 28},
    {SearchControl::按钮_查找, "按钮_查找", "查找", 244, 13, 72, 30},
    {SearchControl::按钮_查找上一个, "按钮_查找上一个", "查找上一个", 12, 54, 100, 30},
    {SearchControl::按钮_查找下一个, "按钮_查找下一个", "查找下一个", 124, 54, 100, 30},
    {SearchControl::标签_行位置, "标签_行位置", "", 236, 58, 80, 24},
};

}  // namespace

SearchWindow::SearchWindow(MainWindowController& controller) : QWidget(nullptr) {
  setObjectName(QStringLiteral("AlbumSearchWindow"));
  setWindowTitle(QStringLiteral("查找相册"));
  setFixedSize(330, 96);
  for (const ControlSpec& spec : kControls) {
    const QString caption = QString::fromUtf8(spec.caption);
    QWidget* widget = nullptr;
    if (spec.id == SearchControl::编辑框1) {
      widget = new QLineEdit(this);
    } else if (spec.id == SearchControl::标签_行位置) {
      auto* label = new QLabel(caption, this);
      label->setTextFormat(Qt::PlainText);
      widget = label;
    } else {
      auto* button = new QPushButton(caption, this);
      const SearchControl id = spec.id;
      connect(button, &QPushButton::clicked, this,
              [this, &controller, id] { controller.searchClicked(*this, id); });
      widget = button;
    }
    widget->setObjectName(QString::fromUtf8(spec.name));
    widget->setGeometry(spec.left, spec.top, spec.width, spec.height);
    controls_[static_cast<std::size_t>(spec.id)] = widget;
  }
}

Text SearchWindow::text(SearchControl c) const {
  if (auto* edit = qobject_cast<QLineEdit*>(control(c))) return toGbk(edit->text());
  if (auto* label = qobject_cast<QLabel*>(control(c))) return toGbk(label->text());
  if (auto* button = qobject_cast<QPushButton*>(control(c))) return toGbk(button->text());
  return "";
}

void SearchWindow::setText(SearchControl c, const Text& text) {
  const QString value = fromGbk(text);
  if (auto* edit = qobject_cast<QLineEdit*>(control(c))) {
    edit->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(control(c))) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QPushButton*>(control(c))) {
    button->setText(value);
  }
}

MessageAnswer SearchWindow::messageBox(const Text& text, const Text& caption, MessageButtons buttons) {
  return showMessageBox(this, text, caption, buttons);
}

}  // namespace fotolun::gui
