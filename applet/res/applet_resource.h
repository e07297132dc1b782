// Resource ids of Pendry.cpl, shared by the resource script and the C++ code.
#ifndef PENDRY_RESOURCE_H
#define PENDRY_RESOURCE_H

#define IDI_APPLET              102     // the item's icon: one 40 x 41 image, 256 colours
#define IDS_APPLET_NAME         104
#define IDS_APPLET_INFO         105

#endif
