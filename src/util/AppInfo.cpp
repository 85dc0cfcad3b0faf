#include "util/AppInfo.h"
