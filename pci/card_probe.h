// Finds the card on PCI bus 0 and reports its I/O base and interrupt line as texts.
#pragma once
#include "pci_config.h"

enum class CardProbeMode { FirstMatch, LastMatch };

struct CardProbeResult {
    bool found = false;
    char portText[16] = "";  // "%3X" of the low twelve bits of BAR0, minus the I/O indicator
    char irqText[16] = "";   // "%2d" of the low four bits of the interrupt line
};

// The configuration read the probe goes through; tests pass a recording fake.
typedef uint32_t (*PciConfigReader)(unsigned bus, unsigned device, unsigned function, unsigned reg);

CardProbeResult CardProbe(CardProbeMode mode, PciConfigReader read = PciConfigRead);
