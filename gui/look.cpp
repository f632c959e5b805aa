#include "look.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace fotolun::gui {

void applyLook(QApplication& app) {
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  const QString face = QStringLiteral("微软雅黑");
  QFont::insertSubstitutions(face, {QStringLiteral("Microsoft YaHei"), QStringLiteral("WenQuanYi Micro Hei"),
                                    QStringLiteral("Noto Sans CJK SC")});
  // The form was laid out for 9-point text at 96 dots per inch.
  QFont font(face);
  font.setPixelSize(12);
  app.setFont(font);
}

}  // namespace fotolun::gui
