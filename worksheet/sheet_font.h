// The sheets' one face: IPA Gothic, loaded from its file so that every PDF embeds the same
// font whatever fontconfig would pick (the window asks for the same face by name).
#pragma once

#include <QFont>
#include <QString>

#include "error.h"

namespace rekendo::worksheet {

inline constexpr const char* kSheetFontFile = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

// Adds the font file to the application's fonts the first time (call it on the GUI thread
// before rendering anywhere else) and gives its family; the error names the Debian package.
Result<QString> SheetFontFamily();

// The face at `pixel_size` units of the sheet's painter (points), unhinted, for print.
QFont SheetFont(const QString& family, int pixel_size);

}  // namespace rekendo::worksheet
