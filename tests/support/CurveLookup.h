#include "GuiDriver.h"
