#pragma once
// ADIF, the amateur-radio exchange format: the host's log is written twice,
// in the tagged-text form (ADI) and in its XML form (ADX) beside it.
//
// ADI files are ASCII, and ADIF forbids the international (_INTL) fields in
// them. A record keeps its text fields in ASCII (NAME, QTH, ...) and, where
// the text is not ASCII and ADIF has an international form of the field, the
// UTF-8 text in FIELD_INTL as well (NAME_INTL = "Иван", NAME = "Ivan"). The
// ADI file gets the ASCII fields only; the ADX gets both. A field ADIF gives
// no international form (GRIDSQUARE, EMAIL, QSL_VIA, STATE, ...) keeps its
// ASCII form alone. Field lengths in ADI count bytes.
#include <cstdint>
#include <optional>
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
    // A text field from UTF-8: the ASCII form in the field, and the UTF-8 in
    // its _INTL form where ADIF has one and the text is not ASCII.
    void SetText(std::string_view name, const std::string& utf8);
    // The text as the operator wrote it: the _INTL form when there is one.
    std::string Text(std::string_view name) const;
};

// The fields ADIF gives an international (_INTL) form: NAME, QTH, COMMENT, ...
bool HasIntlForm(std::string_view name);
bool IsIntlField(std::string_view name);

// The ASCII form of a UTF-8 text for ADIF's String fields. Russian,
// Ukrainian and Belarusian letters are transliterated as in machine-readable
// travel documents (ICAO Doc 9303, the Latin spelling in Russian passports
// since 2013): "Иван" -> "Ivan", "Москва" -> "Moskva", "Щукин" -> "Shchukin",
// "ЖУК" -> "ZHUK"; Ь is left out, Ъ is IE, Ё is E. The other Cyrillic
// letters of Windows-1251 take their usual Latin spelling (Ђ Dj, Љ Lj, ...),
// Latin-1 letters lose their marks (Müller -> Muller, Æ -> AE), a few
// typographic marks become their ASCII look-alikes (« » " -> '"', dashes ->
// '-', № -> "No"); control characters become a space; any other character
// becomes '?'.
std::string AdifAscii(std::string_view utf8);

struct TAdifFile {
    bool HasHeader = false;
    std::vector<TAdifField> Header;
    std::vector<TAdifRecord> Records;
};

// Reads whatever is well formed; never fails. A field whose length runs past
// the end of the text takes what is there; an unterminated last record is kept.
TAdifFile ParseAdi(std::string_view text);

// The ADI forms: every value written in ASCII (AdifAscii), _INTL fields left out.
std::string FormatAdifField(std::string_view name, std::string_view value);
// One record on one line, fields in order, closed by <EOR>.
std::string FormatAdifRecord(const TAdifRecord& record);
// The _INTL fields of a record for people to read: NAME_INTL="Иван" QTH_INTL="Москва".
std::string FormatIntlFields(const TAdifRecord& record);
// The header fields of the host's logs, and the ADI header of a new log.
std::vector<TAdifField> AdifHeader(std::string_view programVersion);
std::string FormatAdifHeader(std::string_view programVersion);

// The ADX form: an XML document in UTF-8, <ADX><HEADER>...</HEADER><RECORDS>
// <RECORD>...</RECORD></RECORDS></ADX>, one element per field. An
// application's field APP_PROGRAM_FIELD is written as <APP PROGRAMID="PROGRAM"
// FIELDNAME="FIELD" TYPE="S">, as ADX spells it; reading gives it back under
// its ADI name, and a user-defined field under its FIELDNAME.
std::string FormatAdx(const std::vector<TAdifField>& header, const std::vector<TAdifRecord>& records);
// Nothing when the text is not an ADX document.
std::optional<TAdifFile> ParseAdx(std::string_view text);

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
