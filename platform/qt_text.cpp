#include "platform/qt_text.h"

#include <QByteArray>

namespace suelvan::platform {
namespace {

bool IsStandIn(char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

}  // namespace

QString ToQString(const std::filesystem::path& path) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    const QByteArray bytes = QByteArray::fromStdString(path.native());
    QString text = QString::fromUtf8(bytes);
    if (text.toUtf8() == bytes) return text;
    text.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const qsizetype length = lead < 0x80             ? 1
                                 : (lead & 0xE0) == 0xC0 ? 2
                                 : (lead & 0xF0) == 0xE0 ? 3
                                 : (lead & 0xF8) == 0xF0 ? 4
                                                         : 0;
        if (length > 0 && i + length <= bytes.size()) {
            const QByteArray piece = bytes.mid(i, length);
            const QString decoded = QString::fromUtf8(piece);
            if (decoded.toUtf8() == piece) {
                text += decoded;
                i += length;
                continue;
            }
        }
        text += QChar(static_cast<char16_t>(0xDC00 + lead));
        ++i;
    }
    return text;
#endif
}

std::filesystem::path ToPath(const QString& path) {
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    std::string bytes;
    QString run;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path[i].unicode();
        const bool paired = i > 0 && path[i - 1].isHighSurrogate();
        if (IsStandIn(c) && !paired) {
            bytes += run.toUtf8().toStdString();
            run.clear();
            bytes += static_cast<char>(c - 0xDC00);
        } else {
            run += path[i];
        }
    }
    bytes += run.toUtf8().toStdString();
    return std::filesystem::path(bytes);
#endif
}

QString Readable(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool paired = i > 0 && text[i - 1].isHighSurrogate();
        if (IsStandIn(text[i].unicode()) && !paired) text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

}  // namespace suelvan::platform
