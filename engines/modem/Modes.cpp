#include "Modes.h"

#include <stdexcept>

#include "fsk/Fsk.h"
#include "mfsk/Mfsk.h"
#include "psk/Psk.h"
#include "rtty/Rtty.h"

namespace quorvel::modem {

int ModeIndex(std::string_view name) {
    for (std::size_t i = 0; i < kModes.size(); ++i)
        if (kModes[i].name == name) return static_cast<int>(i);
    return -1;
}

ModemSettings SettingsFor(int mode, double sampleRate, double carrier, double baud) {
    ModemSettings s;
    s.sampleRate = sampleRate;
    s.carrier = carrier;
    s.baud = baud;
    if (mode >= 0 && static_cast<std::size_t>(mode) < kModes.size()) s.sideband = kModes[static_cast<std::size_t>(mode)].sideband;
    return s;
}

std::unique_ptr<IModulator> MakeModulator(int mode, const ModemSettings& settings) {
    switch (static_cast<ModeId>(mode)) {
        case ModeId::Bpsk: return MakePskModulator(settings, PskKind::Bpsk, TVaricode::Standard());
        case ModeId::BpskRu: return MakePskModulator(settings, PskKind::Bpsk, TVaricode::Extended());
        case ModeId::QpskL:
        case ModeId::QpskU: return MakePskModulator(settings, PskKind::Qpsk, TVaricode::Standard());
        case ModeId::RttyL:
        case ModeId::RttyU: return MakeRttyModulator(settings);
        case ModeId::Gmsk: return MakeFskModulator(settings, kGmsk);
        case ModeId::Fsk: return MakeFskModulator(settings, kFsk);
        case ModeId::FskW: return MakeFskModulator(settings, kFskWide);
        case ModeId::MfskL:
        case ModeId::MfskU:
            // A speed whose 16 tones do not fit the sample rate has no modem.
            try {
                return MakeMfskModulator(settings);
            } catch (const std::invalid_argument&) {
                return nullptr;
            }
        default: return nullptr;
    }
}

std::unique_ptr<IDemodulator> MakeDemodulator(int mode, const ModemSettings& settings) {
    switch (static_cast<ModeId>(mode)) {
        case ModeId::Bpsk: return MakePskDemodulator(settings, PskKind::Bpsk, TVaricode::Standard());
        case ModeId::BpskRu: return MakePskDemodulator(settings, PskKind::Bpsk, TVaricode::Extended());
        case ModeId::QpskL:
        case ModeId::QpskU: return MakePskDemodulator(settings, PskKind::Qpsk, TVaricode::Standard());
        case ModeId::RttyL:
        case ModeId::RttyU: return MakeRttyDemodulator(settings);
        case ModeId::Gmsk: return MakeFskDemodulator(settings, kGmsk);
        case ModeId::Fsk: return MakeFskDemodulator(settings, kFsk);
        case ModeId::FskW: return MakeFskDemodulator(settings, kFskWide);
        case ModeId::MfskL:
        case ModeId::MfskU:
            try {
                return MakeMfskDemodulator(settings);
            } catch (const std::invalid_argument&) {
                return nullptr;
            }
        default: return nullptr;
    }
}

}  // namespace quorvel::modem
