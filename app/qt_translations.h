// Qt's own texts (the file dialog's buttons and labels, the message box) in Japanese, as the
// rest of the program is, whatever the system locale says.
#pragma once

#include <QString>
#include <optional>

class QCoreApplication;

namespace rekendo {

// Loads Qt's Japanese catalogue from Qt's translations folder and installs it on `app`,
// which owns it. Returns why not when it cannot: Qt's texts then stay in English.
std::optional<QString> InstallJapaneseQtTexts(QCoreApplication& app);

}  // namespace rekendo
