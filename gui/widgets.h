#pragma once
// The few widgets the main window needs that Qt has no exact match for.
#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <vector>

class QTabBar;

namespace fotolun::gui {

// A label that reports a press of the left mouse button (the find label, the link label).
class PressableLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onLeftPress;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

// A tab control whose pages cover the whole control, tab bar included, so that the controls on
// a page are placed relative to the tab control as the inventory gives them.
class TabControl : public QWidget {
 public:
  explicit TabControl(QWidget* parent);
  QWidget* addPage(const QString& caption);
  QWidget* page(int index) const { return pages_[static_cast<std::size_t>(index)]; }
  int count() const;
  int currentIndex() const;
  void setCurrentIndex(int index);
  QString pageCaption(int index) const;
  QTabBar* tabBar() const { return bar_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void showPage(int index);

  QTabBar* bar_;
  std::vector<QWidget*> pages_;
};

// 画板1: a fixed 100 × 100 canvas onto which a cover is drawn and from which it is taken back.
// The canvas keeps its size whatever the widget's, so the picture taken back is always whole.
class CoverPanel : public QWidget {
 public:
  explicit CoverPanel(QWidget* parent);
  // Draws the encoded picture scaled to the canvas (white where it cannot be decoded).
  void draw(const QByteArray& encoded);
  const QImage& canvas() const { return canvas_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage canvas_;
  bool drawn_ = false;  // an untouched panel shows nothing, like an empty form panel
};

}  // namespace fotolun::gui
