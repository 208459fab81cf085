#pragma once
// What the export asks of the desktop shell (in place of the "Shell.Application" object): pack
// a folder into a zip archive, count the top-level items of an archive, and open a document with
// the application the desktop associates with it.
//
// Paths are texts of the system (Windows-1252, or UTF-8 as Linux gave them); they are converted
// at the file-system boundary. Failures come back as false with a message in `error`.
#include <string>
#include <string_view>

namespace kyx::zip {

// Writes `archive` (replacing it) with every file and sub-folder of `folder` under its path
// relative to `folder`, "/"-separated, sub-folders as their own entries. The archive is built
// beside its name and renamed over it when complete; on failure an old archive stays as it was
// and no partial one is left.
bool PackFolder(std::string_view folder, std::string_view archive, std::string* error);

// The number of top-level items of a folder: files and sub-folders directly inside it (the
// shell's Namespace(folder).Items.Count); -1 when it cannot be listed.
int FolderItemCount(std::string_view folder);

// The number of top-level items of an archive: its distinct first path components (a folder
// counts as one item however many entries it holds); -1 when it cannot be read.
int ArchiveItemCount(std::string_view archive);

// Opens a document with its default application, as a double click would (ShellExecute "open").
// The command is "xdg-open", or the one named by the environment variable KYX_OPEN_COMMAND; it is
// started in the background and not waited for. False when it cannot be started.
bool OpenDocument(std::string_view path, std::string* error);

}  // namespace kyx::zip
