#include "SoundCard.h"

#include <alsa/asoundlib.h>
#include <samplerate.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace quorvel::modem {
namespace {

constexpr std::uint32_t kWaitMs = 100;
constexpr unsigned kLatencyUs = 100000;  // the device's own buffer
constexpr std::size_t kChunkFrames = 512;

std::string AlsaError(int error) { return snd_strerror(error); }

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietAlsaErrors() {
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(&QuietAlsa); });
}

// --- ring -----------------------------------------------------------------

TAudioRing::TAudioRing(std::size_t capacity) : data_(std::max<std::size_t>(capacity, 1) + 1, 0.0f) {}

std::size_t TAudioRing::Size() const {
    const std::size_t head = head_.load(std::memory_order_acquire);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    return head >= tail ? head - tail : head + data_.size() - tail;
}

std::size_t TAudioRing::Push(std::span<const float> in) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    const std::size_t used = head >= tail ? head - tail : head + data_.size() - tail;
    const std::size_t n = std::min(in.size(), Capacity() - used);
    const std::size_t first = std::min(n, data_.size() - head);
    std::copy_n(in.begin(), first, data_.begin() + static_cast<long>(head));
    std::copy_n(in.begin() + static_cast<long>(first), n - first, data_.begin());
    head_.store((head + n) % data_.size(), std::memory_order_release);
    return n;
}

std::size_t TAudioRing::Pop(std::span<float> out) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t head = head_.load(std::memory_order_acquire);
    const std::size_t used = head >= tail ? head - tail : head + data_.size() - tail;
    const std::size_t n = std::min(out.size(), used);
    const std::size_t first = std::min(n, data_.size() - tail);
    std::copy_n(data_.begin() + static_cast<long>(tail), first, out.begin());
    std::copy_n(data_.begin(), n - first, out.begin() + static_cast<long>(first));
    tail_.store((tail + n) % data_.size(), std::memory_order_release);
    return n;
}

// --- stream ---------------------------------------------------------------

void TSoundStream::TPcmCloser::operator()(_snd_pcm* pcm) const { snd_pcm_close(pcm); }

TSoundStream::TSoundStream(TDirection direction, std::string pcm, double rate, double ringSeconds)
    : direction_(direction),
      pcm_(std::move(pcm)),
      asked_(rate),
      ring_(static_cast<std::size_t>(std::ceil(ringSeconds * std::max(rate, 48000.0)))),
      rate_(rate) {
    QuietAlsaErrors();
    frames_.resize(kChunkFrames);
    samples_.resize(kChunkFrames);
    thread_ = std::thread([this] { Run(); });
}

TSoundStream::~TSoundStream() {
    stop_ = true;
    thread_.join();
}

std::size_t TSoundStream::Write(std::span<const float> in) {
    const std::size_t n = ring_.Push(in);
    written_ += n;
    return n;
}

std::vector<TSoundEvent> TSoundStream::TakeEvents() {
    std::lock_guard lock(eventsLock_);
    std::vector<TSoundEvent> out;
    out.swap(events_);
    return out;
}

void TSoundStream::Event(TSoundEvent::TKind kind, std::string detail) {
    std::lock_guard lock(eventsLock_);
    events_.push_back({kind, std::move(detail)});
}

void TSoundStream::Nap(std::uint32_t ms) {
    for (std::uint32_t slept = 0; slept < ms && !stop_; slept += 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

bool TSoundStream::Open() {
    const bool capture = direction_ == TDirection::Capture;
    snd_pcm_t* raw = nullptr;
    int error = snd_pcm_open(&raw, pcm_.c_str(), capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK,
                             SND_PCM_NONBLOCK);
    std::unique_ptr<_snd_pcm, TPcmCloser> pcm(raw);
    if (error >= 0)
        error = snd_pcm_set_params(raw, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                                   static_cast<unsigned>(std::lround(asked_)), 1, kLatencyUs);
    unsigned rate = 0;
    if (error >= 0) {
        snd_pcm_hw_params_t* params = nullptr;
        snd_pcm_hw_params_alloca(&params);
        int dir = 0;
        if (snd_pcm_hw_params_current(raw, params) >= 0 && snd_pcm_hw_params_get_rate(params, &rate, &dir) >= 0 &&
            rate > 0)
            rate_ = static_cast<double>(rate);
        if (capture) error = snd_pcm_start(raw);
    }
    if (error < 0) {
        if (!failing_)
            Event(TSoundEvent::TKind::OpenFailed,
                  (capture ? "cannot record from " : "cannot play to ") + pcm_ + ": " + AlsaError(error));
        failing_ = true;
        return false;
    }
    handle_ = std::move(pcm);
    failing_ = false;
    lastSound_ = std::chrono::steady_clock::now();
    flowing_ = played_once_ = false;
    open_ = true;
    ++opens_;
    Event(TSoundEvent::TKind::Opened, pcm_ + " at " + std::to_string(rate) + " Hz");
    return true;
}

bool TSoundStream::Recover(int error) {
    if (error != -EPIPE && error != -ESTRPIPE) return false;
    ++xruns_;
    if (error == -ESTRPIPE)
        for (int i = 0; i < 10 && snd_pcm_resume(handle_.get()) == -EAGAIN; ++i) Nap(20);
    if (snd_pcm_prepare(handle_.get()) < 0) return false;
    if (direction_ == TDirection::Capture && snd_pcm_start(handle_.get()) < 0) return false;
    return true;
}

void TSoundStream::Lose(const std::string& why) {
    handle_.reset();
    open_ = false;
    failing_ = true;  // the reopening's failures are the same loss
    Event(TSoundEvent::TKind::Lost, pcm_ + " was lost: " + why);
}

void TSoundStream::Run() {
    while (!stop_) {
        if (!handle_ && !Open()) {
            Nap(kRetryMs);
            continue;
        }
        snd_pcm_t* pcm = handle_.get();
        const int ready = snd_pcm_wait(pcm, static_cast<int>(kWaitMs));
        if (ready < 0) {
            if (!Recover(ready)) Lose(AlsaError(ready));
            continue;
        }
        if (direction_ == TDirection::Capture) Capture(pcm);
        else Playback(pcm);
        // A sound server may take a second or two to start a stream.
        const std::uint32_t limit = flowing_ ? kStallMs : kStartMs;
        if (handle_ && std::chrono::steady_clock::now() - lastSound_ > std::chrono::milliseconds(limit))
            Lose("no sound for " + std::to_string(limit) + " ms");
    }
    handle_.reset();
    open_ = false;
}

void TSoundStream::Capture(_snd_pcm* pcm) {
    for (;;) {
        const snd_pcm_sframes_t got = snd_pcm_readi(pcm, frames_.data(), frames_.size());
        if (got == -EAGAIN || got == 0) return;
        if (got < 0) {
            if (!Recover(static_cast<int>(got))) Lose(AlsaError(static_cast<int>(got)));
            return;
        }
        lastSound_ = std::chrono::steady_clock::now();
        flowing_ = true;
        const auto n = static_cast<std::size_t>(got);
        for (std::size_t i = 0; i < n; ++i) samples_[i] = static_cast<float>(frames_[i]) / 32768.0f;
        const std::size_t kept = ring_.Push(std::span<const float>(samples_.data(), n));
        overruns_ += n - kept;
        if (n < frames_.size()) return;
    }
}

void TSoundStream::Playback(_snd_pcm* pcm) {
    const bool first = !played_once_;
    played_once_ = true;
    for (;;) {
        const snd_pcm_sframes_t room = snd_pcm_avail_update(pcm);
        if (room < 0) {
            if (!Recover(static_cast<int>(room))) Lose(AlsaError(static_cast<int>(room)));
            return;
        }
        if (room == 0) return;
        // Filling the empty buffer at the start is no sign of a running device.
        if (!first) {
            lastSound_ = std::chrono::steady_clock::now();
            flowing_ = true;
        }
        if (flush_.exchange(false))
            while (const std::size_t dropped = ring_.Pop(samples_)) played_ += dropped;
        const std::size_t n = std::min(static_cast<std::size_t>(room), frames_.size());
        const std::size_t got = ring_.Pop(std::span<float>(samples_.data(), n));
        if (got < n) {
            std::fill(samples_.begin() + static_cast<long>(got), samples_.begin() + static_cast<long>(n), 0.0f);
            if (keying_) underruns_ += n - got;
        }
        for (std::size_t i = 0; i < n; ++i)
            frames_[i] = static_cast<std::int16_t>(std::lround(std::clamp(samples_[i], -1.0f, 32767.0f / 32768.0f) * 32768.0f));
        const snd_pcm_sframes_t put = snd_pcm_writei(pcm, frames_.data(), n);
        if (put < 0) {
            if (!Recover(static_cast<int>(put))) Lose(AlsaError(static_cast<int>(put)));
            return;
        }
        played_ += got;
    }
}

// --- rates ----------------------------------------------------------------

TRateConverter::TRateConverter() = default;

TRateConverter::~TRateConverter() {
    if (state_ != nullptr) src_delete(state_);
}

void TRateConverter::SetRates(double from, double to) {
    const double ratio = to / from;
    if (ratio == ratio_ && (ratio == 1 || state_ != nullptr)) return;
    ratio_ = ratio;
    if (state_ != nullptr) state_ = src_delete(state_);
    if (ratio_ != 1) {
        int error = 0;
        state_ = src_new(SRC_SINC_FASTEST, 1, &error);
    }
}

void TRateConverter::Convert(std::span<const float> in, std::vector<float>& out) {
    if (state_ == nullptr) {
        out.insert(out.end(), in.begin(), in.end());
        return;
    }
    buffer_.resize(static_cast<std::size_t>(std::ceil(static_cast<double>(in.size()) * ratio_)) + 64);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = static_cast<long>(in.size());
    data.src_ratio = ratio_;
    while (data.input_frames > 0) {
        data.data_out = buffer_.data();
        data.output_frames = static_cast<long>(buffer_.size());
        if (src_process(state_, &data) != 0) return;
        out.insert(out.end(), buffer_.begin(), buffer_.begin() + data.output_frames_gen);
        data.data_in += data.input_frames_used;
        data.input_frames -= data.input_frames_used;
        if (data.input_frames_used == 0 && data.output_frames_gen == 0) break;
    }
}

}  // namespace quorvel::modem
