#pragma once

// The key-map file "keymap": a signed 32-bit little-endian count, then that many 20-byte records
// (Left, Right, Top, Bottom, VirtualKey; signed 32-bit each) placing the keys of the keyboard picture.

#include "OneBased.h"
#include "Tables.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vornik {

// The keyboard picture the records place keys on, in pixels.
constexpr int32_t kKeyboardPictureWidth = 427;
constexpr int32_t kKeyboardPictureHeight = 119;

struct KeyMapRecord {
    int32_t Left = 0, Right = 0, Top = 0, Bottom = 0; // inclusive pixel bounds on the keyboard picture
    int32_t VirtualKey = 0;
    bool operator==(const KeyMapRecord&) const = default;
};

struct KeyMap {
    int32_t Count = 0; // 0..150
    OneBased<KeyMapRecord, kMaxKeyMapRecords> Records;
};

struct KeyMapLoad {
    enum Status { Loaded, Missing, Failed } status = Loaded;
    std::string error;  // for Failed: names the file and says what is wrong, in English
    std::string file;   // for Failed: the file
    std::string detail; // for Failed: what is wrong, for the window to put in its own sentence
};

// Loads `path` (UTF-8) into `map`. Missing file: status Missing, 0 records (the caller shows
// "miss file !"). A count of 0 or less: 0 records. A count above 150: the first 150 records. A file
// that ends early or cannot be read: status Failed with a message, and 0 records. A record with a
// coordinate outside the keyboard picture: status Failed with a message naming it, and the records
// before it.
KeyMapLoad loadKeyMap(const std::string& path, KeyMap& map);

// The same rules on bytes already in memory; `name` is used in the error text.
KeyMapLoad parseKeyMap(const unsigned char* data, std::size_t size, const std::string& name, KeyMap& map);

// Writes records in the file's format (used by the resource generator and tests).
std::string serializeKeyMap(const KeyMapRecord* records, int count);

// Number (from 1) of the first record containing the point, bounds inclusive; 0 when none.
int FindKeyAtPoint(const KeyMap& map, int x, int y);

// Number (from 1) of the first record for the code; -1 when none.
int FindKeyMapRecord(const KeyMap& map, int32_t code);

} // namespace vornik
