#include "KeyPlatforms.h"
#include "X11Keyboard.h"

#include <QGuiApplication>

namespace {

class X11KeyPlatform : public KeyPlatform
{
public:
    explicit X11KeyPlatform(std::unique_ptr<X11Keyboard> keyboard)
        : keyboard(std::move(keyboard))
    {
    }

    // X has no notion of "focus held by this thread"; Qt tracks the focus
    // events of our own windows, which is the same question.
    bool programHasFocus() override { return QGuiApplication::focusWindow() != nullptr; }
    bool isKeyDown(int virtualKey) override { return keyboard->isVirtualKeyDown(virtualKey); }

private:
    std::unique_ptr<X11Keyboard> keyboard;
};

} // namespace

std::unique_ptr<KeyPlatform> createX11KeyPlatform()
{
    auto keyboard = std::make_unique<X11Keyboard>();
    // The server Qt is on, unless Qt was started with its -display option.
    if (!keyboard->open(qgetenv("DISPLAY").constData()))
        return nullptr;
    return std::make_unique<X11KeyPlatform>(std::move(keyboard));
}
