#pragma once
// A real rig through Hamlib: a serial CAT rig, Hamlib's dummy rig (model 1)
// or a rigctld shared with other programs (model 2, port "host:port").
//
// Every Hamlib call runs on the rig's own thread: it opens the rig, polls its
// dial, mode and PTT a few times a second, carries out the host's commands and,
// when the rig stops answering, reports so and tries again. Its reports wait
// in a queue until the UI thread calls Deliver, so the UI thread never waits
// for the rig.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "RigPort.h"

namespace pavohost {

// Hamlib's mode names and the sideband the host reports for them: LSB, PKTLSB
// and the other lower-sideband modes are lower; USB, PKTUSB and every other
// mode (CW, RTTY, AM, FM, ...) are upper, so the plug-in counts its audio
// tones above the dial.
bool UpperSidebandOfMode(const std::string& hamlibMode);

struct TRigTiming {
    std::chrono::milliseconds Poll{250};      // between two polls of a rig that answers
    std::chrono::milliseconds Retry{1000};    // between two attempts to reach one that does not
    std::chrono::milliseconds Timeout{400};   // for one answer
};

class THamlibRig final : public IRigPort {
public:
    static constexpr int kDummyModel = 1;
    static constexpr int kRigctldModel = 2;

    // Throws std::invalid_argument for a model Hamlib does not know. port:
    // the serial device or "host:port"; empty keeps Hamlib's default.
    THamlibRig(int model, std::string port, TRigTiming timing = {});
    ~THamlibRig() override;
    THamlibRig(const THamlibRig&) = delete;
    THamlibRig& operator=(const THamlibRig&) = delete;

    std::string Description() const override;
    void SetPtt(bool on) override;
    void SetFrequency(std::int64_t hz) override;
    void SetUpperSideband(bool upper) override;
    void SetPower(bool on) override;
    void Deliver() override;
    bool Polled() const override { return true; }
    TRigStatus Known() const override {
        TRigStatus s;
        s.Error = "not reached yet";
        return s;
    }

    // Start-up only: waits until the rig has answered or failed once.
    bool WaitForFirstReport(std::chrono::milliseconds limit);

private:
    struct TCommand {
        enum class TKind { Ptt, Frequency, Sideband, Power } Kind;
        std::int64_t Value;
    };
    void Queue(TCommand command);
    void Report(const TRigStatus& status);
    void Run();

    const int model_;
    const std::string port_;
    const TRigTiming timing_;
    std::mutex mutex_;
    std::condition_variable wake_;       // commands or the end, for the rig thread
    std::condition_variable reported_;   // the first report, for WaitForFirstReport
    std::deque<TCommand> commands_;
    std::deque<TRigStatus> reports_;
    bool anyReport_ = false;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace pavohost
