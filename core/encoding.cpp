#include "core/encoding.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "core/short_copy.h"

namespace suelvan {
namespace {

// Code points of the bytes 0x80..0x9F; 0 where Windows-1252 leaves the byte undefined.
// clang-format off
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
// clang-format on

char ToByte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Decodes one UTF-8 sequence at the front of `s`; a malformed one yields U+FFFD and
// consumes a single byte, so the rest still decodes.
char32_t Decode(std::string_view s, std::size_t& length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    length = 1;
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t c = 0;
    char32_t min = 0;
    if ((lead & 0xE0) == 0xC0) {
        count = 2, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        count = 3, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        count = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (s.size() < count) return 0xFFFD;
    for (std::size_t i = 1; i < count; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0xFFFD;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0xFFFD;
    length = count;
    return c;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The length a lead byte announces; 1 for anything else, which fails on its own.
std::size_t SequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    return (byte & 0xE0) == 0xC0 ? 2 : (byte & 0xF0) == 0xE0 ? 3 : (byte & 0xF8) == 0xF0 ? 4 : 1;
}

void AppendWindows1252(std::string& text, std::string_view bytes);

// Where the first byte of 0x80 or above is, at or after `from`; size() when none. Eight
// bytes at a time: a note is mostly ASCII.
std::size_t AsciiUpTo(std::string_view s, std::size_t from) {
    std::size_t i = from;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (const std::uint64_t high = word & 0x8080808080808080u; high != 0)
            return i + static_cast<std::size_t>((std::endian::native == std::endian::little
                                                     ? std::countr_zero(high)
                                                     : std::countl_zero(high)) >>
                                                3);
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

// Valid UTF-8 throughout, but for a sequence cut off at the very end when allowed.
bool IsUtf8(std::string_view s, bool truncated) {
    for (std::size_t i = AsciiUpTo(s, 0); i < s.size();) {
        if (static_cast<unsigned char>(s[i]) < 0x80) {
            i = AsciiUpTo(s, i);
            continue;
        }
        std::size_t length = 0;
        if (Decode(s.substr(i), length) == 0xFFFD && length == 1) {
            return truncated && s.size() - i < 4;
        }
        i += length;
    }
    return true;
}

}  // namespace

std::string DecodeDiaryLine(std::string_view bytes, bool truncated) {
    std::string text;
    AppendDecodedLine(text, bytes, truncated);
    return text;
}

void AppendDecodedLine(std::string& text, std::string_view bytes, bool truncated) {
    const std::size_t ascii = AsciiUpTo(bytes, 0);
    if (ascii == bytes.size()) {
        text.append(bytes);
        return;
    }
    text.reserve(text.size() + bytes.size() + bytes.size() / 2);
    if (IsUtf8(bytes, truncated)) {
        std::size_t i = ascii;
        while (i < bytes.size()) {
            std::size_t length = 0;
            const char32_t c = Decode(bytes.substr(i), length);
            if (c == 0xFFFD && length == 1) break;  // the cut-off end
            i = AsciiUpTo(bytes, i + length);
        }
        text.append(bytes.substr(0, i));
        return;
    }
    AppendWindows1252(text, bytes);
}

char* DecodeDiaryLineTo(char* out, std::string_view bytes) {
    std::size_t ascii = AsciiUpTo(bytes, 0);
    if (ascii == bytes.size() || IsUtf8(bytes, false)) {
        return CopyShort(out, bytes.data(), bytes.size());
    }
    for (std::size_t i = 0;;) {
        out = CopyShort(out, bytes.data() + i, ascii - i);
        if (ascii == bytes.size()) return out;
        const auto byte = static_cast<unsigned char>(bytes[ascii]);
        const char32_t c = byte >= 0xA0                      ? byte
                           : kHighControls[byte - 0x80] != 0 ? kHighControls[byte - 0x80]
                                                             : 0xFFFD;
        if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
        } else {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
        i = ascii + 1;
        ascii = AsciiUpTo(bytes, i);
    }
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string text;
    AppendWindows1252(text, bytes);
    return text;
}

bool IsValidUtf8(std::string_view bytes) { return IsUtf8(bytes, false); }

void Utf8Check::Feed(std::string_view bytes) {
    if (!valid_) return;
    if (!pending_.empty()) {
        const std::size_t length = SequenceLength(pending_[0]);
        const std::size_t take = std::min(length - pending_.size(), bytes.size());
        pending_.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (pending_.size() < length) return;
        valid_ = IsUtf8(pending_, false);
        pending_.clear();
        if (!valid_) return;
    }
    // A sequence the piece ends inside of waits for the next piece.
    std::size_t whole = bytes.size();
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
        if (byte >= 0xC0 && SequenceLength(static_cast<char>(byte)) > back) whole = bytes.size() - back;
        break;
    }
    valid_ = IsUtf8(bytes.substr(0, whole), false);
    if (valid_) pending_.assign(bytes.substr(whole));
}

namespace {

void AppendWindows1252(std::string& text, std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        // Runs of ASCII, most of a line, are copied as they are.
        const std::size_t ascii = AsciiUpTo(bytes, i);
        text.append(bytes.substr(i, ascii - i));
        if (ascii == bytes.size()) break;
        i = ascii;
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0xA0) {
            const char32_t mapped = kHighControls[byte - 0x80];
            AppendUtf8(text, mapped != 0 ? mapped : 0xFFFD);
        } else {
            AppendUtf8(text, byte);
        }
    }
}

}  // namespace

std::string FirstCodePoints(std::string_view utf8, std::size_t count) {
    std::size_t i = 0;
    for (std::size_t n = 0; i < utf8.size() && n < count; ++n) {
        ++i;
        while (i < utf8.size() && (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return std::string(utf8.substr(0, i));
}

std::string EncodeWindows1252(std::string_view utf8) {
    std::string bytes;
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 0;
        bytes += ToByte(Decode(utf8.substr(i), length));
        i += length;
    }
    return bytes;
}

}  // namespace suelvan
