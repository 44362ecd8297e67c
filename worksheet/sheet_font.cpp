#include "sheet_font.h"

#include <QFontDatabase>
#include <QStringList>
#include <mutex>

namespace rekendo::worksheet {

Result<QString> SheetFontFamily() {
  static std::mutex mutex;
  static QString family;
  const std::lock_guard lock(mutex);
  if (family.isEmpty()) {
    const int id = QFontDatabase::addApplicationFont(QString::fromUtf8(kSheetFontFile));
    const QStringList families = id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    if (families.isEmpty()) {
      return Error{ErrorCode::kNotFound,
                   "プリント用の日本語フォント（IPA ゴシック）を読み込めません。"
                   "Debian のパッケージ fonts-ipafont-gothic を入れてください。",
                   kSheetFontFile,
                   {}};
    }
    family = families.first();
  }
  return family;
}

QFont SheetFont(const QString& family, int pixel_size) {
  QFont font(family);
  font.setPixelSize(pixel_size);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(false);
  return font;
}

}  // namespace rekendo::worksheet
