#include "ui/Images.h"

#include <array>

#include "base/Files.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_HDR
#define STBI_NO_LINEAR
#define STBI_ASSERT(x) static_cast<void>(0)
#define STBI_MAX_DIMENSIONS 8192
#include <stb/stb_image.h>

namespace quorvel {

std::optional<TBitmap> DecodeBitmap(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > kMaxBitmapFileSize) return std::nullopt;
    int w = 0, h = 0, channels = 0;
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    stbi_uc* pixels = stbi_load_from_memory(data, static_cast<int>(bytes.size()), &w, &h, &channels, 4);
    if (pixels == nullptr) return std::nullopt;
    TBitmap bmp;
    if (w > 0 && h > 0 && w <= kMaxBitmapSide && h <= kMaxBitmapSide) {
        bmp.Width = w;
        bmp.Height = h;
        const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        bmp.Pixels.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            const stbi_uc* p = pixels + i * 4;
            // A strip without alpha comes back opaque.
            bmp.Pixels[i] = (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
        }
    }
    stbi_image_free(pixels);
    if (bmp.Empty()) return std::nullopt;
    return bmp;
}

namespace {

std::uint32_t Le(std::string_view b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

void PutLe(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::optional<TBitmap> DecodeIcon(std::string_view bytes, int size) {
    if (bytes.size() < 6 || bytes.size() > kMaxBitmapFileSize || Le(bytes, 0, 2) != 0 || Le(bytes, 2, 2) != 1)
        return std::nullopt;
    const std::uint32_t count = Le(bytes, 4, 2);
    if (count == 0 || 6 + std::size_t{count} * 16 > bytes.size()) return std::nullopt;
    std::size_t best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + i * 16;
        const int w = bytes[entry] == 0 ? 256 : static_cast<unsigned char>(bytes[entry]);
        const int distance = w > size ? w - size : size - w;
        if (distance < bestDistance) best = i, bestDistance = distance;
    }
    const std::size_t entry = 6 + best * 16;
    const std::uint32_t length = Le(bytes, entry + 8, 4), offset = Le(bytes, entry + 12, 4);
    if (offset > bytes.size() || length > bytes.size() - offset || length < 40) return std::nullopt;
    const std::string_view image = bytes.substr(offset, length);
    if (image.substr(0, 4) == "\x89PNG") return DecodeBitmap(image);
    // A device-independent bitmap whose height counts the mask too: give it
    // a file header and its picture's own height.
    const std::uint32_t header = Le(image, 0, 4), bits = Le(image, 14, 2), used = Le(image, 32, 4);
    if (header < 40 || header > image.size()) return std::nullopt;
    const std::uint32_t palette = (used != 0 ? used : (bits <= 8 ? 1u << bits : 0u)) * 4;
    std::string file = "BM";
    PutLe(file, 14 + length, 4);
    PutLe(file, 0, 4);
    PutLe(file, 14 + header + palette, 4);
    file.append(image);
    const auto height = static_cast<std::int32_t>(Le(image, 8, 4));
    const std::uint32_t half = static_cast<std::uint32_t>(height / 2);
    for (int i = 0; i < 4; ++i) file[14 + 8 + static_cast<std::size_t>(i)] = static_cast<char>((half >> (8 * i)) & 0xFF);
    return DecodeBitmap(file);
}

std::optional<TBitmap> LoadBitmapFile(std::string_view path) {
    if (path.empty()) return std::nullopt;
    const auto bytes = ReadFileBytes(path, kMaxBitmapFileSize);
    if (!bytes) return std::nullopt;
    return DecodeBitmap(*bytes);
}

void TImageList::AddMasked(const TBitmap& strip, std::uint32_t transparent) {
    if (strip.Empty()) return;
    const int count = strip.Width / Size;
    for (int i = 0; i < count; ++i) {
        TBitmap image;
        image.Width = image.Height = Size;
        image.Pixels.assign(Size * Size, 0);
        for (int y = 0; y < Size && y < strip.Height; ++y)
            for (int x = 0; x < Size; ++x) {
                const std::uint32_t p = strip.Pixel(i * Size + x, y);
                image.Pixels[static_cast<std::size_t>(y * Size + x)] = p == transparent ? 0 : p;
            }
        images_.push_back(std::move(image));
    }
}

namespace {

// Pictures drawn as text: one character per pixel.
std::uint32_t PaletteColor(char c) {
    switch (c) {
        case 'k': return 0xFF000000;
        case 'w': return 0xFFFFFFFF;
        case 'G': return 0xFF808080;
        case 'l': return 0xFFC0C0C0;
        case 'r': return 0xFFD02020;
        case 'g': return 0xFF20A020;
        case 'b': return 0xFF2050C0;
        case 'y': return 0xFFFFE020;
        case 'o': return 0xFFE0A000;
        default: return 0xFFFF00FF;  // the transparent colour of the strip
    }
}

using TArt = std::array<const char*, 16>;

void Draw(TBitmap& bmp, int left, const TArt& art) {
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bmp.Pixels[static_cast<std::size_t>(y * bmp.Width + left + x)] = PaletteColor(art[static_cast<std::size_t>(y)][x]);
}

// Transmit, tone, open, save, help, options, clear, auto-scroll, save contact,
// cancel contact, send file, stop.
const std::array<TArt, 12> kStrip{{
    {"................", ".....rrrrrr.....", "...rrrrrrrrrr...", "..rrrrrrrrrrrr..", "..rrrrwwwwrrrr..",
     ".rrrrwwwwwwrrrr.", ".rrrrwwwwwwrrrr.", ".rrrrwwwwwwrrrr.", ".rrrrwwwwwwrrrr.", ".rrrrwwwwwwrrrr.",
     "..rrrrwwwwrrrr..", "..rrrrrrrrrrrr..", "...rrrrrrrrrr...", ".....rrrrrr.....", "................",
     "................"},
    {"................", "................", "...bb...........", "..b..b..........", ".b....b.........",
     ".b....b.........", "b......b......b.", "b......b......b.", ".......b......b.", "........b....b..",
     "........b....b..", ".........b..b...", "..........bb....", "................", "................",
     "................"},
    {"................", "................", ".oooo...........", "o....o..........", "o.....oooooooo..",
     "o.............o.", "o..kkkkkkkkkkkkk", "o.k...........k.", "o.k..........k..", "ok...........k..",
     "ok..........k...", "k...........k...", "kkkkkkkkkkkk....", "................", "................",
     "................"},
    {"................", ".bbbbbbbbbbbbb..", ".bb.wwwwwww.bbb.", ".bb.wwwwwww.bbb.", ".bb.wwwwwww.bbb.",
     ".bb.wwwwwww.bbb.", ".bb.........bbb.", ".bbbbbbbbbbbbbb.", ".bbbbbbbbbbbbbb.", ".bbbllllllllbbb.",
     ".bbbllGGllllbbb.", ".bbbllGGllllbbb.", ".bbbllGGllllbbb.", "..bbbbbbbbbbbbb.", "................",
     "................"},
    {"................", ".....bbbbbb.....", "....bb....bb....", "...bb......bb...", "...bb......bb...",
     "...........bb...", "..........bb....", ".........bb.....", "........bb......", "........bb......",
     "........bb......", "................", "........bb......", "........bb......", "................",
     "................"},
    {"................", ".......GG.......", "...G...GG...G...", "....GGGGGGGG....", "....GG....GG....",
     "...GG......GG...", ".GGGG..kk..GGGG.", ".GGGG..kk..GGGG.", "...GG......GG...", "....GG....GG....",
     "....GGGGGGGG....", "...G...GG...G...", ".......GG.......", "................", "................",
     "................"},
    {"................", "................", "..r..........r..", "...r........r...", "....r......r....",
     ".....r....r.....", "......r..r......", ".......rr.......", ".......rr.......", "......r..r......",
     ".....r....r.....", "....r......r....", "...r........r...", "..r..........r..", "................",
     "................"},
    {"................", ".......bb.......", ".......bb.......", ".......bb.......", ".......bb.......",
     ".......bb.......", ".......bb.......", ".......bb.......", "...bb..bb..bb...", "....bb.bb.bb....",
     ".....bbbbbb.....", "......bbbb......", ".......bb.......", "..bbbbbbbbbbbb..", "................",
     "................"},
    {"................", "................", "..............g.", ".............gg.", "............gg..",
     "...........gg...", "..........gg....", ".g.......gg.....", ".gg.....gg......", "..gg...gg.......",
     "...gg.gg........", "....ggg.........", ".....g..........", "................", "................",
     "................"},
    {"................", "................", "..rr........rr..", "...rr......rr...", "....rr....rr....",
     ".....rr..rr.....", "......rrrr......", ".......rr.......", "......rrrr......", ".....rr..rr.....",
     "....rr....rr....", "...rr......rr...", "..rr........rr..", "................", "................",
     "................"},
    {"................", "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwkkkkwkwk....", "..kwwwwwwkkkk...",
     "..kwkkkkkwwwk...", "..kwwwwwwwwwk...", "..kwkkkkkkkwk...", "..kwwwwwwwwwk.g.", "..kwkkkkkkkwkgg.",
     "..kwwwwwwwwwgggg", "..kwkkkkkkkwkgg.", "..kwwwwwwwwwk.g.", "..kkkkkkkkkkk...", "................",
     "................"},
    {"................", "................", "................", "...rrrrrrrrrr...", "...rrrrrrrrrr...",
     "...rrrrrrrrrr...", "...rrrrrrrrrr...", "...rrrrrrrrrr...", "...rrrrrrrrrr...", "...rrrrrrrrrr...",
     "...rrrrrrrrrr...", "...rrrrrrrrrr...", "...rrrrrrrrrr...", "................", "................",
     "................"},
}};

const TArt kSmiley{"................", ".....kkkkkk.....", "...kkyyyyyykk...", "..kyyyyyyyyyyk..",
                   ".kyyyyyyyyyyyyk.", ".kyyykyyyykyyyk.", "kyyyykyyyykyyyyk", "kyyyyyyyyyyyyyyk",
                   "kyyyyyyyyyyyyyyk", "kyykyyyyyyyykyyk", "kyyykyyyyyykyyyk", ".kyyykkkkkkyyyk.",
                   ".kyyyyyyyyyyyyk.", "..kyyyyyyyyyyk..", "...kkyyyyyykk...", ".....kkkkkk....."};

}  // namespace

TBitmap BuiltInImageStrip() {
    TBitmap bmp;
    bmp.Width = 16 * static_cast<int>(kStrip.size());
    bmp.Height = 16;
    bmp.Pixels.resize(static_cast<std::size_t>(bmp.Width * bmp.Height));
    for (std::size_t i = 0; i < kStrip.size(); ++i) Draw(bmp, static_cast<int>(i) * 16, kStrip[i]);
    return bmp;
}

TBitmap SmileyBitmap() {
    TBitmap bmp;
    bmp.Width = bmp.Height = 16;
    bmp.Pixels.resize(256);
    Draw(bmp, 0, kSmiley);
    // The corners belong to the text background, not to the face.
    for (auto& p : bmp.Pixels)
        if (p == PaletteColor('.')) p = 0;
    return bmp;
}

bool TImagesModule::ApplyStyle(const std::string& style, const std::string& themeFile) {
    if (applied_ && *applied_ == style) return false;
    std::optional<TBitmap> strip = LoadBitmapFile(themeFile);
    fromTheme_ = strip.has_value();
    if (!strip) strip = BuiltInImageStrip();
    Images.Clear();
    Images.AddMasked(*strip, strip->Pixel(0, 0));
    applied_ = style;
    if (changed_) changed_();
    return true;
}

}  // namespace quorvel
