#pragma once
// WAV files as the engine's audio: any rate and channel count in (mixed to
// mono and resampled to the engine's rate), 16-bit mono out. Errors are
// thrown as std::runtime_error with the file's name and libsndfile's reason.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Audio.h"

struct sf_private_tag;
struct SRC_STATE_tag;

namespace quorvel::modem {

// The bytes a reader from memory reads, and where it is in them.
struct TWavBytes {
    std::string_view Bytes;
    std::int64_t At = 0;
};

class TWavReader final : public IAudioInput {
public:
    TWavReader(const std::string& path, double engineRate);
    // A file's bytes already in memory; they must outlive the reader.
    TWavReader(std::string_view bytes, double engineRate, const std::string& name);
    ~TWavReader() override;
    TWavReader(const TWavReader&) = delete;
    TWavReader& operator=(const TWavReader&) = delete;

    std::size_t Read(std::span<float> out) override;
    double FileRate() const { return fileRate_; }

private:
    void Open(const std::string& name, double engineRate, int channels, int rate);
    bool Fill();
    TWavBytes memory_;
    sf_private_tag* file_ = nullptr;
    SRC_STATE_tag* resampler_ = nullptr;
    int channels_ = 1;
    double fileRate_ = 0, ratio_ = 1;
    std::vector<float> frames_, mono_, resampled_;
    std::size_t monoUsed_ = 0, resampledUsed_ = 0;
    bool fileEnded_ = false, done_ = false;
};

// Writes beside the target and renames it into place on Close (or on
// destruction), so an interrupted run never leaves half a file under the name.
class TWavWriter final : public IAudioOutput {
public:
    TWavWriter(const std::string& path, double rate);
    ~TWavWriter() override;
    TWavWriter(const TWavWriter&) = delete;
    TWavWriter& operator=(const TWavWriter&) = delete;

    void Write(std::span<const float> samples) override;
    void Close();

private:
    std::string path_, temp_;
    sf_private_tag* file_ = nullptr;
};

}  // namespace quorvel::modem
