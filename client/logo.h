#pragma once

#include <QPixmap>

// The product's logo, 211 by 53, drawn at the given device pixel ratio so it stays crisp.
QPixmap quorvelLogo(qreal devicePixelRatio = 1.0);
