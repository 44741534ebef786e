#pragma once

// Kept on main's stack: forwards start-up to the main window and makes sure
// that leaving main by any path releases it.
class Launcher
{
public:
    Launcher() = default;
    ~Launcher();
    Launcher(const Launcher &) = delete;
    Launcher &operator=(const Launcher &) = delete;

    bool init();
    void show();
};
