#pragma once

#include <QByteArray>

// The byte that ends every message on the wire, written out so tests do not take it from
// the code under test.
inline const QByteArray FF(1, char(0xFF));
