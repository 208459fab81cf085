#pragma once
// A compiled HTML help file (.chm) opened for reading on libchm: the pages, pictures and style
// sheets it holds by their paths inside it ("/10002.htm"), and the topic it opens on by default.
#include <memory>
#include <string>
#include <string_view>

struct chmFile;  // libchm's handle

namespace kyx::help {

class ChmFile {
 public:
  ~ChmFile();
  ChmFile(const ChmFile&) = delete;
  ChmFile& operator=(const ChmFile&) = delete;

  // Opens `path` (a Linux path); nullptr with `error` set when it is missing or not a help file.
  static std::unique_ptr<ChmFile> Open(const std::string& path, std::string& error);

  const std::string& path() const { return path_; }
  // The bytes of the object at `name` (a leading "/" is added when missing; letter case as the
  // file stores it, then without regard to case); false when there is none.
  bool Read(std::string_view name, std::string& bytes) const;
  // The default topic named in the file's system data ("/index.htm"), or "" when it names none.
  std::string DefaultTopic() const;

 private:
  ChmFile() = default;
  ::chmFile* handle_ = nullptr;
  std::string path_;
};

}  // namespace kyx::help
