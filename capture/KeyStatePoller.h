#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// What the screenshot hot key needs to know from the platform, read at the
// moment of asking rather than from the event queue.
class KeyPlatform
{
public:
    virtual ~KeyPlatform();
    // A window of this program holds the keyboard focus.
    virtual bool programHasFocus() = 0;
    // The key with this Windows virtual-key code is physically down now.
    virtual bool isKeyDown(int virtualKey) = 0;
};

// Turns samples of the screenshot key into edge states, one sample a tick.
class KeyStatePoller
{
public:
    enum State : int32_t { Idle = 0, Pressed = 1, Held = 2, Released = 3 };

    struct KeyState
    {
        int32_t state = Idle;
        bool wasDown = false;
    };

    // Scroll Lock (VK_SCROLL).
    static constexpr int screenshotKey = 0x91;

    static KeyStatePoller &instance();

    void addKey();
    // Samples the key and updates entry 0; no sample while the program lacks
    // the focus.
    void poll();
    // True once for each release: a release that stays in entry 0 because
    // the focus left before the next sample captures only once.
    bool takeRelease();

    int keyCount() const { return static_cast<int>(keys.size()); }
    const KeyState &key(int index) const { return keys.at(static_cast<size_t>(index)); }

    // Replaces the platform (tests use a fake one).
    void setPlatform(std::unique_ptr<KeyPlatform> platform);
    KeyPlatform *platformInUse() const { return platform.get(); }

private:
    KeyStatePoller();

    std::vector<KeyState> keys;
    std::unique_ptr<KeyPlatform> platform;
    bool releaseTaken = false;
};

// The platform of this build and display: Windows, X11, or key events of
// the program's own windows.
std::unique_ptr<KeyPlatform> createKeyPlatform();
