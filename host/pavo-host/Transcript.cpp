#include "Transcript.h"

#include <cstdio>
#include <ostream>

namespace pavohost {

std::string TTranscript::Stamp() const {
    const std::int64_t ms = clock_ != nullptr ? clock_->Now() : 0;
    char text[32];
    const long long minutes = ms / 60000, seconds = (ms / 1000) % 60, millis = ms % 1000;
    std::snprintf(text, sizeof text, "[%02lld:%02lld.%03lld]", minutes, seconds, millis);
    return text;
}

// Each line goes out whole at once: someone may be watching a live session.
void TTranscript::HostEvent(const std::string& source, const std::string& utf8) {
    out_ << Stamp() << ' ' << source << ": " << utf8 << std::endl;
}

void TTranscript::Line(const std::string& utf8) { out_ << utf8 << std::endl; }

}  // namespace pavohost
