#include "keypad.h"

#include <QKeyEvent>
#include <QPalette>

#include "fonts.h"
#include "layout_table.h"

namespace rekendo {

void KeyButton::keyPressEvent(QKeyEvent* event) {
  if (!event->isAutoRepeat() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

namespace {
QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

std::vector<QPushButton*> BuildKeypad(QWidget* parent,
                                      const std::function<void(const KeyDef&)>& on_click) {
  std::vector<QPushButton*> keys;
  keys.reserve(kKeypad.size());
  for (const KeyDef& def : kKeypad) {
    auto* key = new KeyButton(FromUtf8(def.caption), parent);  // owned by `parent`
    key->setObjectName(FromUtf8(def.object_name));
    key->setGeometry(def.left, def.top, def.width, def.height);
    key->setFont(MakeFont({Face::Gothic, def.caption_height}));
    key->setAccessibleName(FromUtf8(def.accessible_name));
    key->setFocusPolicy(Qt::StrongFocus);
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
