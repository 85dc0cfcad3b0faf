#pragma once
// SQLCipher's C API. The key functions are declared only when the codec is announced.

#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlcipher/sqlite3.h>
