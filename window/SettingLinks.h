#pragma once

#include "model/ConfigImage.h"
#include "rules/FieldRegistry.h"

class FieldEditor;
class QWidget;
namespace Ui {
class TForm1;
}

// The controls that follow stored values: a call's controls follow its
// switch; the record sections follow Save voice, the audio-lock time Audio
// lock on, the monitor keys and Push To Listen (inverted) Privacy Enable; the
// reset methods offered follow Push To Listen and the delay controls the
// method; the standby delay follows Full Time Auto Monitor.
class SettingLinks {
public:
    SettingLinks(FieldEditor& editor, Ui::TForm1& form, ConfigImage& image);

    // After the user's pick or click stored the value.
    void changed(const FieldRef& ref);
    // The display pass's part; standbyChanged: Full Time Auto Monitor's box
    // changed, whose rule runs only then.
    void show(bool standbyChanged);

    void enableCall(int call, bool enabled);
    void enableGroupCall(int call, bool enabled);
    void enableRecordSections(bool enabled);
    void enableAudioLockTime(bool enabled);
    void enableAudioControls(bool enabled);

private:
    bool isOn(const char* field, int call = 0) const;
    void enableStandbyDelay(bool enabled);
    // The reset methods offered, the stored one selected, its delay controls.
    void showResetMethods();
    void showResetDelay();
    void enable(std::initializer_list<const char*> fields, int call, bool enabled);

    FieldEditor& editor;
    Ui::TForm1& form;
    ConfigImage& image;
};
