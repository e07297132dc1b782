#include "card_present.h"

bool CardPresent(PciConfigReader read) {
    for (unsigned device = 0; device < 32; ++device) {
        if (read(0, device, 0, 0x00) != CardIdFunction0) continue;
        if (read(0, device, 1, 0x00) == CardIdFunction1) return true;
    }
    return false;
}
