// Windows build: where each configuration read comes from.
#include <windows.h>

#include "pci_config.h"
#include "pci_dump.h"
#include "pci_ports_x86.h"

namespace {

// A dump named by PCI_CONFIG_DUMP stands in for the hardware (tests, machines without the ports).
bool ReadFromDump(uint32_t address, uint32_t* value) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("PCI_CONFIG_DUMP", path, sizeof path);
    if (length == 0 || length >= sizeof path) return false;
    return PciDumpFindInFile(path, address, value);
}

// Only Windows 95/98 let a user-mode program use the configuration ports.
bool PortsAllowed() {
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

}  // namespace

uint32_t PciConfigRead(unsigned bus, unsigned device, unsigned function, unsigned reg) {
    uint32_t value;
    if (ReadFromDump(PciConfigAddress(bus, device, function, reg), &value)) return value;
    if (PortsAllowed()) return PciConfigReadPorts(PortOut32, PortIn32, bus, device, function, reg);
    return PciNoDevice;
}
