#pragma once

// What the Advance settings lock changes in the main window: unlocked shows
// the "Advance Setting" tab and disables the menu item that opens the lock;
// locked hides the tab and enables the item.
class AdvanceLockHost {
public:
    virtual ~AdvanceLockHost() = default;

    virtual void setAdvanceUnlocked(bool unlocked) = 0;

protected:
    AdvanceLockHost() = default;
    AdvanceLockHost(const AdvanceLockHost&) = default;
    AdvanceLockHost& operator=(const AdvanceLockHost&) = default;
};
