#pragma once

// The command line: `vornik [/allproc] [PROFILE]`, plus the options --help, --version, --lang zh|en,
// --load PROFILE, --target NAME, --target-front and --output NAME, which are taken out before the rest is read as it
// always was. Read before any window
// or display is needed, so --help and --version work without one.

#include <QStringList>

#include <string>
#include <vector>

namespace vornik::ui {

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string error;             // for Error: one line naming the option
    std::string language;          // "zh", "en", or empty: as the settings and the system say
    std::string load;              // --load: the profile to open, in the Vornik already running if one is
    std::string target;            // --target: the program to make the target, by name
    bool targetFront = false;      // --target-front: make the window in front the target
    std::string output;            // --output: the way keys are sent (xtest, wayland, uinput...), or empty
    std::vector<int> optionIndices; // argv indices of the options and their values, ascending

    static CommandLine parse(int argc, const char* const* argv);
    // `arguments` (the program's name first, as the system gave them) without the options.
    QStringList withoutOptions(QStringList arguments) const;
    // What --help prints.
    static std::string usage();
    // What --version prints.
    static std::string versionLine();
};

} // namespace vornik::ui
