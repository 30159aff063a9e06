#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace jpeg {

// Pictures beyond this in either direction are refused before any pixel memory is taken.
inline constexpr int maxSide = 4096;

// Decodes a baseline or progressive JPEG held in memory with libjpeg. Grey and colour
// pictures come back as RGB888; on failure a null image, with the reason in `error`.
QImage decode(const QByteArray& data, QString* error = nullptr);

} // namespace jpeg
