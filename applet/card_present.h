// The applet's own presence check: both of the card's functions on one device of bus 0.
#pragma once
#include "card_probe.h"

// True when some device on bus 0 carries the card's identity in function 0 and in function 1.
// Function 1 is read only for a device whose function 0 matched.
bool CardPresent(PciConfigReader read = PciConfigRead);
