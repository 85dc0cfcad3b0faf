#include "app/Options.h"

short HideNumbering = 0;
