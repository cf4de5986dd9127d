#pragma once
// Pictures of the window: bitmaps, the 16 x 16 image list of the toolbars and
// the image module that fills it from the host's theme strip or from the
// built-in strip, and the smiley of the receive panes.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// Pixels as 0xAARRGGBB, rows top to bottom.
struct TBitmap {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;
    std::uint32_t Pixel(int x, int y) const {
        return Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width) + static_cast<std::size_t>(x)];
    }
    bool Empty() const { return Width == 0 || Height == 0; }
};

// A bitmap file (BMP); nothing when it is missing, unreadable, malformed or
// larger than the limits below.
std::optional<TBitmap> LoadBitmapFile(std::string_view path);
std::optional<TBitmap> DecodeBitmap(std::string_view bytes);
// The picture of an icon file (ICO) closest to size x size; nothing when the
// file is malformed.
std::optional<TBitmap> DecodeIcon(std::string_view bytes, int size);
constexpr std::uintmax_t kMaxBitmapFileSize = 16u * 1024 * 1024;
constexpr int kMaxBitmapSide = 8192;

class TImageList {
public:
    static constexpr int Size = 16;
    int Count() const { return static_cast<int>(images_.size()); }
    const TBitmap& Image(int index) const { return images_.at(static_cast<std::size_t>(index)); }
    void Clear() { images_.clear(); }
    // Cuts the strip into 16 x 16 images, left to right; pixels of the
    // transparent colour become fully transparent.
    void AddMasked(const TBitmap& strip, std::uint32_t transparent);

private:
    std::vector<TBitmap> images_;
};

// The module's own pictures.
TBitmap BuiltInImageStrip();
TBitmap SmileyBitmap();  // bitmap resource 101: 16 x 16

// The toolbar images of the window, following the host's image style.
class TImagesModule {
public:
    TImageList Images;
    // Rebuilds the list when the style differs from the one last applied:
    // from the theme strip file when it loads, else from the built-in strip,
    // with the colour of pixel (0, 0) as transparent. True when rebuilt.
    bool ApplyStyle(const std::string& style, const std::string& themeFile);
    const std::optional<std::string>& AppliedStyle() const { return applied_; }
    bool FromThemeFile() const { return fromTheme_; }
    // Told after every rebuild (a view redraws its buttons' images).
    void Observe(std::function<void()> changed) { changed_ = std::move(changed); }

private:
    std::optional<std::string> applied_;
    bool fromTheme_ = false;
    std::function<void()> changed_;
};

}  // namespace quorvel
