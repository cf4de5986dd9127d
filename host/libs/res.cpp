// res: the host's shared pictures. Resource 102 is the sound-setup picture: a
// tall bitmap for the side of the wizard and a 48 x 48 icon, both drawn here
// once on first use (a signal trace over a spectrum, in the host's blues).
#define PAVO_HOSTLIBS_BUILD
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "pavo/hostlibs.h"

namespace {

struct TRgba {
    std::uint8_t r, g, b, a;
};

class TCanvas {
public:
    TCanvas(int w, int h) : w_(w), h_(h), px_(static_cast<std::size_t>(w * h), TRgba{0, 0, 0, 0}) {}
    int Width() const { return w_; }
    int Height() const { return h_; }
    TRgba& At(int x, int y) { return px_[static_cast<std::size_t>(y * w_ + x)]; }
    void Put(int x, int y, TRgba c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) At(x, y) = c;
    }

private:
    int w_, h_;
    std::vector<TRgba> px_;
};

std::uint8_t Mix(int a, int b, double t) { return static_cast<std::uint8_t>(std::lround(a + (b - a) * t)); }

void DrawTrace(TCanvas& c, double cycles, double amplitude, int thickness, TRgba colour) {
    const double mid = c.Height() / 2.0;
    for (int x = 0; x < c.Width(); ++x) {
        const double t = static_cast<double>(x) / c.Width();
        const double envelope = std::sin(t * 3.14159265358979);
        const int y = static_cast<int>(std::lround(mid - amplitude * envelope * std::sin(t * cycles * 6.28318530717959)));
        for (int d = -thickness / 2; d <= thickness / 2; ++d) c.Put(x, y + d, colour);
    }
}

TCanvas WizardPicture() {
    TCanvas c(164, 314);
    for (int y = 0; y < c.Height(); ++y) {
        const double t = static_cast<double>(y) / (c.Height() - 1);
        for (int x = 0; x < c.Width(); ++x) c.At(x, y) = {Mix(16, 24, t), Mix(40, 120, t), Mix(96, 160, t), 255};
    }
    // Spectrum bars along the bottom.
    for (int bar = 0; bar < 16; ++bar) {
        const double level = 0.25 + 0.75 * std::fabs(std::sin(bar * 0.9 + 0.4)) * (bar % 5 == 3 ? 1.0 : 0.6);
        const int top = c.Height() - 8 - static_cast<int>(level * 90);
        for (int y = top; y < c.Height() - 8; ++y)
            for (int x = 6 + bar * 10; x < 6 + bar * 10 + 7; ++x) c.Put(x, y, {120, 220, 200, 255});
    }
    DrawTrace(c, 6.0, 60.0, 3, {250, 230, 120, 255});
    return c;
}

TCanvas IconPicture() {
    TCanvas c(48, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const double dx = x - 23.5, dy = y - 23.5;
            if (dx * dx + dy * dy <= 23.0 * 23.0) c.At(x, y) = {24, 80, 150, 255};
        }
    DrawTrace(c, 3.0, 14.0, 3, {250, 230, 120, 255});
    // The trace may leave the disc at its ends: keep only what lies on it.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const double dx = x - 23.5, dy = y - 23.5;
            if (dx * dx + dy * dy > 23.0 * 23.0) c.At(x, y) = {0, 0, 0, 0};
        }
    return c;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// BITMAPINFOHEADER; height is doubled inside icons (picture plus mask).
void PutInfoHeader(std::vector<std::uint8_t>& out, int w, int h, int bits, std::uint32_t imageSize) {
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, 0);  // uncompressed
    Put32(out, imageSize);
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

std::vector<std::uint8_t> BmpFile(TCanvas c) {
    const int stride = (c.Width() * 3 + 3) & ~3;
    const auto imageSize = static_cast<std::uint32_t>(stride * c.Height());
    std::vector<std::uint8_t> out{'B', 'M'};
    Put32(out, 14 + 40 + imageSize);
    Put32(out, 0);
    Put32(out, 14 + 40);
    PutInfoHeader(out, c.Width(), c.Height(), 24, imageSize);
    for (int y = c.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < c.Width(); ++x) {
            const TRgba p = c.At(x, y);
            out.insert(out.end(), {p.b, p.g, p.r});
        }
        out.resize(out.size() + static_cast<std::size_t>(stride - c.Width() * 3), 0);
    }
    return out;
}

std::vector<std::uint8_t> IcoFile(TCanvas c) {
    const int maskStride = ((c.Width() + 31) / 32) * 4;
    const auto pixels = static_cast<std::uint32_t>(c.Width() * c.Height() * 4);
    const auto mask = static_cast<std::uint32_t>(maskStride * c.Height());
    const std::uint32_t image = 40 + pixels + mask;
    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // icon
    Put16(out, 1);  // one image
    out.push_back(static_cast<std::uint8_t>(c.Width()));
    out.push_back(static_cast<std::uint8_t>(c.Height()));
    out.push_back(0);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, image);
    Put32(out, 6 + 16);
    PutInfoHeader(out, c.Width(), c.Height() * 2, 32, pixels + mask);
    for (int y = c.Height() - 1; y >= 0; --y)
        for (int x = 0; x < c.Width(); ++x) {
            const TRgba p = c.At(x, y);
            out.insert(out.end(), {p.b, p.g, p.r, p.a});
        }
    for (int y = c.Height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < c.Width(); ++x)
            if (c.At(x, y).a == 0) row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

const std::vector<std::uint8_t>& Bitmap102() {
    static const std::vector<std::uint8_t> data = BmpFile(WizardPicture());
    return data;
}

const std::vector<std::uint8_t>& Icon102() {
    static const std::vector<std::uint8_t> data = IcoFile(IconPicture());
    return data;
}

}  // namespace

extern "C" {

PAVO_HOSTLIB_API const uint8_t* PAVO_CALL resFindResource(int32_t type, const char* name, uint32_t* size) {
    if (name == nullptr || std::string_view(name) != "#102") return nullptr;
    const std::vector<std::uint8_t>* data = nullptr;
    if (type == PAVO_RES_BITMAP) data = &Bitmap102();
    else if (type == PAVO_RES_GROUP_ICON) data = &Icon102();
    if (data == nullptr) return nullptr;
    if (size != nullptr) *size = static_cast<uint32_t>(data->size());
    return data->data();
}
}
