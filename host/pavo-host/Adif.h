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

// ADIF's MODE and SUBMODE for the mode name the plug-in writes (family and
// whole speed, e.g. BPSK31), for every mode and speed its engine offers:
//
//   plug-in name           MODE   SUBMODE
//   BPSK31/63/125/250/500  PSK    PSK31 ... PSK500
//   QPSK31/63/125/250/500  PSK    QPSK31 ... QPSK500
//   MFSK8, MFSK16          MFSK   MFSK8, MFSK16
//   MFSK31, MFSK63, MFSK125 MFSK  MFSK32, MFSK64, MFSK128 (the on-air names of
//                                 16 tones at 31.25, 62.5 and 125 baud)
//   RTTY (any speed)       RTTY   -
//   other BPSK/QPSK speeds PSK    -        the name in NOTES
//   other MFSK speeds      MFSK   -        the name in NOTES
//   GMSK, FSK, FSK-W       -      -        the name in NOTES: ADIF has no such
//                                          mode (its FSK31 is a PSK submode)
//
// A name that is itself an ADIF mode (CW, SSB, OLIVIA, ...) is that mode;
// any other name goes to NOTES, so no invalid MODE is ever written.
struct TAdifMode {
    std::string Mode, Submode;
    std::string Note;  // for NOTES when MODE/SUBMODE cannot say it all
};
TAdifMode AdifModeFor(std::string_view modeName);

// ADIF band ("20m") of a frequency in Hz; "" outside every band.
std::string AdifBand(std::int64_t hz);
// Lower edge of an ADIF band in MHz as text ("14", "1.8", "144"); "" when unknown.
std::string AdifBandMHz(std::string_view band);
// Frequency in MHz as ADIF writes it: 14070000 -> "14.070", 14071500 -> "14.0715".
std::string AdifFrequency(std::int64_t hz);

}  // namespace pavohost
