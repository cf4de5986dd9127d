#include "QtIcons.h"

#include <QImage>

namespace quorvel::qt {

QPixmap ToPixmap(const TBitmap& bitmap) {
    QImage image(bitmap.Width, bitmap.Height, QImage::Format_ARGB32);
    for (int y = 0; y < bitmap.Height; ++y)
        for (int x = 0; x < bitmap.Width; ++x) image.setPixel(x, y, bitmap.Pixel(x, y));
    return QPixmap::fromImage(image);
}

QIcon TQtIcons::Icon(const TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    const auto view = std::tie(bitmap.Width, bitmap.Height, bitmap.Pixels);
    if (auto it = icons_.find(view); it != icons_.end()) return it->second;
    if (icons_.size() >= kMaxIcons) icons_.clear();
    QIcon icon(ToPixmap(bitmap));
    icons_.emplace(Key{bitmap.Width, bitmap.Height, bitmap.Pixels}, icon);
    return icon;
}

}  // namespace quorvel::qt
