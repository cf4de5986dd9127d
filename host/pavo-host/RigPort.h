#pragma once
// The rig behind the host's transceiver interface: the simulated rig of the
// demo and the tests, or a real one through Hamlib. Commands never block the
// caller; what the rig reports arrives through OnStatus on the UI thread.
#include <cstdint>
#include <functional>
#include <string>

namespace pavohost {

struct TRigStatus {
    bool Connected = false;
    std::int64_t DialHz = 0;  // 0 = unknown
    bool Upper = true;        // the sideband of the rig's mode
    std::string Mode;         // the rig's own name for it ("USB", "PKTLSB")
    bool Ptt = false;         // as the rig reports it
    std::string Error;        // why it is not connected
    bool operator==(const TRigStatus&) const = default;
};

// Which rig the host drives: model 0 is the simulated rig, any other a
// Hamlib model (1 its dummy rig, 2 a rigctld) on the port given.
struct TRigChoice {
    int Model = 0;
    std::string Port;
};

class IRigPort {
public:
    virtual ~IRigPort() = default;
    // For the operator: "simulated", "Hamlib model 2 at 127.0.0.1:4532".
    virtual std::string Description() const = 0;
    virtual void SetPtt(bool on) = 0;
    virtual void SetFrequency(std::int64_t hz) = 0;
    // The mode switch: USB or LSB.
    virtual void SetUpperSideband(bool upper) = 0;
    // The power switch of the simulated rig; a real rig's link is closed and
    // opened again.
    virtual void SetPower(bool on) = 0;
    // The UI thread picks up what the rig reported since the last call.
    virtual void Deliver() {}
    // Does the rig report from a thread of its own (so the host must call Deliver)?
    virtual bool Polled() const { return false; }
    // What is known of the rig before its first report.
    virtual TRigStatus Known() const { return {}; }

    std::function<void(const TRigStatus&)> OnStatus;
};

// A rig without hardware: it does what it is told at once and reports it.
class TSimulatedRig final : public IRigPort {
public:
    TSimulatedRig() {
        status_.Connected = true;
        status_.DialHz = 14070000;
        status_.Mode = "USB";
    }
    std::string Description() const override { return "simulated"; }
    void SetPtt(bool on) override { Change([&](TRigStatus& s) { s.Ptt = on; }); }
    void SetFrequency(std::int64_t hz) override { Change([&](TRigStatus& s) { s.DialHz = hz; }); }
    void SetUpperSideband(bool upper) override {
        Change([&](TRigStatus& s) {
            s.Upper = upper;
            s.Mode = upper ? "USB" : "LSB";
        });
    }
    void SetPower(bool on) override {
        Change([&](TRigStatus& s) {
            s.Connected = on;
            if (!on) s.Ptt = false;
            s.Error = on ? "" : "the rig is off";
        });
    }
    TRigStatus Known() const override { return status_; }

private:
    template <class F>
    void Change(F f) {
        f(status_);
        if (OnStatus) OnStatus(status_);
    }
    TRigStatus status_;
};

}  // namespace pavohost
