// Resource ids of Pendry.cpl, shared by the resource script and the C++ code.
#ifndef PENDRY_RESOURCE_H
#define PENDRY_RESOURCE_H

#define IDI_APPLET              102     // the item's icon: 40 x 41 at 256 colours, 32 x 32 and 16 x 16
#define IDS_APPLET_NAME         104
#define IDS_APPLET_INFO         105
// The item's description: the Control Panel's text of the item, and the file's description.
#define APPLET_INFO_TEXT        "Quenley Zentaro Control Pannel(Tavish)"

#endif
