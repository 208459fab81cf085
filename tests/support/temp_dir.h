#pragma once
// A scratch folder for one test, removed with everything in it when the test ends.
#include <string>

namespace kyx::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, without a trailing slash.
  const std::string& path() const { return path_; }
  // path() + "/" + name.
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  // Writes bytes to a file in the folder (creating sub-folders is the caller's job).
  void write(const std::string& name, const std::string& bytes) const;
  // Reads a whole file; "" when it is missing.
  std::string read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace kyx::test
