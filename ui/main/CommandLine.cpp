#include "CommandLine.h"

#ifndef VORNIK_VERSION
#define VORNIK_VERSION "0.0.0"
#endif

namespace vornik::ui {

namespace {
bool knownLanguage(const std::string& language) {
    return language == "zh" || language == "en";
}
} // namespace

CommandLine CommandLine::parse(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            line.action = Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = Action::Version;
            return line;
        }
        if (arg == "--lang" || arg.rfind("--lang=", 0) == 0) {
            const bool separate = arg == "--lang";
            if (separate && i + 1 >= argc) {
                line.action = Action::Error;
                line.error = "option '--lang' needs a language: zh or en";
                return line;
            }
            line.optionIndices.push_back(i);
            if (separate)
                line.optionIndices.push_back(i + 1);
            const std::string language = separate ? argv[++i] : arg.substr(7);
            if (!knownLanguage(language)) {
                line.action = Action::Error;
                line.error = "unknown language '" + language + "' for '--lang': use zh or en";
                return line;
            }
            line.language = language;
            continue;
        }
        if (arg == "--load" || arg.rfind("--load=", 0) == 0) {
            const bool separate = arg == "--load";
            if ((separate && i + 1 >= argc) || (!separate && arg.size() == 7)) {
                line.action = Action::Error;
                line.error = "option '--load' needs a profile";
                return line;
            }
            line.optionIndices.push_back(i);
            if (separate)
                line.optionIndices.push_back(i + 1);
            line.load = separate ? argv[++i] : arg.substr(7);
            continue;
        }
        if (arg == "--target" || arg.rfind("--target=", 0) == 0) {
            const bool separate = arg == "--target";
            if ((separate && (i + 1 >= argc || *argv[i + 1] == '\0')) || (!separate && arg.size() == 9)) {
                line.action = Action::Error;
                line.error = "option '--target' needs a program's name";
                return line;
            }
            line.optionIndices.push_back(i);
            if (separate)
                line.optionIndices.push_back(i + 1);
            line.target = separate ? argv[++i] : arg.substr(9);
            continue;
        }
        if (arg == "--output" || arg.rfind("--output=", 0) == 0) {
            const bool separate = arg == "--output";
            if ((separate && (i + 1 >= argc || *argv[i + 1] == '\0')) || (!separate && arg.size() == 9)) {
                line.action = Action::Error;
                line.error = "option '--output' needs a way of sending keys: xtest, wayland or uinput";
                return line;
            }
            line.optionIndices.push_back(i);
            if (separate)
                line.optionIndices.push_back(i + 1);
            line.output = separate ? argv[++i] : arg.substr(9);
            continue;
        }
        if (arg == "--target-front") {
            line.optionIndices.push_back(i);
            line.targetFront = true;
            continue;
        }
        if (arg.rfind("--", 0) == 0 && arg.size() > 2) {
            line.action = Action::Error;
            line.error = "unknown option '" + arg + "'";
            return line;
        }
    }
    if (!line.target.empty() && line.targetFront) {
        line.action = Action::Error;
        line.error = "options '--target' and '--target-front' exclude each other";
    }
    return line;
}

QStringList CommandLine::withoutOptions(QStringList arguments) const {
    for (auto it = optionIndices.rbegin(); it != optionIndices.rend(); ++it) {
        if (*it < arguments.size())
            arguments.removeAt(*it);
    }
    return arguments;
}

std::string CommandLine::usage() {
    return "Usage: vornik [/allproc] [PROFILE]\n"
           "       vornik --load PROFILE\n"
           "       vornik --target NAME | --target-front\n"
           "       vornik --output xtest|wayland|uinput [PROFILE]\n"
           "       vornik [--lang zh|en] [--help] [--version]\n"
           "\n"
           "Turns joystick and gamepad input into key presses for the program chosen as the target.\n"
           "\n"
           "  /allproc        (first argument) list hidden windows as targets too\n"
           "  PROFILE         a profile (*.vornik) to load after start-up, instead of the last one\n"
           "  --load PROFILE  the same; one Vornik runs per session, and a Vornik already running\n"
           "                  loads it (asking about unsaved changes) and comes to the front\n"
           "  --target NAME   make the target a window of the program NAME: its executable's\n"
           "                  file name, its X11 class or its Wayland application id\n"
           "  --target-front  make the window in front the target, as CTRL+J does; for a\n"
           "                  desktop shortcut where CTRL+J is not seen (a Wayland-native\n"
           "                  window in front). Both go to the Vornik already running\n"
           "  --output WAY    how keys are sent from this start on: xtest (X11 and XWayland\n"
           "                  windows), wayland (wlroots desktops: native windows through the\n"
           "                  compositor, X ones through XTest; the default there) or uinput\n"
           "                  (a virtual keyboard and mouse of the kernel's, which every\n"
           "                  desktop reads; needs write access to /dev/uinput)\n"
           "  --lang zh|en    the language of the program's texts (default: English when the\n"
           "                  user's first language is English, Chinese otherwise)\n"
           "  --help          print this help and exit\n"
           "  --version       print the version and exit\n"
           "\n"
           "Settings live in $XDG_CONFIG_HOME/vornik/vornik.conf (~/.config/vornik/vornik.conf),\n"
           "unsaved tables kept in $XDG_STATE_HOME/vornik/recovery@DISPLAY.vornik, and profiles\n"
           "made for a game in $XDG_DATA_HOME/vornik/profiles/ (on Windows: %APPDATA%\\Vornik and\n"
           "%LOCALAPPDATA%\\Vornik).\n";
}

std::string CommandLine::versionLine() {
    return std::string("vornik ") + VORNIK_VERSION + "\n";
}

} // namespace vornik::ui
