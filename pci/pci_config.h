// PCI configuration mechanism #1: one configuration dword read through ports 0xCF8/0xCFC.
#pragma once
#include <stdint.h>

// Identity dwords (device id high, vendor id low) of the card's two functions.
const uint32_t CardIdFunction0 = 0x0009128E;
const uint32_t CardIdFunction1 = 0x0008128E;

const uint16_t PciAddressPort = 0xCF8;
const uint16_t PciDataPort = 0xCFC;
// What a read of a device number with nothing behind it returns.
const uint32_t PciNoDevice = 0xFFFFFFFF;

// The value written to the address port; each argument is masked to its field width, and the
// register argument is placed whole (bits 1-0 included).
uint32_t PciConfigAddress(unsigned bus, unsigned device, unsigned function, unsigned reg);

// Reads one configuration dword from the first source available, chosen afresh on every call:
//  1. the `lspci -x` text dump named by the environment variable PCI_CONFIG_DUMP, when that names
//     a readable file (see pci_dump.h);
//  2. on Windows 95/98, the two configuration ports;
//  3. otherwise nothing: 0xFFFFFFFF (NT-family Windows and Wine trap the port instructions).
uint32_t PciConfigRead(unsigned bus, unsigned device, unsigned function, unsigned reg);

// The two port operations a configuration read consists of; tests substitute recording fakes.
typedef void (*PortOut32Function)(uint16_t port, uint32_t value);
typedef uint32_t (*PortIn32Function)(uint16_t port);

// One configuration read through the given port operations: exactly one 32-bit write of the
// address to 0xCF8, then one 32-bit read from 0xCFC, whose value is returned.
uint32_t PciConfigReadPorts(PortOut32Function portOut32, PortIn32Function portIn32, unsigned bus,
                            unsigned device, unsigned function, unsigned reg);
