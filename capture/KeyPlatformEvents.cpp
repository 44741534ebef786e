#include "KeyStatePoller.h"

#include <QGuiApplication>

namespace {

// Without a way to read the keyboard directly, focus is Qt's and the key is
// never seen down.
class FocusOnlyPlatform : public KeyPlatform
{
public:
    bool programHasFocus() override { return QGuiApplication::focusWindow() != nullptr; }
    bool isKeyDown(int) override { return false; }
};

} // namespace

std::unique_ptr<KeyPlatform> createKeyPlatform()
{
    return std::make_unique<FocusOnlyPlatform>();
}
