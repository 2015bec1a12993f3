#include "KeyMap.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

namespace vornik {

namespace {
KeyMapLoad failed(const std::string& file, std::string detail) {
    KeyMapLoad result;
    result.status = KeyMapLoad::Failed;
    result.error = file + ": " + detail;
    result.file = file;
    result.detail = std::move(detail);
    return result;
}

constexpr std::size_t kRecordBytes = 20;

int32_t readInt32(const unsigned char* p) {
    const uint32_t v = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                       (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    return static_cast<int32_t>(v);
}

void writeInt32(std::string& out, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

// Empty when every edge of `r` lies on the keyboard picture; otherwise what is wrong. Drawing adds
// and subtracts these numbers, so a record far outside could also overflow there.
std::string outsidePicture(const KeyMapRecord& r) {
    const struct {
        const char* edge;
        int32_t value;
        int32_t limit;
    } edges[] = {{"left", r.Left, kKeyboardPictureWidth},
                 {"right", r.Right, kKeyboardPictureWidth},
                 {"top", r.Top, kKeyboardPictureHeight},
                 {"bottom", r.Bottom, kKeyboardPictureHeight}};
    for (const auto& e : edges) {
        if (e.value < 0 || e.value >= e.limit) {
            return std::string(e.edge) + " edge " + std::to_string(e.value) +
                   " lies outside the keyboard picture (0.." + std::to_string(e.limit - 1) + ")";
        }
    }
    return {};
}

} // namespace

KeyMapLoad parseKeyMap(const unsigned char* data, std::size_t size, const std::string& name, KeyMap& map) {
    map = KeyMap{};
    if (size < 4)
        return failed(name, "the file ends before its record count (" + std::to_string(size) + " of 4 bytes)");
    const int32_t announced = readInt32(data);
    if (announced <= 0)
        return {};
    const int wanted = std::min(announced, kMaxKeyMapRecords);
    const std::size_t available = (size - 4) / kRecordBytes;
    if (available < static_cast<std::size_t>(wanted)) {
        return failed(name, "the file announces " + std::to_string(announced) + " key records but holds only " +
                                std::to_string(available));
    }
    for (int i = 1; i <= wanted; ++i) {
        const unsigned char* p = data + 4 + kRecordBytes * static_cast<std::size_t>(i - 1);
        const KeyMapRecord r{readInt32(p), readInt32(p + 4), readInt32(p + 8), readInt32(p + 12), readInt32(p + 16)};
        if (const std::string wrong = outsidePicture(r); !wrong.empty()) {
            // The records before it stay usable.
            return failed(name, "key record " + std::to_string(i) + " (key code " + std::to_string(r.VirtualKey) +
                                    "): " + wrong);
        }
        map.Records[i] = r;
        map.Count = i;
    }
    return {};
}

KeyMapLoad loadKeyMap(const std::string& path, KeyMap& map) {
    map = KeyMap{};
    // Taken as UTF-8: on Windows a narrow name would be read in the ANSI code page, and a folder
    // with, say, Chinese characters in its name would not be found.
    const std::filesystem::path file(std::u8string(path.begin(), path.end()));
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec)
        return {KeyMapLoad::Missing, {}, {}, {}};
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return failed(path, std::string("cannot be opened for reading (") + std::strerror(errno) + ")");
    // Never more than the file can hold for 150 records, whatever the count says.
    constexpr std::size_t kMaxBytes = 4 + kRecordBytes * kMaxKeyMapRecords;
    std::vector<unsigned char> bytes(kMaxBytes);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(kMaxBytes));
    if (in.bad())
        return failed(path, "read error");
    const auto got = static_cast<std::size_t>(in.gcount());
    return parseKeyMap(bytes.data(), got, path, map);
}

std::string serializeKeyMap(const KeyMapRecord* records, int count) {
    std::string out;
    writeInt32(out, count);
    for (int i = 0; i < count; ++i) {
        const KeyMapRecord& r = records[i];
        for (int32_t v : {r.Left, r.Right, r.Top, r.Bottom, r.VirtualKey})
            writeInt32(out, v);
    }
    return out;
}

int FindKeyAtPoint(const KeyMap& map, int x, int y) {
    for (int i = 1; i <= map.Count; ++i) {
        const KeyMapRecord& r = map.Records[i];
        if (r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom)
            return i;
    }
    return 0;
}

int FindKeyMapRecord(const KeyMap& map, int32_t code) {
    for (int i = 1; i <= map.Count; ++i) {
        if (map.Records[i].VirtualKey == code)
            return i;
    }
    return -1;
}

} // namespace vornik
