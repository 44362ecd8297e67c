// A private folder for generated files, removed with everything in it when it goes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace rekendo::bench {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Writes `bytes` to `name` in the folder and returns the file's path.
  std::string Write(const std::string& name, std::string_view bytes) const;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes `bytes` to `path`, replacing it; throws std::runtime_error when that fails.
void WriteFile(const std::string& path, std::string_view bytes);

}  // namespace rekendo::bench
