#include "LogBook.h"

#include "HostFiles.h"
#include "HostText.h"

namespace pavohost {

TLogBook::TLogBook(std::filesystem::path file, std::string programVersion)
    : file_(std::move(file)), programVersion_(std::move(programVersion)) {}

bool TLogBook::Open(std::string& error) {
    open_ = false;
    records_.clear();
    RemoveStaleTemporary(file_);
    const auto text = ReadWholeFile(file_, error);
    if (!text && !error.empty()) return false;
    if (text)
        records_ = ParseAdi(*text).Records;
    else if (!WriteFileAtomically(file_, FormatAdifHeader(programVersion_), error))
        return false;
    open_ = true;
    return true;
}

bool TLogBook::Append(const TAdifRecord& record, std::string& error) {
    const auto existing = ReadWholeFile(file_, error);
    if (!existing && !error.empty()) return false;  // never replace a log that could not be read
    std::string content = existing ? *existing : FormatAdifHeader(programVersion_);
    if (!content.empty() && content.back() != '\n') content += '\n';
    content += FormatAdifRecord(record);
    if (!WriteFileAtomically(file_, content, error)) return false;
    records_.push_back(record);
    open_ = true;
    return true;
}

const TAdifRecord* TLogBook::LastWith(const std::string& callsign) const {
    if (callsign.empty()) return nullptr;
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        if (EqualsNoCase(it->Get("CALL"), callsign)) return &*it;
    return nullptr;
}

}  // namespace pavohost
