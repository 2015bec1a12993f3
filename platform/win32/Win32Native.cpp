// The Windows backend as the program's native platform.
#include "NativePlatform.h"
#include "Win32Platform.h"

namespace vornik {

namespace {
class Win32Native : public NativePlatform {
public:
    const Platform& platform() const override { return m_backend.platform(); }
    void setApplicationWindow(WindowHandle window) override { m_backend.windows().setApplicationHandle(window); }
    std::vector<std::string> outputNames() const override { return m_backend.outputs().names(); }
    std::string outputInUse() const override { return m_backend.outputs().chosenName(); }
    bool chooseOutput(const std::string& name) override { return m_backend.outputs().choose(name); }

private:
    Win32Platform m_backend;
};
} // namespace

void prepareNativeToolkit() {}

// The Windows heap gives back freed pages on its own.
void returnFreedMemory() {}

std::unique_ptr<NativePlatform> makeNativePlatform() {
    return std::make_unique<Win32Native>();
}

} // namespace vornik
