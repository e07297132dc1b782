#include "card_probe.h"

#include "text_format.h"

CardProbeResult CardProbe(CardProbeMode mode, PciConfigReader read) {
    CardProbeResult result;
    for (unsigned device = 0; device < 32; ++device) {
        if (read(0, device, 0, 0x00) != CardIdFunction0) continue;
        // Bit 0 of an I/O base address register is the I/O-space indicator; subtracting 1 drops it.
        int base = static_cast<int>(read(0, device, 0, 0x10) & 0xFFFu) - 1;
        FormatText(result.portText, sizeof result.portText, "%3X", static_cast<unsigned>(base));
        int interruptLine = static_cast<int>(read(0, device, 1, 0x3C) & 0xFu);
        FormatText(result.irqText, sizeof result.irqText, "%2d", interruptLine);
        result.found = true;
        if (mode == CardProbeMode::FirstMatch) break;
    }
    return result;
}
