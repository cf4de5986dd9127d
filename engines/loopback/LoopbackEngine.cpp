#include "LoopbackEngine.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/CodePage.h"

namespace quorvel {
namespace {

constexpr const char16_t* kModes[] = {u"GMSK",   u"FSK",    u"FSK-W",  u"BPSK",   u"bpsk",  u"rtty-L",
                                      u"rtty-U", u"mfsk-L", u"mfsk-U", u"qpsk-L", u"qpsk-U"};
constexpr std::int16_t kModeCount = static_cast<std::int16_t>(std::size(kModes));

}  // namespace

char16_t TLoopbackEngine::FromEngineCode(std::uint16_t wChar) {
    return wChar < 0x100 ? static_cast<char16_t>(Cp1251ToUnicode(static_cast<unsigned char>(wChar)))
                         : static_cast<char16_t>(wChar);
}

std::uint16_t TLoopbackEngine::ToEngineCode(char16_t c) {
    const char cp = UnicodeToCp1251(c);
    if (cp == '?' && c != u'?') return c;
    return static_cast<unsigned char>(cp);
}

void TLoopbackEngine::RaiseRxChar(std::int16_t ch, char16_t c) {
    if (events_) events_->OnRxChar(ch, std::u16string(1, c), ToEngineCode(c));
}

TLoopbackEngine::TLoopbackEngine(IDispatcher& dispatcher, TLoopbackRegistry* registry)
    : dispatcher_(dispatcher), registry_(registry) {
    if (registry_ != nullptr) {
        registry_->engines_.push_back(this);
        serial_ = ++registry_->created_;
    }
}

TLoopbackEngine::~TLoopbackEngine() {
    *alive_ = false;
    for (IDispatcher::TimerId id : timers_) dispatcher_.KillTimer(id);
    if (registry_ != nullptr) std::erase(registry_->engines_, this);
}

void TLoopbackEngine::set_wTxCarrier(std::uint16_t hz) {
    txCarrier_ = hz;
    if (net_) channels_[0].rxCarrier = hz;
}

void TLoopbackEngine::set_bNET(TOleBool value) { net_ = value ? OleTrue : OleFalse; }

std::int16_t TLoopbackEngine::wModeMax() const { return kModeCount; }

std::u16string TLoopbackEngine::ModeName(std::int16_t i) const {
    return i >= 0 && i < kModeCount ? std::u16string(kModes[i]) : std::u16string();
}

double TLoopbackEngine::Speed(std::int16_t ch) const { return Valid(ch) ? channels_[ch].speed : 0.0; }

void TLoopbackEngine::set_Speed(std::int16_t ch, double baud) {
    if (!Valid(ch) || !(baud > 0.0) || baud > 1000.0) return;
    channels_[ch].speed = baud;
    dispatcher_.Post([this, ch, baud, alive = alive_] {
        if (*alive && events_) events_->OnSpeed(ch, baud);
    });
}

std::uint16_t TLoopbackEngine::RxCarrier(std::int16_t ch) const { return Valid(ch) ? channels_[ch].rxCarrier : 0; }

void TLoopbackEngine::set_RxCarrier(std::int16_t ch, std::uint16_t hz) {
    if (!Valid(ch)) return;
    channels_[ch].rxCarrier = hz;
    // The real engine reports the carrier back while it is being written.
    if (events_) events_->OnRxCarrier(ch, hz);
    if (ch == 0 && net_) txCarrier_ = hz;
}

void TLoopbackEngine::set_ChannelOpen(std::int16_t ch, TOleBool open) {
    if (Valid(ch)) channels_[ch].open = open != 0;
}

bool TLoopbackEngine::ChannelIsOpen(std::int16_t ch) const { return Valid(ch) && channels_[ch].open; }

double TLoopbackEngine::SignalToNoise(std::int16_t ch) const { return Valid(ch) ? channels_[ch].snr : 0.0; }

void TLoopbackEngine::SetSignalToNoise(std::int16_t ch, double db) {
    if (Valid(ch)) channels_[ch].snr = db;
}

std::int16_t TLoopbackEngine::Afc(std::int16_t ch) const { return Valid(ch) ? channels_[ch].afc : 0; }

void TLoopbackEngine::set_Afc(std::int16_t ch, std::int16_t on) {
    if (Valid(ch)) channels_[ch].afc = on;
}

double TLoopbackEngine::FilterOffset(std::int16_t ch) const { return Valid(ch) ? channels_[ch].filterOffset : 0.0; }

void TLoopbackEngine::set_FilterOffset(std::int16_t ch, double hz) {
    if (Valid(ch)) channels_[ch].filterOffset = hz;
}

std::int16_t TLoopbackEngine::Mode(std::int16_t ch) const { return Valid(ch) ? channels_[ch].mode : 0; }

void TLoopbackEngine::set_Mode(std::int16_t ch, std::int16_t mode) {
    if (!Valid(ch) || mode < 0 || mode >= kModeCount) return;
    channels_[ch].mode = mode;
    dispatcher_.Post([this, ch, mode, alive = alive_] {
        if (*alive && events_) events_->OnMode(ch, mode, ModeName(mode));
    });
}

double TLoopbackEngine::FilterCentre(std::int16_t ch) const {
    return Valid(ch) ? channels_[ch].rxCarrier + channels_[ch].filterOffset : 0.0;
}

void TLoopbackEngine::DeleteNotch(std::int16_t index) {
    if (index == -1) {
        notches_.clear();
    } else if (index >= 0 && static_cast<std::size_t>(index) < notches_.size()) {
        notches_.erase(notches_.begin() + index);
    }
}

std::int32_t TLoopbackEngine::SetFilter(std::int16_t type, std::int16_t steepnessX10, double edge1, double edge2,
                                        std::int16_t taps) {
    if (type < FilterLowPass || type > FilterBandPass) return -1;
    filter_ = TFilter{type, steepnessX10, edge1, edge2, taps};
    return 0;
}

double TLoopbackEngine::CharactersPerSecond(const std::u16string& mode, double baud) {
    std::u16string m = mode;
    std::transform(m.begin(), m.end(), m.begin(), [](char16_t c) { return c >= u'a' && c <= u'z' ? c - 32 : c; });
    if (m.rfind(u"RTTY", 0) == 0) return baud / 7.5;      // 5 data bits, start, 1.5 stop
    if (m.rfind(u"MFSK", 0) == 0) return baud * 4.0 / 9;  // 4 bits a symbol, ~9 bits a character
    if (m.rfind(u"BPSK", 0) == 0 || m.rfind(u"QPSK", 0) == 0) return baud / 6.5;  // varicode average
    return baud / 10.0;
}

std::uint32_t TLoopbackEngine::CharIntervalMs(std::int16_t ch) const {
    const auto& c = channels_[ch];
    const double cps = CharactersPerSecond(ModeName(c.mode), c.speed);
    return static_cast<std::uint32_t>(std::max(1.0, std::round(1000.0 / std::max(cps, 0.1))));
}

void TLoopbackEngine::Receive(std::int16_t ch, const std::u16string& text) {
    if (!Valid(ch)) return;
    for (char16_t c : text) channels_[ch].incoming.push_back(c);
    ScheduleReceive(ch);
}

void TLoopbackEngine::ScheduleReceive(std::int16_t ch) {
    auto& c = channels_[ch];
    // Half duplex: nothing is decoded while the station transmits, so the
    // window never takes a remote station's text for the echo of its own.
    if (tx_ || c.receiving || c.incoming.empty()) return;
    c.receiving = true;
    // One timer per character: the channel's rate decides the gap.
    After(CharIntervalMs(ch), [this, ch] {
        auto& chan = channels_[ch];
        chan.receiving = false;
        if (tx_ || chan.incoming.empty()) return;
        const char16_t next = chan.incoming.front();
        chan.incoming.pop_front();
        // A closed extra channel decodes nothing: its station goes unheard.
        if (ch == 0 || chan.open) RaiseRxChar(ch, next);
        ScheduleReceive(ch);
    });
}

void TLoopbackEngine::SendTone() {
    tone_ = true;
    SetTxState(TxStateTransmit);
}

void TLoopbackEngine::SendText(const std::u16string& text) {
    for (char16_t c : text) txQueue_.push_back(c);
}

void TLoopbackEngine::SendChar(std::uint16_t wChar) { txQueue_.push_back(FromEngineCode(wChar)); }

void TLoopbackEngine::BackToReceive() {
    tx_ = OleFalse;
    ending_ = false;
    tone_ = false;
    RaiseTxState(TxStateReceive);
    for (std::int16_t ch = 0; ch < kChannels; ++ch) ScheduleReceive(ch);
}

void TLoopbackEngine::RaiseTxState(std::int16_t state) {
    dispatcher_.Post([this, state, alive = alive_] {
        if (*alive && events_) events_->OnTxState(state);
    });
}

void TLoopbackEngine::SetTxState(std::int16_t state) {
    switch (state) {
        case TxStateTransmit:
            ending_ = false;
            if (!tx_) {
                tx_ = OleTrue;
                RaiseTxState(TxStateTransmit);
                ScheduleTransmit();
            }
            break;
        case TxStateEnd:
            if (!tx_) break;
            ending_ = true;
            break;
        default:
            txQueue_.clear();
            ending_ = false;
            tone_ = false;
            if (tx_) BackToReceive();
            break;
    }
}

void TLoopbackEngine::ScheduleTransmit() {
    if (transmitting_) return;
    transmitting_ = true;
    After(CharIntervalMs(0), [this] {
        transmitting_ = false;
        TransmitNext();
    });
}

void TLoopbackEngine::After(std::uint32_t ms, std::function<void()> then) {
    auto id = std::make_shared<IDispatcher::TimerId>(0);
    *id = dispatcher_.SetTimer(ms, [this, id, then = std::move(then)] {
        dispatcher_.KillTimer(*id);
        timers_.erase(*id);
        then();
    });
    timers_.insert(*id);
}

void TLoopbackEngine::TransmitNext() {
    if (!tx_) return;
    // A tone lasts until the station is sent back to receive or told to end.
    if (tone_ && !ending_) {
        ScheduleTransmit();
        return;
    }
    const auto alive = alive_;  // the window's handlers may destroy the engine
    char16_t c = 0;
    if (!txQueue_.empty()) {
        c = txQueue_.front();
        txQueue_.pop_front();
    } else if (!ending_ && events_) {
        std::uint16_t w = 0;
        events_->OnGetTxChar(w);  // feed mode: the window supplies the next character
        if (!*alive) return;
        c = w != 0 ? FromEngineCode(w) : 0;
    }
    if (c != 0) {
        sent_ += c;
        // Each character sent comes back as the echo of the transmit side.
        RaiseRxChar(0, c);
        if (!*alive || !tx_) return;
    } else if (ending_ && txQueue_.empty()) {
        BackToReceive();
        return;
    }
    ScheduleTransmit();
}

std::unique_ptr<TModemEngine> TLoopbackEngineFactory::CreateEngine(const char* classId, IDispatcher& dispatcher) {
    if (classId == nullptr || std::strcmp(classId, kModemEngineClassId) != 0) return nullptr;
    auto engine = std::make_unique<TLoopbackEngine>(dispatcher);
    Last = engine.get();
    return engine;
}

}  // namespace quorvel
