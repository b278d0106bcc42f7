#include "dcPaneHooks.h"

dcTreePane_t* theTreePane = nullptr;
dcViewerPane_t* theViewerPane = nullptr;
