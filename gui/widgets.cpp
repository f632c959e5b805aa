#include "widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTabBar>

#include "form/control_inventory.h"

namespace fotolun::gui {

void PressableLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (event->button() == Qt::LeftButton && onLeftPress) onLeftPress();
}

TabControl::TabControl(QWidget* parent) : QWidget(parent), bar_(new QTabBar(this)) {
  bar_->setDrawBase(false);
  bar_->setExpanding(false);
  QObject::connect(bar_, &QTabBar::currentChanged, this, [this](int index) { showPage(index); });
}

QWidget* TabControl::addPage(const QString& caption) {
  auto* page = new QWidget(this);
  page->setGeometry(rect());
  page->setAutoFillBackground(true);
  page->hide();
  pages_.push_back(page);
  bar_->addTab(caption);
  bar_->raise();
  showPage(bar_->currentIndex());
  return page;
}

int TabControl::count() const { return static_cast<int>(pages_.size()); }
int TabControl::currentIndex() const { return bar_->currentIndex(); }
void TabControl::setCurrentIndex(int index) { bar_->setCurrentIndex(index); }
QString TabControl::pageCaption(int index) const { return bar_->tabText(index); }

void TabControl::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  for (QWidget* page : pages_) page->setGeometry(rect());
  bar_->setGeometry(0, 0, width(), bar_->sizeHint().height());
}

void TabControl::showPage(int index) {
  for (int i = 0; i < count(); ++i) pages_[static_cast<std::size_t>(i)]->setVisible(i == index);
  bar_->raise();
}

CoverPanel::CoverPanel(QWidget* parent)
    : QWidget(parent), canvas_(kCoverSize, kCoverSize, QImage::Format_RGB32) {
  canvas_.fill(Qt::white);
}

void CoverPanel::draw(const QByteArray& encoded) {
  canvas_.fill(Qt::white);
  drawn_ = true;
  QImage picture;
  if (picture.loadFromData(encoded)) {
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, kCoverSize, kCoverSize), picture);
  }
  update();
}

void CoverPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (drawn_) painter.drawImage(0, 0, canvas_);
}

}  // namespace fotolun::gui
