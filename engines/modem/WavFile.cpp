#include "WavFile.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace quorvel::modem {

namespace {

// libsndfile's virtual I/O over bytes in memory.
struct TMemoryIo {
    static TWavBytes& Of(void* user) { return *static_cast<TWavBytes*>(user); }
    static sf_count_t Length(void* user) { return static_cast<sf_count_t>(Of(user).Bytes.size()); }
    static sf_count_t Seek(sf_count_t offset, int whence, void* user) {
        auto& [bytes, at] = Of(user);
        const auto size = static_cast<sf_count_t>(bytes.size());
        sf_count_t to = offset;
        if (whence == SEEK_CUR) to = at + offset;
        if (whence == SEEK_END) to = size + offset;
        if (to < 0 || to > size) return -1;
        at = to;
        return to;
    }
    static sf_count_t Read(void* out, sf_count_t count, void* user) {
        auto& [bytes, at] = Of(user);
        const sf_count_t take = std::clamp<sf_count_t>(static_cast<sf_count_t>(bytes.size()) - at, 0, std::max<sf_count_t>(count, 0));
        std::copy_n(bytes.data() + at, take, static_cast<char*>(out));
        at += take;
        return take;
    }
    static sf_count_t Write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t Tell(void* user) { return Of(user).At; }
};

}  // namespace

TWavReader::TWavReader(const std::string& path, double engineRate) {
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (file_ == nullptr) throw std::runtime_error("cannot read " + path + ": " + sf_strerror(nullptr));
    Open(path, engineRate, info.channels, info.samplerate);
}

TWavReader::TWavReader(std::string_view bytes, double engineRate, const std::string& name) {
    memory_.Bytes = bytes;
    static SF_VIRTUAL_IO io{TMemoryIo::Length, TMemoryIo::Seek, TMemoryIo::Read, TMemoryIo::Write, TMemoryIo::Tell};
    SF_INFO info{};
    file_ = sf_open_virtual(&io, SFM_READ, &info, &memory_);
    if (file_ == nullptr) throw std::runtime_error("cannot read " + name + ": " + sf_strerror(nullptr));
    Open(name, engineRate, info.channels, info.samplerate);
}

void TWavReader::Open(const std::string& name, double engineRate, int channels, int rate) {
    if (channels < 1 || channels > 256 || rate < 1000 || rate > 768000) {
        sf_close(file_);
        file_ = nullptr;
        throw std::runtime_error(name + ": not an audio file the modem can use");
    }
    channels_ = channels;
    fileRate_ = rate;
    ratio_ = engineRate / fileRate_;
    int error = 0;
    resampler_ = src_new(SRC_SINC_MEDIUM_QUALITY, 1, &error);
    if (resampler_ == nullptr) {
        sf_close(file_);
        file_ = nullptr;
        throw std::runtime_error(std::string("resampler: ") + src_strerror(error));
    }
}

TWavReader::~TWavReader() {
    if (resampler_ != nullptr) src_delete(resampler_);
    if (file_ != nullptr) sf_close(file_);
}

bool TWavReader::Fill() {
    if (done_) return false;
    if (monoUsed_ >= mono_.size() && !fileEnded_) {
        constexpr sf_count_t kFrames = 4096;
        frames_.resize(static_cast<std::size_t>(kFrames) * static_cast<std::size_t>(channels_));
        const sf_count_t got = sf_readf_float(file_, frames_.data(), kFrames);
        mono_.assign(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)), 0.0f);
        for (std::size_t i = 0; i < mono_.size(); ++i) {
            float sum = 0;
            for (int c = 0; c < channels_; ++c) sum += frames_[i * static_cast<std::size_t>(channels_) + static_cast<std::size_t>(c)];
            // A float file may hold NaN, infinity or values past full scale that
            // overflow the filters; it is clipped as a sound card's converter would.
            mono_[i] = std::isfinite(sum) ? std::clamp(sum / static_cast<float>(channels_), -1.0f, 1.0f) : 0.0f;
        }
        monoUsed_ = 0;
        if (got < kFrames) fileEnded_ = true;
    }
    resampled_.resize(static_cast<std::size_t>(static_cast<double>(mono_.size() - monoUsed_) * ratio_) + 4096);
    SRC_DATA data{};
    data.data_in = mono_.data() + monoUsed_;
    data.input_frames = static_cast<long>(mono_.size() - monoUsed_);
    data.data_out = resampled_.data();
    data.output_frames = static_cast<long>(resampled_.size());
    data.src_ratio = ratio_;
    data.end_of_input = fileEnded_ ? 1 : 0;
    if (src_process(resampler_, &data) != 0) {
        done_ = true;
        return false;
    }
    monoUsed_ += static_cast<std::size_t>(data.input_frames_used);
    resampled_.resize(static_cast<std::size_t>(data.output_frames_gen));
    resampledUsed_ = 0;
    if (fileEnded_ && data.output_frames_gen == 0 && monoUsed_ >= mono_.size()) done_ = true;
    return !resampled_.empty() || !done_;
}

std::size_t TWavReader::Read(std::span<float> out) {
    std::size_t n = 0;
    while (n < out.size()) {
        if (resampledUsed_ >= resampled_.size() && !Fill()) break;
        const std::size_t take = std::min(out.size() - n, resampled_.size() - resampledUsed_);
        std::copy_n(resampled_.begin() + static_cast<long>(resampledUsed_), take, out.begin() + static_cast<long>(n));
        n += take;
        resampledUsed_ += take;
    }
    return n;
}

TWavWriter::TWavWriter(const std::string& path, double rate) : path_(path), temp_(path + ".part") {
    SF_INFO info{};
    info.samplerate = static_cast<int>(std::lround(rate));
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(temp_.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    // Full-scale samples clip rather than wrap.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

TWavWriter::~TWavWriter() { Close(); }

void TWavWriter::Write(std::span<const float> samples) {
    if (file_ != nullptr) sf_write_float(file_, samples.data(), static_cast<sf_count_t>(samples.size()));
}

void TWavWriter::Close() {
    if (file_ == nullptr) return;
    sf_write_sync(file_);
    const bool ok = sf_close(file_) == 0;
    file_ = nullptr;
    if (ok) {
        std::rename(temp_.c_str(), path_.c_str());
    } else {
        std::remove(temp_.c_str());
    }
}

}  // namespace quorvel::modem
