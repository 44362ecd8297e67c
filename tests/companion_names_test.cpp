// Every control of the companion windows has a name a screen reader can say, and Tab reaches
// each one: a learner who cannot see the window must still find every field and button.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QSignalSpy>
#include <QLabel>
#include <QSet>
#include <QStringList>

#include "class_dialog.h"
#include "generate_dialog.h"
#include "learners_dialog.h"
#include "record_support.h"
#include "record_window.h"
#include "round_recorder.h"
#include "settings_dialog.h"
#include "sheet_dialog.h"
#include "teacher_view.h"

namespace rekendo::testing {
namespace {

bool TakesTab(const QWidget* widget, const QWidget* window) {
  return widget->isVisibleTo(window) && widget->isEnabled() &&
         (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

// The controls Tab can land on that have no spoken name.
QStringList Unnamed(QWidget& window) {
  QStringList unnamed;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (!TakesTab(widget, &window)) continue;
    // A spin box's or combo box's own line edit speaks through its box; a tab bar's tabs
    // carry the names.
    const QWidget* parent = widget->parentWidget();
    if (parent && (parent->focusProxy() == widget || parent->inherits("QAbstractSpinBox"))) continue;
    if (widget->inherits("QTabBar")) continue;
    const auto* area = parent ? qobject_cast<const QAbstractScrollArea*>(parent) : nullptr;
    if (area && area->viewport() == widget) continue;  // the view itself is checked
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    // Inside a table or a list the cells speak for themselves: the view itself needs a name.
    if (!face || face->text(QAccessible::Name).trimmed().isEmpty()) {
      unnamed << QStringLiteral("%1 \"%2\" in %3")
                     .arg(QString::fromLatin1(widget->metaObject()->className()),
                          widget->objectName(),
                          parent ? QString::fromLatin1(parent->metaObject()->className()) : QString());
    }
  }
  return unnamed;
}

// The controls Tab never reaches, going round the window once from its first one.
QStringList Unreached(QWidget& window) {
  QSet<QWidget*> wanted;
  for (QWidget* widget : window.findChildren<QWidget*>()) {
    if (TakesTab(widget, &window)) wanted.insert(widget);
  }
  QWidget* widget = &window;
  for (int step = 0; step < 100000; ++step) {
    widget = widget->nextInFocusChain();
    if (widget == &window) break;
    wanted.remove(widget);
  }
  QStringList left;
  for (QWidget* widget : wanted) left << widget->objectName() + QStringLiteral(" ") + QString::fromLatin1(widget->metaObject()->className());
  return left;
}

class CompanionNames : public RecordTest {
 protected:
  void Check(QWidget& window) {
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(Unnamed(window).join(QStringLiteral(", ")).toStdString(), "")
        << window.objectName().toStdString();
    EXPECT_EQ(Unreached(window).join(QStringLiteral(", ")).toStdString(), "")
        << window.objectName().toStdString();
  }
};

TEST_F(CompanionNames, EveryControlOfEveryCompanionWindowIsNamedAndReachedByTab) {
  record::Record record(Folder());
  {
    record::RoundRecorder recorder(record, Clock());
    Drive drive(recorder);
    drive.Load(WriteProblems());
    drive.Start();
    drive.Problem(1, 1, QuestionOutcome::kWrongAtTimeUp);
    drive.End(RoundEnd::kFinished, 0, 0);
  }
  record::RecordWindow record_window(record);
  Check(record_window);
  GenerateDialog generate(Folder() + QStringLiteral("/generated"));
  Check(generate);
  worksheet::SheetDialog sheet({});
  Check(sheet);
  SettingsDialog settings(DrillSettings{}, nullptr);
  Check(settings);
  LearnersDialog learners(record, [] {}, nullptr);
  Check(learners);
  ClassDialog class_dialog(QStringLiteral("service=school"), QString(), nullptr);
  Check(class_dialog);
  TeacherView teacher(RecordFile(), QDateTime::currentMSecsSinceEpoch(), nullptr);
  QSignalSpy shown(&teacher, &TeacherView::Shown);
  ASSERT_TRUE(shown.wait(5000));
  Check(teacher);
}

}  // namespace
}  // namespace rekendo::testing
