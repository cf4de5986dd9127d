#pragma once
// The one place where the system's cp1251 text meets Qt's UTF-16.
#include <QString>
#include <string>
#include <string_view>

#include "base/CodePage.h"

namespace quorvel::qt {

inline QString ToQString(std::string_view cp1251) { return QString::fromStdU16String(Cp1251ToUtf16(cp1251)); }

// Characters outside the code page become '?'.
inline std::string FromQString(const QString& text) { return Utf16ToCp1251(text.toStdU16String()); }

}  // namespace quorvel::qt
