#include "scram.h"

#include <QCryptographicHash>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>

namespace rekendo::classroom {

namespace {

QByteArray Hmac(const QByteArray& key, const QByteArray& message) {
  return QMessageAuthenticationCode::hash(message, key, QCryptographicHash::Sha256);
}

// PBKDF2-HMAC-SHA-256 with one 32-byte block: SCRAM's Hi().
QByteArray Hi(const QByteArray& password, const QByteArray& salt, int iterations) {
  QMessageAuthenticationCode mac(QCryptographicHash::Sha256, password);
  mac.addData(salt);
  mac.addData(QByteArray("\0\0\0\1", 4));
  QByteArray u = mac.result();
  QByteArray result = u;
  for (int i = 1; i < iterations; ++i) {
    mac.reset();
    mac.addData(u);
    u = mac.result();
    for (qsizetype j = 0; j < result.size(); ++j) result[j] = char(result[j] ^ u[j]);
  }
  return result;
}

}  // namespace

std::string GeneratePassword(int length) {
  static constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
  constexpr int kSize = sizeof(kAlphabet) - 1;
  std::string password;
  QRandomGenerator* random = QRandomGenerator::system();
  for (int i = 0; i < length; ++i) password += kAlphabet[random->bounded(kSize)];
  return password;
}

std::string ScramVerifier(const std::string& password, int iterations, QByteArray salt) {
  if (salt.isEmpty()) {
    salt.resize(16);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32*>(salt.data()), 4);
  }
  const QByteArray salted = Hi(QByteArray::fromStdString(password), salt, iterations);
  const QByteArray client_key = Hmac(salted, "Client Key");
  const QByteArray stored_key = QCryptographicHash::hash(client_key, QCryptographicHash::Sha256);
  const QByteArray server_key = Hmac(salted, "Server Key");
  return "SCRAM-SHA-256$" + std::to_string(iterations) + ":" + salt.toBase64().toStdString() + "$" +
         stored_key.toBase64().toStdString() + ":" + server_key.toBase64().toStdString();
}

}  // namespace rekendo::classroom
