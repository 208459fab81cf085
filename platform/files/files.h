#pragma once
// The file system as the system's code sees it: the program folder, folder texts in their Windows
// form, wildcard listing and deletion, existence tests.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kyx::files {

// The program folder, where the programs keep their settings, registry and data; always with a
// trailing "/":
// - $KYX_HOME when set;
// - else the folder of the running executable, when the program runs from a folder of its own that
//   it may write (a build folder, or an unpacked copy);
// - else, for an installed program (its executable in <prefix>/bin with <prefix>/share/kyx/
//   beside) or one whose folder it may not write: "kyx/" under the user's data folder
//   ($XDG_DATA_HOME when it is an absolute path, else ~/.local/share).
std::string program_folder();
// The same choice for an executable in `exe_folder`.
std::string program_folder_for(std::string_view exe_folder);
// The folder of the running executable, with a trailing "/" ("./" without /proc).
std::string executable_folder();
// Where the files that ship with the programs lie for an executable in `exe_folder`: the
// installation's <prefix>/share/kyx/ when there is one, else the executable's own folder.
std::string shipped_folder_for(std::string_view exe_folder);
// The files that ship with the programs and are read from the program folder: the character
// tables of both programs and the help file.
const std::vector<std::string>& shipped_files();
// Readies the program folder of a program whose executable lies in `exe_folder`, when it is the
// user's data folder (see program_folder): creates it, and copies there each shipped file that it
// lacks or holds older than the installed one (a file the user put there later is kept). Nothing
// is done for $KYX_HOME or the executable's own folder. False, with `error` saying why (in the
// programs' language), when the folder cannot be created or a shipped file cannot be copied.
bool prepare_program_folder(std::string_view exe_folder, std::string& error);

// A path text as the system stores it ("C:\x" is not expected on Linux, but "\Dati\" under the
// program folder and "/home/u/Dati\STORICO\" are) turned into a Linux path: every "\" becomes "/",
// runs of "/" collapse to one. The spelling of the names is kept (never upper-cased).
std::string native_path(std::string_view path);

// True when a regular file of that name exists (Dir(path, vbNormal) <> "").
bool file_exists(std::string_view path);
// True when a folder of that name exists.
bool folder_exists(std::string_view path);
// Creates a folder and its parents; true when it exists afterwards.
bool make_folder(std::string_view path);
// The file's length in bytes, -1 when missing.
int64_t file_length(std::string_view path);
// Kill: deletes one file; true when it is gone afterwards.
bool remove_file(std::string_view path);
// Renames a file over another, atomically on one file system.
bool rename_file(std::string_view from, std::string_view to);

// Renames a file or a folder, but never over anything that exists under the new name: false
// (and nothing changed) when the target exists or the rename fails.
bool move_no_replace(std::string_view from, std::string_view to);
// True when anything (file, folder, link) exists under that name.
bool exists(std::string_view path);
// FileCopy: the bytes of one file into another, written whole or not at all.
bool copy_file(std::string_view from, std::string_view to);
// RmDir: removes an empty folder; false when it is missing or not empty.
bool remove_folder(std::string_view path);
// Deletes a folder with everything in it (forced); true when nothing is left under that name.
bool remove_tree(std::string_view path);
// The names of the sub-folders of a folder, sorted by their bytes; hidden ones (".") left out.
std::vector<std::string> list_folders(std::string_view folder);

// True when the file name matches a Windows wildcard pattern: "*" any run of characters, "?" one
// character, letters compared without regard to case as Windows does. A pattern ending in ".*"
// also matches the name without an extension ("*.*" matches every name, "KYX.*" matches "KYX").
bool matches_pattern(std::string_view name, std::string_view pattern);

// Dir with a pattern: the names (without folder) of the regular files in `folder` whose name
// matches `pattern` (see matches_pattern), sorted by the bytes of the names. Names beginning with
// "." are hidden files on Linux (our own temporary files among them) and are left out unless the
// pattern itself begins with ".". A missing folder gives an empty list.
std::vector<std::string> list_files(std::string_view folder, std::string_view pattern);

// Kill with a pattern: deletes every matching file; returns how many were deleted.
int remove_files(std::string_view folder, std::string_view pattern);

// Whole-file helpers for small files. read_file: false (and `bytes` empty) when the file cannot
// be read.
bool read_file(std::string_view path, std::string& bytes);
// Writes through a temporary file in the same folder, flushed to disk and renamed over the target:
// never a half-written file, and the old contents stay when anything fails. The new file gets mode
// 0600 with `owner_only`, else the mode of the file it replaces (a private file stays private).
// A symbolic link is followed: its target is replaced, the link stays. False when the folder or an
// existing target is not writable.
bool write_file_atomic(std::string_view path, std::string_view bytes, bool owner_only = false);
// Open ... For Append, Print, Close: adds the bytes at the end of the file, creating it when
// missing. False when the file cannot be opened or written.
bool append_file(std::string_view path, std::string_view bytes);

}  // namespace kyx::files
