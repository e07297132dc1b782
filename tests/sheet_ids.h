// Ids of the buttons a property sheet makes itself: the platform's headers name OK and Cancel only.
#pragma once

const int SheetApplyButton = 0x3021;  // comctl32's own id of the Apply button
