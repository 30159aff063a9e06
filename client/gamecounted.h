#pragma once

#include <QString>

// The winner a counted game names when the user won: the main window sends it with each
// counted game, and the tally counts it as the user's win.
inline const QString userWonGame = QStringLiteral("addtomine");
