#pragma once
// The normaliser's rule list run literally, one global replacement after another: the yardstick the fast
// NormaliseCodeText is checked and timed against.

#include <QString>

QString ReferenceNormaliseCodeText(const QString &text);
