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

    // Application-wide settings that must be made before the application
    // object exists: the form's pixel geometry grows with the screen's scale
    // factor, and that factor is used as the screen reports it (1.5 on a
    // 150 % screen) instead of being rounded to a whole number, which would
    // make the window 1x or 2x while its fonts are drawn at 150 %.
    static void prepareApplication();

    bool init();
    void show();
};
