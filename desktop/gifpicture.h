#pragma once

// The calculator body is a GIF picture. Qt reads GIF files through a plug-in, and finding and
// loading the image plug-ins costs the start-up more than the picture itself; the body is one
// small still picture, so it is read here instead.

#include <QByteArrayView>
#include <QImage>

namespace desktop {

// The first image of a GIF file (87a or 89a), opaque, in the screen's native 32-bit format.
// A null image when the data is not a GIF this reader understands (interlaced images, or data
// cut short): the caller then falls back on Qt's own reader.
QImage readGifPicture(QByteArrayView data);

} // namespace desktop
