// A folder of a test's own under the system's temporary folder, made with a unique name and
// removed with everything in it when the test is done, so that tests running at the same time
// (ctest -j, two builds, two checkouts) never share a file.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

class TScratchDir {
public:
  // Prefix starts the folder's name, for whoever reads a leftover one.
  explicit TScratchDir(const std::string& Prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (Prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot make a scratch folder " + pattern);
    }
    FPath = pattern;
  }
  ~TScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // A file of this folder.
  std::filesystem::path operator/(const std::string& Name) const { return FPath / Name; }

private:
  std::filesystem::path FPath;
};
