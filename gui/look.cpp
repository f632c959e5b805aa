#include "look.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

namespace fotolun::gui {

bool installChineseTranslations(QApplication& app) {
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QApplication::installTranslator(translator);
}

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
