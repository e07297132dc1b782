// The panel program's one application object; the framework's WinMain runs it.
#include "panel_app.h"

CPanelApp theApp;
