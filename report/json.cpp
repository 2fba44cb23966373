#include "report/json.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <charconv>
#include <climits>
#include <cstring>

#include "core/calendar.h"
#include "core/encoding.h"
#include "core/logfile.h"
#include "report/output.h"

namespace suelvan::report {
namespace {

// Hex digits of \u escapes in lower case, as the report has always written them. Only a
// control character in a text is escaped so; a backslash is rare, so the block is looked
// at only where one stands.
void LowerHexEscapes(char* text, std::size_t size) {
    for (char* at = static_cast<char*>(std::memchr(text, '\\', size)); at != nullptr;) {
        const std::size_t left = size - static_cast<std::size_t>(at - text);
        if (left < 2) break;
        if (at[1] == 'u') {
            for (std::size_t i = 2; i < 6 && i < left; ++i) {
                if (at[i] >= 'A' && at[i] <= 'F') at[i] = static_cast<char>(at[i] - 'A' + 'a');
            }
        }
        at += 2;  // past the escaped character: "\\u" is a backslash, then a u
        at = left > 2 ? static_cast<char*>(std::memchr(at, '\\', left - 2)) : nullptr;
    }
}

// Text as valid UTF-8: a path's bytes that are no UTF-8 become U+FFFD.
std::string ValidUtf8(std::string_view text) {
    std::string valid;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80             ? 1
                                   : (lead & 0xE0) == 0xC0 ? 2
                                   : (lead & 0xF0) == 0xE0 ? 3
                                                           : 4;
        const std::string_view piece = text.substr(i, length);
        if (lead < 0x80 || (lead >= 0xC2 && lead < 0xF5 && IsValidUtf8(piece) && piece.size() == length)) {
            valid.append(piece);
            i += length;
        } else {
            valid.append("\xEF\xBF\xBD");
            ++i;
        }
    }
    return valid;
}

// Days and nights come in order, mostly one after the other: a date's text is counted on
// from the one before instead of worked out again.
class IsoDates {
   public:
    char* Put(char* at, int day) {
        if (day == day_ + 1 && (date_.day < 28 || IsCalendarDate(date_.year, date_.month, date_.day + 1))) {
            ++date_.day;
            text_[8] = static_cast<char>('0' + date_.day / 10);
            text_[9] = static_cast<char>('0' + date_.day % 10);
        } else {
            date_ = DateOfDayNumber(day);
            PutIsoDate(text_, day);
        }
        day_ = day;
        std::memcpy(at, text_, sizeof text_);
        return at + sizeof text_;
    }

   private:
    int day_ = INT_MIN;  // none yet
    CalendarDate date_{};
    char text_[10] = {};
};

// "HH:MM" of every minute of a day, made once: a night names two.
class ClockTexts {
   public:
    ClockTexts() {
        for (int minute = 0; minute < 24 * 60; ++minute) PutClockText(texts_[minute].data(), minute);
    }
    char* Put(char* at, int minute) const {
        std::memcpy(at, texts_[static_cast<std::size_t>(minute)].data(), 5);
        return at + 5;
    }

   private:
    std::array<std::array<char, 5>, 24 * 60> texts_{};
};

}  // namespace

struct JsonWriter::State {
    State(const Report& r, const DiaryInfo& d) : report(r), diary(d), writer(buffer) {}

    void String(std::string_view text) {
        writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    }
    void Key(const char* key) { writer.Key(key); }
    void Date(const std::optional<int>& day) {
        if (day) {
            String(IsoDate(*day));
        } else {
            writer.Null();
        }
    }
    template <typename Counts>
    void Numbers(const Counts& counts) {
        writer.StartArray();
        for (const int n : counts) writer.Int(n);
        writer.EndArray();
    }
    // A day and a night hold only numbers and dates: written straight into the block,
    // without the writer, since a million of them may follow.
    char* Day(char* at, int day, const DayCounts& counts) {
        at = dayDates.Put(Put(at, "{\"date\":\""), day);
        at = Number(Put(at, "\",\"entries\":"), counts.entries);
        at = Number(Put(at, ",\"landings\":"), counts.landings);
        at = Put(at, ",\"levels\":[");
        for (std::size_t level = 0; level < counts.levels.size(); ++level) {
            if (level > 0) *at++ = ',';
            at = Number(at, counts.levels[level]);
        }
        at = Number(Put(at, "],\"night_entries\":"), counts.nightEntries);
        *at++ = '}';
        return at;
    }
    char* Night(char* at, int night, const NightCounts& counts) {
        at = Number(Put(at, "{\"entries\":"), counts.entries);
        at = clocks.Put(Put(at, ",\"first\":\""), counts.first);
        at = clocks.Put(Put(at, "\",\"last\":\""), counts.last);
        at = nightDates.Put(Put(at, "\",\"night\":\""), night);
        return Put(at, "\"}");
    }
    // The items of an array the writer has opened, with their separators, appended to
    // `block` until it holds `bytes`; whether every one is out.
    template <typename Iterator, typename Item>
    static bool Items(std::string& block, std::size_t bytes, Iterator& item, const Iterator& end, bool& first,
                      Item put) {
        // Room for the longest item: every number of eleven characters.
        constexpr std::size_t kItemRoom = 160;
        std::size_t used = block.size();
        for (; item != end && used < bytes; ++item) {
            if (block.size() < used + kItemRoom) block.resize(used + kItemRoom + (64 << 10));
            char* at = block.data() + used;
            if (!first) *at++ = ',';
            first = false;
            used = static_cast<std::size_t>(put(at, *item) - block.data());
        }
        block.resize(used);
        return item == end;
    }
    // What the writer made, handed on.
    void Flush(std::string& block) {
        char* made = const_cast<char*>(buffer.GetString());
        LowerHexEscapes(made, buffer.GetSize());
        block.append(made, buffer.GetSize());
        buffer.Clear();
    }
    template <std::size_t N>
    static char* Put(char* at, const char (&text)[N]) {
        std::memcpy(at, text, N - 1);
        return at + N - 1;
    }
    static char* Number(char* at, int n) {
        if (n >= 0 && n < 10) {  // most counts of a day or a night
            *at = static_cast<char>('0' + n);
            return at + 1;
        }
        return std::to_chars(at, at + 11, n).ptr;
    }
    // Between the days and the nights.
    void Middle() {
        writer.EndArray();
        Key("diary");
        writer.StartObject();
        Key("bytes");
        writer.Uint64(diary.bytes);
        Key("path");
        String(ValidUtf8(ShownPath(diary.path)));
        Key("sha256");
        String(diary.sha256);
        writer.EndObject();
        Key("entries");
        writer.Int(report.total.entries);
        Key("hours");
        Numbers(report.hours);
        Key("landings");
        writer.Int(report.total.landings);
        Key("levels");
        Numbers(report.total.levels);
        Key("night");
        writer.StartObject();
        Key("from");
        String(ClockText(report.night.start));
        Key("to");
        String(ClockText(report.night.end));
        writer.EndObject();
        Key("night_entries");
        writer.Int(report.total.nightEntries);
        Key("nights");
        writer.StartArray();
    }
    void End() {
        writer.EndArray();
        Key("period");
        writer.StartObject();
        Key("from");
        Date(report.from);
        Key("to");
        Date(report.to);
        writer.EndObject();
        Key("undated");
        writer.StartObject();
        Key("count");
        writer.Uint64(report.undatedCount);
        Key("lines");
        writer.StartArray();
        for (const std::uint64_t line : report.undatedLines) writer.Uint64(line);
        writer.EndArray();
        writer.EndObject();
        Key("unrecognised");
        writer.StartObject();
        Key("count");
        writer.Uint64(report.unrecognisedCount);
        Key("lines");
        writer.StartArray();
        for (const UnrecognisedLine& line : report.unrecognisedLines) {
            writer.StartObject();
            Key("line");
            writer.Uint64(line.line);
            Key("text");
            String(line.text);
            writer.EndObject();
        }
        writer.EndArray();
        writer.EndObject();
        writer.EndObject();
    }

    const Report& report;
    const DiaryInfo& diary;
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer;
    IsoDates dayDates;
    IsoDates nightDates;
    ClockTexts clocks;
    enum class Stage { Start, Days, Nights, Done } stage = Stage::Start;
    DayTable<DayCounts>::const_iterator day;
    DayTable<NightCounts>::const_iterator night;
    bool first = true;  // no item of the array yet
};

JsonWriter::JsonWriter(const Report& report, const DiaryInfo& diary)
    : state_(std::make_unique<State>(report, diary)) {}

JsonWriter::~JsonWriter() = default;

bool JsonWriter::Next(std::string& block, std::size_t bytes) {
    State& s = *state_;
    if (s.stage == State::Stage::Start) {
        s.writer.StartObject();
        s.Key("days");
        s.writer.StartArray();
        s.Flush(block);
        s.day = s.report.days.begin();
        s.stage = State::Stage::Days;
    }
    if (s.stage == State::Stage::Days &&
        State::Items(block, bytes, s.day, s.report.days.end(), s.first,
                     [&](char* at, const auto& day) { return s.Day(at, day.first, day.second); })) {
        s.Middle();
        s.Flush(block);
        s.night = s.report.nights.begin();
        s.first = true;
        s.stage = State::Stage::Nights;
    }
    if (s.stage == State::Stage::Nights &&
        State::Items(block, bytes, s.night, s.report.nights.end(), s.first,
                     [&](char* at, const auto& night) { return s.Night(at, night.first, night.second); })) {
        s.End();
        s.Flush(block);
        s.stage = State::Stage::Done;
    }
    return s.stage != State::Stage::Done;
}

std::string JsonText(const Report& report, const DiaryInfo& diary) {
    std::string text;
    JsonWriter writer(report, diary);
    while (writer.Next(text, std::string::npos)) {
    }
    return text;
}

void WriteJson(platform::OutputFile& output, const Report& report, const DiaryInfo& diary) {
    JsonWriter writer(report, diary);
    WriteOutput(output, [&](std::string& block) {
        constexpr std::size_t kBlock = 1 << 20;
        // Room made once: a block grown for each of a hundred would be new memory each time.
        block.reserve(kBlock + (1 << 20));
        return writer.Next(block, kBlock);
    });
}

}  // namespace suelvan::report
