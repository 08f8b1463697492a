#include "rules/DisplayPass.h"

#include "model/ByteMap.h"
#include "rules/BehaviourRules.h"
#include "rules/FieldEntry.h"
#include "rules/FrequencyDigits.h"
#include "rules/Synthesizer.h"

namespace {

bool flagSet(const ConfigImage& image, BitField bit) {
    return readBits(image, bit) != 0;
}

} // namespace

void applyDisplayPass(ConfigImage& image) {
    // A stored frequency the rules refuse is shown as it is and nothing is stored.
    if (const FrequencyCheck check = checkStoredFrequency(image);
        check.exit.kind == FreqExitKind::Accepted) {
        storeFrequencyCheck(image, check);
    }

    behaviour::applyPushToListenItem(
        image, behaviour::pushToListenItem(flagSet(image, field::SystemFlag(field::SYSPTL)),
                                           flagSet(image, field::PTL)));
    // Privacy Enable's rule runs when its box changes from unchecked.
    if (flagSet(image, field::SystemFlag(field::SYSPrivacy))) {
        behaviour::applyPrivacy(image, true);
    }
    behaviour::applyReminderItem(image, behaviour::reminderItemOfByte(image[field::Reminder]));
}
