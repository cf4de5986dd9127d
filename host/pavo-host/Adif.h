#pragma once
// ADIF, the amateur-radio exchange format, in its tagged-text form (ADI): the
// host's log file. Values are UTF-8; field lengths count bytes, as the
// readers of ADI logs (LoTW, WSJT-X, Cloudlog) expect.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pavohost {

struct TAdifField {
    std::string Name;   // upper case
    std::string Value;
};

struct TAdifRecord {
    std::vector<TAdifField> Fields;
    // "" when absent; names compare without regard to case.
    std::string Get(std::string_view name) const;
    // Replaces the field or appends it; an empty value removes it.
    void Set(std::string_view name, std::string value);
};

struct TAdifFile {
    bool HasHeader = false;
    std::vector<TAdifField> Header;
    std::vector<TAdifRecord> Records;
};

// Reads whatever is well formed; never fails. A field whose length runs past
// the end of the text takes what is there; an unterminated last record is kept.
TAdifFile ParseAdi(std::string_view text);

std::string FormatAdifField(std::string_view name, std::string_view value);
// One record on one line, fields in order, closed by <EOR>.
std::string FormatAdifRecord(const TAdifRecord& record);
// The header of a new log.
std::string FormatAdifHeader(std::string_view programVersion);

// ADIF's MODE and SUBMODE for a digital mode name as the plug-in writes it:
// BPSK31 -> PSK/PSK31, QPSK63 -> PSK/QPSK63, RTTY -> RTTY, MFSK16 -> MFSK/MFSK16.
// A name of no known family is kept whole as MODE, so nothing is lost.
struct TAdifMode {
    std::string Mode, Submode;
};
TAdifMode AdifModeFor(std::string_view modeName);

// ADIF band ("20m") of a frequency in Hz; "" outside every band.
std::string AdifBand(std::int64_t hz);
// Lower edge of an ADIF band in MHz as text ("14", "1.8", "144"); "" when unknown.
std::string AdifBandMHz(std::string_view band);
// Frequency in MHz as ADIF writes it: 14070000 -> "14.070", 14071500 -> "14.0715".
std::string AdifFrequency(std::int64_t hz);

}  // namespace pavohost
