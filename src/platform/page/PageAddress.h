#pragma once
// What a page address names, for both page engines.

#include <QString>

// True for an address that begins with "http://" or "https://", letter case ignored.
bool isHttpAddress(const QString &address);

// The native path a page address names on this machine, or empty when it names none. A "file:" address
// is taken literally first ("file://" + native path is the form the engines report; a file name may hold
// "%" or "#"), then decoded; any other scheme names no file; a plain path is made absolute.
QString localPathOf(const QString &address);
