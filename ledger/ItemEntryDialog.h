#pragma once

class QObject;

// The registration dialog as the store owns it: created by the window code,
// which knows widgets, and handed to the store, which does not.
class ItemEntryDialog
{
public:
    virtual ~ItemEntryDialog() = default;

    // Loads the cash item catalogue; false when it cannot be loaded (the user
    // has been told why).
    virtual bool init() = 0;
    // Brings the dialog to the front, modeless.
    virtual void present() = 0;
    // The dialog as a Qt object: its Qt parent may delete it first.
    virtual QObject *qObject() = 0;
};
