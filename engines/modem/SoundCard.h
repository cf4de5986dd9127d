#pragma once
// Live sound cards: one ALSA stream per direction, each on a thread of its
// own, meeting the engine through a ring buffer, so a busy UI thread loses
// nothing until the ring is full (seconds, not the ALSA period).
//
// A stream opens its PCM device at the asked rate (the plug layers and the
// "pulse" device convert where the card cannot), mono, 16-bit. It never
// gives up: a device that cannot be opened is tried again every half second,
// and one that fails while running (unplugged, its server's sink unloaded,
// or silent for longer than kStallMs once sound has moved, kStartMs before) is closed and reopened the same way.
// What happened is queued as events for the UI thread to take.
//
// Capture: a full ring drops the newest samples and counts them as an
// overrun. Playback: an empty ring plays silence; while Keying() is set that
// is counted as an underrun. ALSA's own xruns are recovered and counted too.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

struct SRC_STATE_tag;
struct _snd_pcm;  // libasound's snd_pcm_t

namespace quorvel::modem {

// libasound prints its complaints on stderr; the streams report their own.
void QuietAlsaErrors();

// Single producer, single consumer; lock-free.
class TAudioRing {
public:
    explicit TAudioRing(std::size_t capacity);
    std::size_t Push(std::span<const float> in);
    std::size_t Pop(std::span<float> out);
    std::size_t Size() const;
    std::size_t Capacity() const { return data_.size() - 1; }

private:
    std::vector<float> data_;
    std::atomic<std::size_t> head_{0}, tail_{0};  // written by producer, consumer
};

struct TSoundEvent {
    enum class TKind { Opened, OpenFailed, Lost } Kind;
    std::string Detail;  // ALSA's reason, for a person
};

class TSoundStream {
public:
    enum class TDirection { Capture, Playback };
    static constexpr std::uint32_t kRetryMs = 500;
    static constexpr std::uint32_t kStallMs = 1500;
    static constexpr std::uint32_t kStartMs = 5000;

    TSoundStream(TDirection direction, std::string pcm, double rate, double ringSeconds);
    ~TSoundStream();
    TSoundStream(const TSoundStream&) = delete;
    TSoundStream& operator=(const TSoundStream&) = delete;

    const std::string& Pcm() const { return pcm_; }
    bool IsOpen() const { return open_.load(); }
    // The device's own rate once opened (the asked one before).
    double Rate() const { return rate_.load(); }

    // Capture: takes what was recorded. Playback: queues samples to play.
    std::size_t Read(std::span<float> out) { return ring_.Pop(out); }
    std::size_t Write(std::span<const float> in);
    std::size_t Queued() const { return ring_.Size(); }
    // Playback: samples queued by Write so far, and of those handed to the device.
    std::uint64_t Written() const { return written_; }
    std::uint64_t Played() const { return played_.load(); }
    void SetKeying(bool on) { keying_ = on; }
    // Playback: what is queued and not yet played is dropped.
    void Flush() { flush_ = true; }

    std::vector<TSoundEvent> TakeEvents();
    std::uint64_t Overruns() const { return overruns_.load(); }
    std::uint64_t Underruns() const { return underruns_.load(); }
    std::uint64_t Xruns() const { return xruns_.load(); }
    std::uint32_t Opens() const { return opens_.load(); }

private:
    void Run();
    bool Open();
    bool Recover(int error);
    void Lose(const std::string& why);
    void Event(TSoundEvent::TKind kind, std::string detail);
    void Nap(std::uint32_t ms);
    void Capture(_snd_pcm* pcm);
    void Playback(_snd_pcm* pcm);
    struct TPcmCloser {
        void operator()(_snd_pcm* pcm) const;
    };

    const TDirection direction_;
    const std::string pcm_;
    const double asked_;
    TAudioRing ring_;
    std::unique_ptr<_snd_pcm, TPcmCloser> handle_;
    std::vector<std::int16_t> frames_;
    std::vector<float> samples_;
    std::chrono::steady_clock::time_point lastSound_;
    bool flowing_ = false;  // sound has moved since the device opened
    bool played_once_ = false;
    bool failing_ = false;
    std::uint64_t written_ = 0;
    std::atomic<double> rate_;
    std::atomic<bool> open_{false}, stop_{false}, keying_{false}, flush_{false};
    std::atomic<std::uint64_t> played_{0}, overruns_{0}, underruns_{0}, xruns_{0};
    std::atomic<std::uint32_t> opens_{0};
    std::mutex eventsLock_;
    std::vector<TSoundEvent> events_;
    std::thread thread_;
};

// Converts a stream between two rates (libsamplerate), block by block;
// passes samples through untouched when the rates agree.
class TRateConverter {
public:
    TRateConverter();
    ~TRateConverter();
    TRateConverter(const TRateConverter&) = delete;
    TRateConverter& operator=(const TRateConverter&) = delete;

    void SetRates(double from, double to);
    double Ratio() const { return ratio_; }
    // Appends the converted samples of in to out.
    void Convert(std::span<const float> in, std::vector<float>& out);

private:
    SRC_STATE_tag* state_ = nullptr;
    double ratio_ = 1;
    std::vector<float> buffer_;
};

}  // namespace quorvel::modem
