#include "keypad.h"

#include <QPalette>

#include "display_text.h"
#include "fonts.h"
#include "layout_table.h"
#include "press_button.h"

namespace rekendo {

std::vector<QPushButton*> BuildKeypad(QWidget* parent, const Scale& scale,
                                      const std::function<void(const KeyDef&)>& on_click) {
  std::vector<QPushButton*> keys;
  keys.reserve(kKeypad.size());
  for (const KeyDef& def : kKeypad) {
    auto* key = new PressButton(FromUtf8(def.caption), parent);  // owned by `parent`
    key->setObjectName(FromUtf8(def.object_name));
    key->setGeometry(scale.Rect({def.left, def.top, def.width, def.height}));
    key->setFont(MakeFont(scale.Font({Face::Gothic, def.caption_height})));
    key->SetFocusFrameWidth(scale.Length(kFocusFrameWidth, 2));
    key->setAccessibleName(FromUtf8(def.accessible_name));
    if (def.red_caption) {
      QPalette palette = key->palette();
      palette.setColor(QPalette::ButtonText, colour::kRed);
      key->setPalette(palette);
    }
    QObject::connect(key, &QPushButton::clicked, parent, [&def, on_click] { on_click(def); });
    keys.push_back(key);
  }
  return keys;
}

}  // namespace rekendo
