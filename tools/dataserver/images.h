#pragma once
// The files the program reads block by block, laid out as the server hands them out: fixed wire
// records at fixed offsets. The program asks for a byte offset and a byte count and takes what
// comes as records one after the other, so the images below are the whole contract:
//
//   library file (request "a")   keys       at 256,    128 records of 384
//                                values     at 49408,  256 records of 64
//                                areas      at 106752,  32 records of 64
//                                layouts    at 108800, 256 records of 576
//                                users (2)  at 256256, 256 records of 64
//                                users (1)  at 273280, 256 records of 64
//                                systems    at 289664,  64 records of 384
//   layout elements ("b")        at 80, 128 records of 2320 (320 of element, 25 filters of 80)
//   drill rows ("m")             at 0, 1024 records of 320
//   user file ("c")              filter at 0, 128 records of 64; structure at 8192, 161 of 36
//
// The replication program reads the same files, and the two user lists, which the program does
// not read.
//
// Unused slots of a list that has an end mark carry the mark ("A" in the record's last byte), so
// the first one stops the download; slots of the systems list carry "A" in byte 384 too, which
// the program takes as "not a system". Bytes between the lists are zero.
#include <cstddef>
#include <string>
#include <vector>

#include "tools/dataserver/code_table.h"
#include "tools/dataserver/definitions.h"

namespace kyx::dataserver {

struct Region {
  std::size_t offset;
  std::size_t record;
  std::size_t slots;
  std::size_t end() const { return offset + record * slots; }
};

inline constexpr Region kKeysRegion{256, 384, 128};
inline constexpr Region kValuesRegion{49408, 64, 256};
inline constexpr Region kAreasRegion{106752, 64, 32};
inline constexpr Region kLayoutsRegion{108800, 576, 256};
inline constexpr Region kSystemsRegion{289664, 384, 64};
inline constexpr Region kUsersSecondRegion{256256, 64, 256};
inline constexpr Region kUsersFirstRegion{273280, 64, 256};
inline constexpr Region kElementsRegion{80, 2320, 128};
inline constexpr Region kDrillRegion{0, 320, 1024};
inline constexpr Region kUserFilterRegion{0, 64, 128};
inline constexpr Region kUserStructureRegion{8192, 36, 161};

// The release mark the program expects in the first record of the user structure.
inline constexpr char kReleaseMark[] = "{Rel.6.0.18}";

// Everything a library file holds for one information system.
struct LibraryContent {
  std::vector<KeyDef> keys;
  std::vector<ValueDef> values;
  std::vector<AreaDef> areas;
  std::vector<LayoutDef> layouts;
  std::vector<SystemDef> systems;   // the systems list, with...
  std::vector<KeyMapEntry> key_map; // ...the key map of each listed system seen from this one
  // The user lists: first the users that have a filter or a structure in this system, then the
  // others (A10 name at 3, end mark at 64).
  std::vector<std::string> users_first, users_second;
};

std::string LibraryImage(const CodeTable& table, const LibraryContent& content);
std::string ElementsImage(const CodeTable& table, const std::vector<ElementDef>& elements);
std::string DrillImage(const CodeTable& table, const std::vector<DrillDef>& drills);
std::string UserImage(const CodeTable& table, const std::vector<UserFilterDef>& filters,
                      const std::vector<UserStructureDef>& structures);

// `count` bytes of `image` from `offset`; bytes past the end of the image are zero.
std::string Slice(const std::string& image, std::size_t offset, std::size_t count);

}  // namespace kyx::dataserver
