// The uinput output where it cannot make its device: what it says, and that nothing is sent. What it
// sends where it can is tested in the lab's guest (tests/wayland/uinput-desktop.sh).
#include "UinputOutput.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace vornik {
namespace {

TEST(UinputOutput, SaysWhyItCannotSendAndWhatToDo) {
    struct Case {
        int error;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {ENOENT, {"/dev/uinput does not exist", "modprobe uinput"}},
        {EACCES, {"may not write to /dev/uinput", "60-vornik-uinput.rules", "/etc/udev/rules.d/", "log in again"}},
        {EPERM, {"may not write to /dev/uinput", "install the vornik package"}},
        {EBUSY, {"/dev/uinput cannot be used"}},
    };
    for (const Case& c : cases) {
        const std::string reason = UinputOutput::reasonFor("/dev/uinput", c.error);
        for (const std::string& part : c.said)
            EXPECT_NE(reason.find(part), std::string::npos) << "errno " << c.error << ": " << reason;
    }
    EXPECT_EQ(UinputOutput::reasonFor("/dev/uinput", 0), "");
}

TEST(UinputOutput, WithoutItsDeviceSendsNothingAndSaysWhy) {
    char folder[] = "/tmp/vornik-uinput.XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    const std::string missing = std::string(folder) + "/uinput";
    const std::string plainFile = std::string(folder) + "/file";
    std::ofstream(plainFile) << "";
    for (const std::string& path : {missing, plainFile}) {
        UinputOutput output(path);
        EXPECT_FALSE(output.open()) << path;
        EXPECT_FALSE(output.open()) << path << ": tried once";
        EXPECT_NE(output.unavailableReason().find(path), std::string::npos) << output.unavailableReason();
        bool guardAsked = false;
        output.setPressGuard([&] {
            guardAsked = true;
            return true;
        });
        EXPECT_EQ(output.keyDown(65), std::nullopt);
        EXPECT_FALSE(output.pointerButton(PointerButton::Left, true));
        output.wheel(1, false);
        output.pointerMotion(5, 5);
        EXPECT_FALSE(output.canPoint());
        EXPECT_FALSE(guardAsked) << "a press was about to go out through " << path;
    }
    // A file that is not the uinput device takes no device set-up.
    UinputOutput onFile(plainFile);
    onFile.open();
    EXPECT_NE(onFile.unavailableReason().find("did not make the virtual device"), std::string::npos)
        << onFile.unavailableReason();
    std::remove(plainFile.c_str());
    ::rmdir(folder);
}

} // namespace
} // namespace vornik
