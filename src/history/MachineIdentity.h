#pragma once

#include <QString>

// Which machine and which user run a check, as the history keeps them so that a team can tell
// whose checks moved.
QString machineHostName();
QString machineUserName();

// A new name for a check that no other check of any store has.
QString newCheckUid();
