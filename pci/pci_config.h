// PCI configuration mechanism #1: one configuration dword read through ports 0xCF8/0xCFC.
#pragma once
#include <stdint.h>

// Identity dwords (device id high, vendor id low) of the card's two functions.
const uint32_t CardIdFunction0 = 0x0009128E;
const uint32_t CardIdFunction1 = 0x0008128E;

// The value written to the address port; each argument is masked to its field width.
uint32_t PciConfigAddress(unsigned bus, unsigned device, unsigned function, unsigned reg);

// Reads one configuration dword from whatever source the platform offers (see pci_platform).
uint32_t PciConfigRead(unsigned bus, unsigned device, unsigned function, unsigned reg);
