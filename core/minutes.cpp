#include "core/minutes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace suelvan {
namespace {

const std::int64_t kFirstSecond = WallSeconds({100, 1, 1, 0, 0, 0});
const std::int64_t kLastSecond = WallSeconds({9999, 12, 31, 23, 59, 59});

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// The user's text in a message, shortened so a pasted novel cannot flood the dialog.
std::string Quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    if (text.size() <= kShown) return "\"" + std::string(text) + "\"";
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // keep UTF-8 whole
    return "\"" + std::string(text.substr(0, cut)) + "...\"";
}

[[noreturn]] void ThrowTooLarge(std::string_view text) {
    throw std::range_error("Die Minutenangabe " + Quoted(text) + " ist zu groß.");
}

// Hands out the characters of a text with blanks, tabs and line feeds left out.
class Reader {
   public:
    explicit Reader(std::string_view text) : text_(text) { Skip(); }
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
    void Next() {
        ++pos_;
        Skip();
    }

   private:
    void Skip() {
        while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
    }
    std::string_view text_;
    std::size_t pos_ = 0;
};

double ReadRadixInteger(Reader& in, int radix, std::string_view text) {
    std::uint64_t value = 0;
    for (int digit; (digit = DigitValue(in.Peek())) < radix; in.Next()) {
        if (value > (UINT64_MAX - static_cast<unsigned>(digit)) / static_cast<unsigned>(radix)) {
            ThrowTooLarge(text);
        }
        value = value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
    }
    return static_cast<double>(value);
}

}  // namespace

double ReadLeadingNumber(std::string_view text) {
    Reader in(text);
    if (in.Peek() == '&') {
        in.Next();
        const char kind = in.Peek();
        if (kind != 'h' && kind != 'H' && kind != 'o' && kind != 'O') return 0;
        in.Next();
        return ReadRadixInteger(in, kind == 'h' || kind == 'H' ? 16 : 8, text);
    }

    bool negative = false;
    if (in.Peek() == '+' || in.Peek() == '-') {
        negative = in.Peek() == '-';
        in.Next();
    }
    std::string digits;  // the mantissa's digits, without the point
    int pointAt = -1;    // how many of them stand before the point
    for (char c; (c = in.Peek()) != '\0'; in.Next()) {
        if (IsDigit(c)) {
            digits += c;
        } else if (c == '.' && pointAt < 0) {
            pointAt = static_cast<int>(digits.size());
        } else {
            break;
        }
    }
    if (digits.empty()) return 0;
    if (pointAt < 0) pointAt = static_cast<int>(digits.size());

    // Saturates: a larger exponent is out of range either way.
    std::int64_t exponent = 0;
    if (in.Peek() == 'e' || in.Peek() == 'E') {
        in.Next();
        bool negativeExponent = false;
        if (in.Peek() == '+' || in.Peek() == '-') {
            negativeExponent = in.Peek() == '-';
            in.Next();
        }
        for (; IsDigit(in.Peek()); in.Next()) {
            exponent = std::min<std::int64_t>(exponent * 10 + (in.Peek() - '0'), 1'000'000'000);
        }
        if (negativeExponent) exponent = -exponent;
    }

    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) return 0;
    // Decimal magnitude of the first significant digit.
    const std::int64_t magnitude = pointAt - static_cast<std::int64_t>(firstNonZero) - 1 + exponent;
    if (magnitude > 308) ThrowTooLarge(text);
    if (magnitude < -320) return 0;

    const std::string normal = "0." + digits.substr(firstNonZero) + "e" + std::to_string(magnitude + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error == std::errc::result_out_of_range) {
        if (magnitude > 0) ThrowTooLarge(text);
        value = 0;
    } else if (error != std::errc{} || end != normal.data() + normal.size()) {
        ThrowTooLarge(text);  // cannot happen for the text built above
    }
    return negative ? -value : value;
}

LocalDateTime ApplyMinutesBack(const LocalDateTime& now, std::string_view minutesText,
                               const LocalTimeAt& localAt) {
    if (minutesText == "0") return now;
    const double minutes = std::round(ReadLeadingNumber(minutesText));
    const double seconds = static_cast<double>(WallSeconds(now)) - minutes * 60;
    const auto outOfRange = [&] {
        return std::range_error("Die um " + Quoted(minutesText) +
                                " Minuten verschobene Zeit liegt außerhalb von 1.1.100 bis 31.12.9999.");
    };
    if (!(seconds >= static_cast<double>(kFirstSecond) && seconds <= static_cast<double>(kLastSecond))) {
        throw outOfRange();
    }
    const std::int64_t shift = static_cast<std::int64_t>(minutes) * 60;
    if (!localAt) {
        LocalDateTime moved = FromWallSeconds(WallSeconds(now) - shift);
        moved.utcOffset = now.utcOffset;
        return moved;
    }
    const LocalDateTime moved = localAt(ToUnixSeconds(now) - shift);
    if (WallSeconds(moved) < kFirstSecond || WallSeconds(moved) > kLastSecond) throw outOfRange();
    return moved;
}

}  // namespace suelvan
