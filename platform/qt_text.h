// Text between the standard library's UTF-8 and the system's bytes on one side and Qt's
// QString on the other, converted at the edge, once.
#pragma once

#include <QString>
#include <filesystem>
#include <string_view>

namespace suelvan::platform {

inline QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Lossless both ways: a byte that is no UTF-8 (a Latin-1 folder name on an old USB stick)
// travels as a lone surrogate U+DC80..U+DCFF and comes back as the same byte.
QString ToQString(const std::filesystem::path& path);
std::filesystem::path ToPath(const QString& path);
// For the user's eyes: those stand-ins shown as replacement characters.
QString Readable(QString text);

}  // namespace suelvan::platform
