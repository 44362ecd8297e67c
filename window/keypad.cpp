#include "keypad.h"

#include <QPalette>

#include "display_text.h"
#include "fonts.h"
#include "keypad_layout.h"
#include "layout_table.h"
#include "press_button.h"

namespace rekendo {

std::vector<QPushButton*> BuildKeypad(QWidget* parent, const Scale& scale,
                                      const std::function<void(const KeyDef&)>& on_click) {
  std::vector<QPushButton*> keys;
  keys.reserve(kKeypad.size());
  for (const KeyDef& def : kKeypad) {
    const KeyLook& look = LookOf(def);
    auto* key = new PressButton(FromUtf8(look.caption), parent);  // owned by `parent`
    key->setObjectName(FromUtf8(def.object_name));
    key->setGeometry(scale.Rect({look.left, look.top, look.width, look.height}));
    key->setFont(MakeFont(scale.Font({Face::Gothic, look.caption_height})));
    key->SetFocusFrameWidth(scale.Length(kFocusFrameWidth, 2));
    key->setAccessibleName(FromUtf8(look.accessible_name));
    if (look.red_caption) {
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
