#pragma once

#include "model/ConfigImage.h"
#include "rules/EnablingRules.h"
#include "rules/FieldRegistry.h"

#include <vector>

class BoundControls;

// The controls that follow stored values: the enabling the core's switch
// rules decide, the reset methods offered (which follow Push To Listen) and
// the delay controls the method shows.
class SettingLinks {
public:
    SettingLinks(BoundControls& controls, const ConfigImage& image);

    // After the user's pick or click stored the value.
    void changed(const FieldRef& ref);
    // The display pass's part; standbyChanged: Full Time Auto Monitor's box
    // changed, whose rule runs only then.
    void show(bool standbyChanged);
    // Modify Mode's rules, after every control was enabled.
    void showModifyMode();

private:
    void apply(const std::vector<FieldEnabling>& states);
    // The reset methods offered, the stored one selected, its delay controls.
    void showResetMethods();
    void showResetDelay();

    BoundControls& controls;
    const ConfigImage& image;
};
