// Decodes arbitrary bytes as a theme image strip and as an icon: no crash,
// and a decoded image is as large as it says.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/Images.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorvel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const auto& image : {DecodeBitmap(bytes), DecodeIcon(bytes, 16)}) {
        if (!image) continue;
        if (image->Width <= 0 || image->Height <= 0 || image->Width > kMaxBitmapSide || image->Height > kMaxBitmapSide)
            std::abort();
        if (image->Pixels.size() != static_cast<std::size_t>(image->Width) * static_cast<std::size_t>(image->Height))
            std::abort();
    }
    return 0;
}
