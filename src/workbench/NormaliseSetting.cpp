#include "workbench/NormaliseSetting.h"

bool NormaliseIndents = false;
