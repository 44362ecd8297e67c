#include "fonts.h"

#include <QStringList>

namespace rekendo {

QFont MakeFont(const FontSpec& wanted) {
  QFont font;
  if (wanted.face == Face::Gothic) {
    // IPAPGothic is a Japanese face, so kanji keep their Japanese shapes where the Windows
    // face is missing.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"),
                      QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("sans-serif")});
  } else {
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("serif")});
  }
  font.setPixelSize(wanted.pixel_height);
  font.setBold(wanted.bold);
  font.setItalic(wanted.italic);
  return font;
}

}  // namespace rekendo
