#pragma once
// The icons of the form's bitmaps. Qt caches what it draws of an icon (its
// scaled and disabled pixmaps) under the pixmap's identity, so a new QIcon
// for the same picture each time a window opens, or an action syncs, adds
// entries that are never found again. Kept here, the same picture is the
// same QIcon for as long as the views' module is loaded.
#include <QIcon>
#include <QPixmap>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "ui/Images.h"

namespace quorvel::qt {

QPixmap ToPixmap(const TBitmap& bitmap);

class TQtIcons {
public:
    // Only from the UI thread.
    QIcon Icon(const TBitmap& bitmap);
    std::size_t Count() const { return icons_.size(); }

    // Far more pictures than any set of toolbar images: start over.
    static constexpr std::size_t kMaxIcons = 4096;

private:
    using Key = std::tuple<int, int, std::vector<std::uint32_t>>;
    std::map<Key, QIcon, std::less<>> icons_;
};

}  // namespace quorvel::qt
