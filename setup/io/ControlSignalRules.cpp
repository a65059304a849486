#include "setup/io/ControlSignalRules.h"

ControlSignalBoxes CControlSignalRules::Apply(int modeValue, int cs, int linear)
{
    ControlSignalBoxes boxes;
    const bool position = (modeValue & 0x4) != 0;
    boxes.positionCommanded = position ? kBoxEnabled : kBoxDisabled;
    boxes.positionError = position ? kBoxEnabled : kBoxDisabled;
    boxes.rpmCaption = linear == 1 ? "mm/sec" : "Rpm";
    const bool velocity = (modeValue & 0x2) != 0;
    boxes.velocityCommanded = velocity ? kBoxEnabled : kBoxBlanked;
    boxes.velocityError = velocity ? kBoxEnabled : kBoxBlanked;
    if (modeValue & 0x10) {
        boxes.velocityMeasured = kBoxBlanked;
        boxes.rpmEnabled = 0;
        boxes.currentCommanded = kBoxBlanked;
    } else {
        boxes.currentCommanded = kBoxEnabled;
    }
    if (cs == 1) {
        boxes.currentCommanded = kBoxBlanked;
        boxes.velocityCommanded = kBoxEnabled;
    }
    const bool measured = cs == 1 || cs == 5 || cs == 6 || cs == 7 || cs == 8 || cs == 10 || cs == 11 || cs > 15;
    boxes.positionMeasured = measured ? kBoxEnabled : kBoxDisabled;
    return boxes;
}
