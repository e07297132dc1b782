#include "pci_config.h"

uint32_t PciConfigAddress(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    return 0x80000000u | (bus & 0xFFu) << 16 | (device & 0x1Fu) << 11 | (function & 0x7u) << 8 |
           (reg & 0xFFu);
}
