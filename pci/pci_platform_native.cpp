// Host build: there are no configuration ports, so reads come from a dump or find nothing.
#include <stdlib.h>

#include "pci_config.h"
#include "pci_dump.h"

uint32_t PciConfigRead(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    const char* dump = getenv("PCI_CONFIG_DUMP");
    uint32_t value;
    if (dump != nullptr &&
        PciDumpFindInFile(dump, PciConfigAddress(bus, device, function, reg), &value))
        return value;
    return PciNoDevice;
}
