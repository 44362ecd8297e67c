#include "error_report.h"

#include <QMessageBox>
#include <QWidget>

#include "display_text.h"
#include "cp932.h"

namespace rekendo {
namespace {

void ShowCriticalBox(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Critical, title, text, QMessageBox::Ok, owner);
  box.exec();
}

}  // namespace

std::string WithClosingPeriod(std::string_view sjis_message) {
  std::string text(sjis_message);
  if (text.empty()) return text;
  // Walk the characters from the start: only then is a trail byte told from a lead byte.
  std::size_t last = 0;
  for (std::size_t i = 0; i < text.size();) {
    last = i;
    i += text::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  if (std::string_view(text).substr(last) > ".") text += '.';
  return text;
}

ErrorReporter::ErrorReporter(QString title, QWidget* owner)
    : title_(std::move(title)), owner_(owner), show_(&ShowCriticalBox) {}

void ErrorReporter::Report(std::string_view sjis_message) const {
  // A pressed button would otherwise keep the mouse while the box is up.
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  show_(owner_, title_, ToDisplay(WithClosingPeriod(sjis_message)));
}

}  // namespace rekendo
