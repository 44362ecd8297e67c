// The window's two faces, with the fallbacks found on a Linux desktop.
#pragma once

#include <QFont>

namespace rekendo {

enum class Face {
  Gothic,  // the proportional Japanese Gothic face of every label and key
  Serif,   // the credit line
};

struct FontSpec {
  Face face = Face::Gothic;
  int pixel_height = 12;  // character height, without internal leading
  bool bold = false;
  bool italic = false;
};

QFont MakeFont(const FontSpec& wanted);

}  // namespace rekendo
