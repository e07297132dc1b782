#include "pci_config.h"

uint32_t PciConfigAddress(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    return 0x80000000u | (bus & 0xFFu) << 16 | (device & 0x1Fu) << 11 | (function & 0x7u) << 8 |
           (reg & 0xFFu);
}

uint32_t PciConfigReadPorts(PortOut32Function portOut32, PortIn32Function portIn32, unsigned bus,
                            unsigned device, unsigned function, unsigned reg) {
    // The address port is neither saved nor cleared: the write and the read are one unit.
    portOut32(PciAddressPort, PciConfigAddress(bus, device, function, reg));
    return portIn32(PciDataPort);
}
