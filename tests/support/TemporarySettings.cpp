#include "TemporarySettings.h"
