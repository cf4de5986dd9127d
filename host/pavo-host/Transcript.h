#pragma once
// The session's transcript: what the host, the plug-in and the operator do,
// one line each, stamped with the virtual clock.
#include <iosfwd>
#include <string>

#include "ports/Dispatcher.h"
#include "Host.h"

namespace pavohost {

// Prints "[mm:ss.mmm] source: text" lines on the virtual clock.
class TTranscript final : public IHostEvents {
public:
    explicit TTranscript(std::ostream& out) : out_(out) {}
    void SetClock(const quorvel::IDispatcher* clock) { clock_ = clock; }
    void HostEvent(const std::string& source, const std::string& utf8) override;
    void Line(const std::string& utf8);  // without a time
    std::string Stamp() const;

private:
    std::ostream& out_;
    const quorvel::IDispatcher* clock_ = nullptr;
};

}  // namespace pavohost
