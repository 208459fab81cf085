#pragma once
// The instance registry KYX.DAT (File_Istanze): several copies of the program may run at once,
// but two of them must never work on the same data folder.
//
// The file is one record of 8,288 bytes: 32 slots of a signed 32-bit little-endian value
// (0 = free) followed by the 32 data folders, 255 Windows-1252 characters each, padded with blanks.
//
// On Windows a slot held a window handle and a slot was alive while that window had a title.
// Window handles mean nothing across processes on Linux, so a slot holds the process id of the
// copy that recorded it:
// - a non-zero hWnd1 records the calling process (its pid, whatever window it names);
// - a slot is "ours" (found again by the caller, or taken over from hWnd2) when it holds our pid;
//   both windows passed by a caller belong to this process, so this covers hWnd1 and hWnd2;
// - a slot is alive while its process exists and runs the same executable as we do
//   (/proc/<pid>/exe against /proc/self/exe), which also tells a reused pid from our copy; a
//   process of another user, whose executable we may not read, counts as alive while it exists;
// - "no other copy of the program is running" means no other live process runs our executable.
// Copies take an exclusive lock on the file around the read, change and write, so that two copies
// starting together cannot both take the same slot or the same folder.
//
// The registry belongs to one installation (its program folder); two installations that share a
// data folder are kept apart by the folder itself: the copy that records a folder holds a lock on
// the file KYX.LCK in it for as long as it runs, and a folder whose lock another process holds is
// not free.
#include <cstdint>
#include <string>

namespace kyx {

inline constexpr int kSlot_Istanze = 32;
inline constexpr int kLunghezza_Cartella_Istanza = 255;
inline constexpr int kLunghezza_Registro = 4 * kSlot_Istanze + kLunghezza_Cartella_Istanza * kSlot_Istanze;
inline constexpr const char* kFile_Blocco_Cartella = "KYX.LCK";

// Frees the slots of copies that are gone, answers whether the data folder `Cartella` (blanks at
// both ends ignored, compared case-sensitively) is free for the caller and, with a non-zero hWnd1,
// records the calling process with that folder. A non-zero `Modo` with hWnd1 = 0 empties the whole
// registry first when no other copy of the program is running. Returns false (and leaves the file
// as it was) when no slot is available or another slot holds the same folder.
bool Registro_Istanze(int16_t& Modo, int32_t& hWnd1, int32_t& hWnd2, std::string& Cartella);

// True when another live process runs the same executable as this one.
bool Altra_Copia_In_Esecuzione();

}  // namespace kyx
