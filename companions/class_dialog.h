// クラス: where this computer sends its rounds, asked in a teacher's words (the school's
// server and the learner's number); a libpq connection string or the name of a service
// (pg_service.conf) under 詳細設定. A password is never kept here: the dialog refuses one and says
// to use ~/.pgpass or a service file. REKENDO_CLASS in the environment wins over it.
#pragma once

#include <QDialog>
#include <QString>

#include "error.h"

QT_BEGIN_NAMESPACE
class QCheckBox;
class QLabel;
class QLineEdit;
QT_END_NAMESPACE

namespace rekendo {

// What to keep for `text`: empty (no class), "service=NAME" for a bare name, or the
// connection string as written; refused with the reason when it holds a password or is not
// a connection string libpq reads.
Result<QString> ClassConnectionToKeep(const QString& text);

// The class database's name on a school's server.
inline constexpr const char* kClassDatabase = "rekendo";

class ClassDialog : public QDialog {
 public:
  // `current`: what is kept now; `from_environment`: REKENDO_CLASS, empty when not set.
  ClassDialog(const QString& current, const QString& from_environment, QWidget* parent);

  // What to keep, after the dialog was accepted.
  const QString& Chosen() const { return chosen_; }
  // Checks the field and accepts, or says what is wrong (the OK button's work).
  void TryAccept();
  // The connection under 詳細設定, or the two simple fields, as a teacher would type them.
  void SetText(const QString& text);
  void SetServerAndLearner(const QString& server, const QString& learner);

 private:
  void ShowAdvanced(bool on);
  QString SimpleConnection() const;

  QLineEdit* server_;
  QLineEdit* learner_;
  QCheckBox* advanced_;
  QWidget* advanced_box_;
  QLineEdit* field_;
  QLabel* message_;
  QString chosen_;
};

}  // namespace rekendo
