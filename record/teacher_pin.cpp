#include "teacher_pin.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QPasswordDigestor>
#include <QRandomGenerator>
#include <QStringList>

namespace rekendo::record {

namespace {

constexpr int kHashBytes = 32;

QByteArray Derive(const QString& pin, const QByteArray& salt, int iterations) {
  return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, pin.toUtf8(), salt,
                                            iterations, kHashBytes);
}

// Every byte is looked at whatever the first difference, so the time says nothing.
bool SameBytes(const QByteArray& a, const QByteArray& b) {
  if (a.size() != b.size()) return false;
  unsigned char difference = 0;
  for (qsizetype i = 0; i < a.size(); ++i) {
    difference |= static_cast<unsigned char>(a[i] ^ b[i]);
  }
  return difference == 0;
}

}  // namespace

QString HashPin(const QString& pin) {
  QByteArray salt(kPinSaltBytes, Qt::Uninitialized);
  QRandomGenerator::system()->generate(salt.begin(), salt.end());
  return QStringLiteral("pbkdf2-sha256$%1$%2$%3")
      .arg(kPinIterations)
      .arg(QString::fromLatin1(salt.toHex()),
           QString::fromLatin1(Derive(pin, salt, kPinIterations).toHex()));
}

std::optional<QString> NewPinProblem(const QString& pin) {
  if (pin.size() < 4) return QStringLiteral("暗証番号は 4 文字以上にしてください。");
  return std::nullopt;
}

bool PinMatches(const QString& pin, const QString& stored) {
  const QStringList parts = stored.split(QLatin1Char('$'));
  if (parts.size() != 4 || parts[0] != QStringLiteral("pbkdf2-sha256")) return false;
  bool ok = false;
  const int iterations = parts[1].toInt(&ok);
  // A stored value cut down to a few iterations is not a PIN anyone set here.
  if (!ok || iterations < 100000 || iterations > 10000000) return false;
  const QByteArray salt = QByteArray::fromHex(parts[2].toLatin1());
  const QByteArray hash = QByteArray::fromHex(parts[3].toLatin1());
  if (salt.size() != kPinSaltBytes || hash.size() != kHashBytes) return false;
  return SameBytes(Derive(pin, salt, iterations), hash);
}

}  // namespace rekendo::record
