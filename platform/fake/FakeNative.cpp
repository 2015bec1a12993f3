// The fake platform as a program's native platform (-DVORNIK_BACKEND=fake): nothing reaches the
// system, and no joystick, key or window exists but those a test adds.
#include "FakePlatform.h"
#include "NativePlatform.h"

namespace vornik {

namespace {
class FakeNative : public NativePlatform {
public:
    const Platform& platform() const override { return m_fake.platform; }
    // The fake keeps its own made-up handle for the program's window.
    void setApplicationWindow(WindowHandle) override {}
    std::vector<std::string> outputNames() const override { return {"fake"}; }
    std::string outputInUse() const override { return "fake"; }
    bool chooseOutput(const std::string& name) override { return name == "fake"; }

private:
    FakePlatform m_fake;
};
} // namespace

void prepareNativeToolkit() {}
void returnFreedMemory() {}

std::unique_ptr<NativePlatform> makeNativePlatform() {
    return std::make_unique<FakeNative>();
}

} // namespace vornik
