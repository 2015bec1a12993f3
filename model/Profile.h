#pragma once

// Profile files: the user's tables (keyboard bindings, joystick bindings, moves) as UTF-8 JSON.
//
//   {"format": "vornik-profile", "version": 4, "programs": [...], "keyboard": [...], "joysticks": [...],
//    "moves": [...], "pads": [...], "windowsKeys": {...}}
//
// "programs" (version 2) names the executables the profile is for; pointer bindings (kind 3), the
// pads' settings, "pads", the right stick's and the triggers' entries 37..42, and how keys go out on
// Windows, "windowsKeys", came with version 3; layers, activators, two inputs together ("layer",
// "activator", "with"), the layer switch (kind 4) and the pads' activator times and layer names with
// version 4.
// A file is written with the lowest version that holds it, so that older builds keep reading what
// they can.
// Saving replaces the file atomically (temporary file beside it, flushed, renamed over it). Loading
// is all or nothing: the whole file is checked into a scratch copy, and the tables change only when
// every part of it is sound. Every message names the file; a refusal also names the place in the
// file as a JSON path (`moves[3].steps[7]`, indices from 0) and the problem.

#include "Configuration.h"
#include "Files.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

namespace vornik {

constexpr int kProfileVersion = 4;
constexpr std::size_t kMaxProfilePrograms = 64;
constexpr std::size_t kMaxProfileBytes = 1024 * 1024;
inline constexpr const char* kProfileFormat = "vornik-profile";
inline constexpr const char* kProfileExtension = ".vornik";

// What went wrong, for the window to phrase in the user's language: the kind, the file, and the
// detail (the system's reason, or the place in the file and its problem, or the table entry).
struct ProfileResult {
    enum class Problem {
        None,
        Read,     // cannot load: the file cannot be read (detail: the system's reason)
        TooLarge, // cannot load: larger than kMaxProfileBytes
        Refused,  // cannot load: the text is no sound profile (detail: "place: problem")
        Tables,   // cannot save: the tables hold what a profile cannot (detail: the entry)
        Create,   // cannot save: no file can be made in `folder` (detail: the system's reason)
        Write,    // cannot save: writing failed
        Flush,    // cannot save: flushing to the disk failed
        Replace,  // cannot save: the file cannot be replaced
    };
    bool ok = true;
    std::string message; // empty on success; otherwise one line in English (logs, tests)
    Problem problem = Problem::None;
    std::string file;
    std::string detail;
    std::string folder; // for Create

    explicit operator bool() const { return ok; }
    static ProfileResult failure(std::string text) {
        ProfileResult result;
        result.ok = false;
        result.message = std::move(text);
        return result;
    }
    static ProfileResult failure(Problem problem, std::string file, std::string detail, std::string text);
};

// The profile text of the tables in `config`: deterministic, so the same tables always give the
// same bytes. Fails (naming the table entry) when a table holds a value the format cannot carry:
// a value out of its range, a move name that is not Big5 text, a keyboard entry that belongs to no
// key. A text produced here always loads.
ProfileResult profileText(const Configuration& config, std::string& text);

// Checks `text` as a profile and, only when all of it is sound, replaces the keyboard bindings,
// joystick bindings, moves, programs, pad settings and Windows key settings of `config` with it
// (entries the file leaves out become zero, and pads and Windows key settings it leaves out get the
// defaults). `fileName` is used in the messages.
// Nothing else in `config` is read or written.
ProfileResult parseProfile(std::string_view text, const std::string& fileName, Configuration& config);

// Reads the file at `path` (UTF-8 path; at most 1 MiB) and applies it as parseProfile does.
ProfileResult loadProfile(const std::string& path, Configuration& config);

// The file calls a save makes once the temporary file is open (write, flush, replace), the
// system's own by default; tests replace them to make one fail.
using ProfileFileWriter = os::AtomicWriteSteps;

// Writes the tables of `config` to `path` (UTF-8 path, used as given: the caller adds the
// extension). A symbolic link at `path` is followed: the file it points to is replaced and the link
// stays. On failure the message names the file and the reason, the temporary file is removed, and a
// file already at `path` is left exactly as it was.
ProfileResult saveProfile(const std::string& path, const Configuration& config);
ProfileResult saveProfile(const std::string& path, const Configuration& config, ProfileFileWriter& writer);

// `path` with kProfileExtension added when its file name does not already end with it.
std::string withProfileExtension(const std::string& path);

} // namespace vornik
