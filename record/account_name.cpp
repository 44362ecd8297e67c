#include "account_name.h"

#include <pwd.h>
#include <unistd.h>

#include <QFile>
#include <vector>

namespace rekendo::record {

QString AccountName() {
  // getpwuid_r: the program has other threads, and getpwuid's buffer is shared.
  passwd entry{};
  passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name && *found->pw_name) {
    return QFile::decodeName(found->pw_name);
  }
  const QString user = qEnvironmentVariable("USER");
  if (!user.isEmpty()) return user;
  return QStringLiteral("学習者");
}

}  // namespace rekendo::record
