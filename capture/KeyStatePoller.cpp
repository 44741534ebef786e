#include "KeyStatePoller.h"

KeyPlatform::~KeyPlatform() = default;

KeyStatePoller::KeyStatePoller()
    : platform(createKeyPlatform())
{
}

KeyStatePoller &KeyStatePoller::instance()
{
    // Lives until the process ends.
    static KeyStatePoller *poller = new KeyStatePoller;
    return *poller;
}

void KeyStatePoller::addKey()
{
    keys.reserve(keys.size() + 1);
    keys.push_back(KeyState());
}

void KeyStatePoller::poll()
{
    if (keys.empty() || !platform || !platform->programHasFocus())
        return;
    KeyState &entry = keys.front();
    const bool down = platform->isKeyDown(screenshotKey);
    if (down) {
        entry.state = entry.wasDown ? Held : Pressed;
        entry.wasDown = true;
    } else {
        entry.state = entry.wasDown ? Released : Idle;
        entry.wasDown = false;
    }
    releaseTaken = false;
}

bool KeyStatePoller::takeRelease()
{
    if (keys.empty() || keys.front().state != Released || releaseTaken)
        return false;
    releaseTaken = true;
    return true;
}

void KeyStatePoller::setPlatform(std::unique_ptr<KeyPlatform> replacement)
{
    platform = std::move(replacement);
}
