#pragma once
// The host's log: an ADIF file (ADI) that saved contacts are appended to, and
// its XML twin (ADX, the same name with .adx) that also holds the texts that
// ASCII cannot (NAME_INTL, QTH_INTL, ...).
#include <filesystem>
#include <string>
#include <vector>

#include "Adif.h"

namespace pavohost {

class TLogBook {
public:
    TLogBook(std::filesystem::path file, std::string programVersion);

    // Reads the file; a missing one is created with its header. False (and
    // the log stays closed) when it cannot be read or made.
    bool Open(std::string& error);
    bool IsOpen() const { return open_; }
    // The ADI records, each with the _INTL fields the ADX holds for it.
    const std::vector<TAdifRecord>& Records() const { return records_; }
    const std::filesystem::path& File() const { return file_; }
    const std::filesystem::path& XmlFile() const { return xmlFile_; }

    // Appends one record. Both files are read again and rewritten whole
    // through temporary files, so neither a failed write nor another
    // program's additions to the ADI since Open are lost. The ADI is the log;
    // the ADX is rebuilt from it at every save, keeping the international
    // texts it held for each contact (matched by call, date and time). A
    // damaged ADX is copied to NAME.adx.damaged before it is rebuilt.
    bool Append(const TAdifRecord& record, std::string& error);

    // The most recent contact with the callsign, nullptr when none.
    const TAdifRecord* LastWith(const std::string& callsign) const;

private:
    std::filesystem::path file_, xmlFile_;
    std::string programVersion_;
    bool open_ = false;
    std::vector<TAdifRecord> records_;
};

}  // namespace pavohost
