#include <windows.h>

#include "card_probe.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CardProbeResult card = CardProbe(CardProbeMode::FirstMatch);
    MessageBoxA(nullptr, card.found ? card.portText : "no card", "Orrivan", MB_OK);
    return 0;
}
