#include "unshown_names.h"

#include <dirent.h>

#include <memory>

#include "utf8.h"

namespace rekendo {

int CountNonUtf8Names(const std::string& folder) {
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
  if (!dir) return 0;
  int count = 0;
  while (const dirent* entry = ::readdir(dir.get())) {
    if (!text::IsValidUtf8(entry->d_name)) ++count;
  }
  return count;
}

}  // namespace rekendo
