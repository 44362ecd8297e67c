#include "accessible_widgets.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QVariant>

namespace rekendo {

namespace {

class CountdownFrameAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit CountdownFrameAccessible(QWidget* frame)
      : QAccessibleWidget(frame, QAccessible::ProgressBar, QStringLiteral("経過時間")) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  QVariant currentValue() const override {
    const QWidget* frame = widget();
    const QWidget* parent = frame->parentWidget();
    const QWidget* bar =
        parent ? parent->findChild<QWidget*>(QStringLiteral("countdownBar"), Qt::FindDirectChildrenOnly)
               : nullptr;
    if (!bar || !bar->isVisible() || frame->height() <= 0) return 0;
    return qBound(0, qRound(100.0 * bar->height() / frame->height()), 100);
  }
  void setCurrentValue(const QVariant&) override {}  // the clock sets it, not the reader
  QVariant maximumValue() const override { return 100; }
  QVariant minimumValue() const override { return 0; }
  QVariant minimumStepSize() const override { return 1; }

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Value) return QStringLiteral("%1 %").arg(currentValue().toInt());
    return QAccessibleWidget::text(kind);
  }
};

QAccessibleInterface* MakeAccessible(const QString& class_name, QObject* object) {
  Q_UNUSED(class_name);
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (widget->objectName() == QLatin1String("countdownFrame")) {
    return new CountdownFrameAccessible(widget);
  }
  // Orca speaks a notification when it shows, and stays silent on an alert or a description
  // change from a label the focus is not on (and Qt 6.4 sends no announcement event).
  if (widget->objectName() == QLatin1String("announcer")) {
    return new QAccessibleWidget(widget, QAccessible::Notification);
  }
  return nullptr;
}

}  // namespace

void InstallAccessibleWidgets() {
  // Qt keeps its factories in one list for the process; once is enough.
  static const bool installed = [] {
    QAccessible::installFactory(MakeAccessible);
    return true;
  }();
  Q_UNUSED(installed);
}

}  // namespace rekendo
