// The program folder: chosen from $KYX_HOME, the executable's folder or the user's data folder,
// and readied with the files that ship with the programs.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/files/files.h"

namespace kyx::files {
namespace {

std::string with_slash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

bool installed(const std::string& exe_folder) { return folder_exists(exe_folder + "../share/kyx"); }

// "kyx/" under $XDG_DATA_HOME (only an absolute path counts), else under ~/.local/share.
std::string user_data_folder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
    return with_slash(xdg) + "kyx/";
  }
  std::string home;
  if (const char* h = std::getenv("HOME"); h != nullptr && *h != '\0') {
    home = h;
  } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    home = pw->pw_dir;
  }
  return with_slash(home) + ".local/share/kyx/";
}

int64_t modified(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_mtime) : -1;
}

}  // namespace

std::string executable_folder() {
  // GetModuleFileName of the program itself, cut to its folder.
  std::string exe(4096, '\0');
  const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= exe.size()) return "./";
  exe.resize(static_cast<std::size_t>(n));
  const auto slash = exe.rfind('/');
  if (slash == std::string::npos) return "./";
  return exe.substr(0, slash + 1);
}

std::string program_folder_for(std::string_view exe_folder) {
  if (const char* home = std::getenv("KYX_HOME"); home != nullptr && *home != '\0') {
    return with_slash(native_path(home));
  }
  const std::string exe = with_slash(std::string(exe_folder));
  if (!installed(exe) && ::access(exe.c_str(), W_OK) == 0) return exe;
  return user_data_folder();
}

std::string program_folder() { return program_folder_for(executable_folder()); }

std::string shipped_folder_for(std::string_view exe_folder) {
  const std::string exe = with_slash(std::string(exe_folder));
  return installed(exe) ? exe + "../share/kyx/" : exe;
}

const std::vector<std::string>& shipped_files() {
  static const std::vector<std::string> names = {"KYX.Tbl", "Kyx_R.Tbl", "KYX.CHM"};
  return names;
}

bool prepare_program_folder(std::string_view exe_folder, std::string& error) {
  const std::string folder = program_folder_for(exe_folder);
  if (folder != user_data_folder()) return true;
  if (!make_folder(folder)) {
    error = "Impossibile creare la cartella del programma " + folder;
    return false;
  }
  const std::string shipped = shipped_folder_for(exe_folder);
  for (const std::string& name : shipped_files()) {
    const int64_t source = modified(shipped + name);
    if (source < 0) continue;
    const int64_t own = modified(folder + name);
    if (own >= source) continue;
    if (!copy_file(shipped + name, folder + name)) {
      error = "Impossibile copiare " + shipped + name + " in " + folder;
      return false;
    }
    // The copy carries the installed file's time: a later installation is newer and replaces it.
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(source), 0}};
    ::utimensat(AT_FDCWD, (folder + name).c_str(), times, 0);
  }
  return true;
}

}  // namespace kyx::files
