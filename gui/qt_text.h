#pragma once
// The edge between the core's GBK texts and Qt's UTF-16 strings.
#include <QString>
#include <string_view>

#include "text/encoding.h"
#include "text/gbk_text.h"

namespace fotolun::gui {

inline QString fromGbk(const Text& gbk) { return QString::fromUtf8(GbkToUtf8(gbk)); }

inline Text toGbk(const QString& text) { return Utf8ToGbk(text.toUtf8().toStdString()); }

// The control inventory and other UTF-8 literals of the program.
inline QString fromUtf8(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace fotolun::gui
