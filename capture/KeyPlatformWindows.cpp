#include "KeyPlatforms.h"
#include "WindowsKeyboard.h"

namespace {

class WindowsKeyPlatform : public KeyPlatform
{
public:
    bool programHasFocus() override { return windowsProgramHasFocus(); }
    bool isKeyDown(int virtualKey) override { return windowsKeyDown(virtualKey); }
};

} // namespace

std::unique_ptr<KeyPlatform> createWindowsKeyPlatform()
{
    return std::make_unique<WindowsKeyPlatform>();
}
