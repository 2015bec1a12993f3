// The Linux backend as the program's native platform.
#include "LinuxPlatform.h"
#include "NativePlatform.h"

#include <cstdlib>

#include <malloc.h>

namespace vornik {

namespace {
class LinuxNative : public NativePlatform {
public:
    const Platform& platform() const override { return m_backend.platform(); }
    void setApplicationWindow(WindowHandle window) override { m_backend.windows().setApplicationHandle(window); }
    std::vector<std::string> outputNames() const override { return m_backend.outputs().names(); }
    std::string outputInUse() const override { return m_backend.outputs().chosenName(); }
    bool chooseOutput(const std::string& name) override { return m_backend.chooseOutput(name); }

private:
    LinuxPlatform m_backend;
};
} // namespace

void prepareNativeToolkit() {
    // The widgets are drawn without OpenGL, so Qt's xcb GL integration (and the GL libraries it may
    // load) is left out, unless the user asks for one.
    ::setenv("QT_XCB_GL_INTEGRATION", "none", 0);
}

void returnFreedMemory() {
    // glibc gives back only the top of the main heap on its own: pages freed below it, and in the
    // heaps of other threads, stay dirty until asked for.
    ::malloc_trim(0);
}

std::unique_ptr<NativePlatform> makeNativePlatform() {
    return std::make_unique<LinuxNative>();
}

} // namespace vornik
