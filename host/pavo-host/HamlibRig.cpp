#include "HamlibRig.h"

#include <hamlib/rig.h>
#include <pthread.h>

#include <csignal>
#include <memory>
#include <stdexcept>

namespace pavohost {
namespace {

using TClock = std::chrono::steady_clock;

std::string ErrorText(int code) {
    // rigerror adds Hamlib's recent trace; the message alone is enough here.
    std::string text = rigerror2(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

// Errors that mean the rig is gone, not that it lacks a feature.
bool LinkLost(int code) {
    switch (-code) {
        case RIG_EIO:
        case RIG_ETIMEOUT:
        case RIG_EPROTO:
        case RIG_BUSERROR:
        case RIG_BUSBUSY:
        case RIG_ECONF:
        case RIG_EINTERNAL: return true;
        default: return false;
    }
}

struct TRigCleanup {
    void operator()(RIG* rig) const { rig_cleanup(rig); }
};

// One open link to the rig; closed when it goes.
class TLink {
public:
    TLink(int model, const std::string& port, const TRigTiming& timing, std::string& error) {
        rig_.reset(rig_init(static_cast<rig_model_t>(model)));
        if (!rig_) {
            error = "Hamlib knows no rig model " + std::to_string(model);
            return;
        }
        if (!port.empty()) Conf("rig_pathname", port);
        // The dummy rig keys through CAT only when told so, as a real CAT rig does.
        if (model == THamlibRig::kDummyModel) Conf("ptt_type", "RIG");
        Conf("timeout", std::to_string(timing.Timeout.count()));
        Conf("retry", "0");
        const int status = rig_open(rig_.get());
        if (status != RIG_OK) {
            error = ErrorText(status);
            return;
        }
        open_ = true;
    }
    ~TLink() {
        if (open_) rig_close(rig_.get());
    }
    TLink(const TLink&) = delete;
    TLink& operator=(const TLink&) = delete;
    bool Open() const { return open_; }
    RIG* Rig() const { return rig_.get(); }

private:
    void Conf(const char* name, const std::string& value) {
        const token_t token = rig_token_lookup(rig_.get(), name);
        if (token != RIG_CONF_END) rig_set_conf(rig_.get(), token, value.c_str());
    }
    std::unique_ptr<RIG, TRigCleanup> rig_;
    bool open_ = false;
};

}  // namespace

bool UpperSidebandOfMode(const std::string& mode) {
    for (const char* lower : {"LSB", "PKTLSB", "ECSSLSB", "SAL", "ISBLSB"})
        if (mode == lower) return false;
    return true;
}

THamlibRig::THamlibRig(int model, std::string port, TRigTiming timing)
    : model_(model), port_(std::move(port)), timing_(timing) {
    // Hamlib's own tracing would fill the operator's terminal.
    rig_set_debug(RIG_DEBUG_NONE);
    std::unique_ptr<RIG, TRigCleanup> probe(rig_init(static_cast<rig_model_t>(model)));
    if (!probe) throw std::invalid_argument("Hamlib knows no rig model " + std::to_string(model) + " (see rigctl -l)");
    thread_ = std::thread([this] { Run(); });
}

THamlibRig::~THamlibRig() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

std::string THamlibRig::Description() const {
    std::string text = "Hamlib model " + std::to_string(model_);
    if (model_ == kDummyModel) text += " (dummy rig)";
    if (model_ == kRigctldModel) text += " (rigctld)";
    if (!port_.empty()) text += " at " + port_;
    return text;
}

void THamlibRig::Queue(TCommand command) {
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(command);
    }
    wake_.notify_all();
}

void THamlibRig::SetPtt(bool on) { Queue({TCommand::TKind::Ptt, on ? 1 : 0}); }
void THamlibRig::SetFrequency(std::int64_t hz) { Queue({TCommand::TKind::Frequency, hz}); }
void THamlibRig::SetUpperSideband(bool upper) { Queue({TCommand::TKind::Sideband, upper ? 1 : 0}); }
void THamlibRig::SetPower(bool on) { Queue({TCommand::TKind::Power, on ? 1 : 0}); }

void THamlibRig::Report(const TRigStatus& status) {
    {
        std::lock_guard lock(mutex_);
        // A slow UI thread gets the changes, not an ever longer queue.
        if (reports_.size() >= 64) reports_.pop_front();
        reports_.push_back(status);
        anyReport_ = true;
    }
    reported_.notify_all();
}

void THamlibRig::Deliver() {
    std::deque<TRigStatus> reports;
    {
        std::lock_guard lock(mutex_);
        reports.swap(reports_);
    }
    for (const TRigStatus& status : reports)
        if (OnStatus) OnStatus(status);
}

bool THamlibRig::WaitForFirstReport(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return reported_.wait_for(lock, limit, [this] { return anyReport_; });
}

void THamlibRig::Run() {
    // A rigctld that went away must fail the write, not end the process.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    std::unique_ptr<TLink> link;
    TRigStatus last;  // as last reported
    bool reportedOnce = false;
    bool powered = true, ptt = false;
    TClock::time_point nextAttempt = TClock::now();

    auto report = [&](const TRigStatus& status) {
        if (reportedOnce && status == last) return;
        last = status;
        reportedOnce = true;
        Report(status);
    };
    auto lose = [&](const std::string& why) {
        link.reset();
        TRigStatus lost;
        lost.Error = why;
        report(lost);
        nextAttempt = TClock::now() + timing_.Retry;
    };

    for (;;) {
        std::deque<TCommand> commands;
        bool stopping = false;
        {
            std::unique_lock lock(mutex_);
            stopping = stop_;
            commands.swap(commands_);
        }
        for (const TCommand& c : commands) {
            int status = RIG_OK;
            switch (c.Kind) {
                case TCommand::TKind::Power:
                    powered = c.Value != 0;
                    if (!powered) {
                        link.reset();
                        TRigStatus off;
                        off.Error = "the host closed the link to the rig";
                        report(off);
                    } else {
                        nextAttempt = TClock::now();
                    }
                    break;
                case TCommand::TKind::Ptt:
                    ptt = c.Value != 0;
                    if (link) status = rig_set_ptt(link->Rig(), RIG_VFO_CURR, ptt ? RIG_PTT_ON : RIG_PTT_OFF);
                    break;
                case TCommand::TKind::Frequency:
                    if (link) status = rig_set_freq(link->Rig(), RIG_VFO_CURR, static_cast<freq_t>(c.Value));
                    break;
                case TCommand::TKind::Sideband:
                    if (link)
                        status = rig_set_mode(link->Rig(), RIG_VFO_CURR, c.Value != 0 ? RIG_MODE_USB : RIG_MODE_LSB,
                                              RIG_PASSBAND_NOCHANGE);
                    break;
            }
            if (status != RIG_OK && LinkLost(status)) lose(ErrorText(status));
        }
        if (stopping) {
            // Never leave the transmitter keyed behind.
            if (link && ptt) rig_set_ptt(link->Rig(), RIG_VFO_CURR, RIG_PTT_OFF);
            break;
        }

        if (powered && !link && TClock::now() >= nextAttempt) {
            std::string error;
            auto attempt = std::make_unique<TLink>(model_, port_, timing_, error);
            if (attempt->Open()) {
                link = std::move(attempt);
                // A transmission under way goes on after the rig comes back.
                if (ptt) rig_set_ptt(link->Rig(), RIG_VFO_CURR, RIG_PTT_ON);
            } else {
                lose(error);
            }
        }

        if (link) {
            TRigStatus now;
            freq_t hz = 0;
            const int status = rig_get_freq(link->Rig(), RIG_VFO_CURR, &hz);
            if (status != RIG_OK) {
                lose(ErrorText(status));
            } else {
                now.Connected = true;
                now.DialHz = hz > 0 ? static_cast<std::int64_t>(hz + 0.5) : 0;
                rmode_t mode = RIG_MODE_NONE;
                pbwidth_t width = 0;
                const int modeStatus = rig_get_mode(link->Rig(), RIG_VFO_CURR, &mode, &width);
                if (modeStatus == RIG_OK) {
                    now.Mode = rig_strrmode(mode);
                    now.Upper = UpperSidebandOfMode(now.Mode);
                } else if (LinkLost(modeStatus)) {
                    lose(ErrorText(modeStatus));
                }
                ptt_t keyed = RIG_PTT_OFF;
                const int pttStatus = link ? rig_get_ptt(link->Rig(), RIG_VFO_CURR, &keyed) : RIG_OK;
                if (pttStatus == RIG_OK) now.Ptt = keyed != RIG_PTT_OFF;
                else if (LinkLost(pttStatus)) lose(ErrorText(pttStatus));
                if (link) report(now);
            }
        }

        std::unique_lock lock(mutex_);
        const auto until = link ? TClock::now() + timing_.Poll : (powered ? nextAttempt : TClock::time_point::max());
        const auto ready = [this] { return stop_ || !commands_.empty(); };
        if (until == TClock::time_point::max()) wake_.wait(lock, ready);
        else wake_.wait_until(lock, until, ready);
    }
}

}  // namespace pavohost
