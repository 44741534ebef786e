#include "KeyPlatforms.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>

namespace {

// Follows the screenshot key through the key events that reach our own
// windows. Where a program may not read the keyboard directly (Wayland, the
// offscreen platform) this is all there is: a key pressed or released while
// another program has the focus is never seen.
class KeyEventTracker : public QObject
{
public:
    KeyEventTracker()
    {
        if (QCoreApplication *application = QCoreApplication::instance())
            application->installEventFilter(this);
    }

    bool isDown() const { return down; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_ScrollLock)
                break;
            // Auto-repeat comes as release and press pairs while the key
            // stays down: a repeated press confirms the key, a repeated
            // release is not a release.
            if (event->type() == QEvent::KeyPress)
                down = true;
            else if (!key->isAutoRepeat())
                down = false;
            break;
        }
        case QEvent::ApplicationDeactivate:
            // The release will go to another program. Treat the key as up;
            // if it is still down when we are back, its auto-repeat says so.
            down = false;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool down = false;
};

class EventKeyPlatform : public KeyPlatform
{
public:
    EventKeyPlatform()
        : tracker(std::make_unique<KeyEventTracker>())
    {
    }

    bool programHasFocus() override { return QGuiApplication::focusWindow() != nullptr; }

    bool isKeyDown(int virtualKey) override
    {
        // Only the screenshot key (VK_SCROLL) is tracked.
        return virtualKey == KeyStatePoller::screenshotKey && tracker->isDown();
    }

private:
    std::unique_ptr<KeyEventTracker> tracker;
};

} // namespace

std::unique_ptr<KeyPlatform> createEventKeyPlatform()
{
    return std::make_unique<EventKeyPlatform>();
}
