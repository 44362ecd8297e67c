#include "display_text.h"

#include "cp932.h"

namespace rekendo {

QString ToDisplay(std::string_view sjis) {
  QString text = QString::fromStdU16String(Cp932ToUtf16(sjis));
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

}  // namespace rekendo
