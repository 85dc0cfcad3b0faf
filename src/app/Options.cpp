#include "app/Options.h"

short HideNumbering = 0;
bool UseBrowserEngine = true;
