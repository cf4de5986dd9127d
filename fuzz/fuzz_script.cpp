// Parses arbitrary bytes as a session script: no crash, and whatever is
// reported quotes the script without a byte a terminal would act on.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pavohost;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        for (const TScriptCommand& c : ParseScript(text)) {
            if (FirstInvalidUtf8(c.Name) != std::string::npos) std::abort();
            for (const TScriptWord& w : c.Args)
                if (FirstInvalidUtf8(w.Text) != std::string::npos) std::abort();
        }
    } catch (const TScriptError& e) {
        const std::string message = e.what();
        if (FirstInvalidUtf8(message) != std::string::npos) std::abort();
        for (const char c : message)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F) std::abort();
        if (e.Line < 1 || e.Column < 1) std::abort();
    }
    ParseDuration(text);
    return 0;
}
