#include "core/entry.h"

#include <gtest/gtest.h>

#include <string>

#include "core/encoding.h"
#include "core/short_copy.h"

namespace suelvan {
namespace {

struct EntryCase {
    LocalDateTime time;
    LoudnessLevel loudness;
    bool landing;
    const char* note;
    const char* line;
};

class Entry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entry, JoinsTimeMarkersAndNote) {
    const EntryCase& c = GetParam();
    EXPECT_EQ(ComposeEntry(c.time, c.loudness, c.landing, c.note), c.line);
}

constexpr LocalDateTime k1430{2007, 11, 12, 14, 30, 0};
constexpr LocalDateTime k0705{2007, 9, 8, 7, 5, 0};

INSTANTIATE_TEST_SUITE_P(
    Markers, Entry,
    ::testing::Values(EntryCase{k1430, 2, true, "Tief", "14:30 !! Landung? Tief"},
                      EntryCase{k0705, 0, false, "Tief", "7:05 Tief"},
                      EntryCase{k0705, 3, false, "", "7:05 !!! "}, EntryCase{k0705, 1, false, "", "7:05 ! "},
                      EntryCase{k0705, 0, false, "", "7:05 "},
                      EntryCase{k0705, 0, true, "", "7:05 Landung? "},
                      EntryCase{k0705, 3, true, "x", "7:05 !!! Landung? x"},
                      EntryCase{k0705, 1, false, " x ", "7:05 !  x "},
                      EntryCase{k0705, 0, false, "!!! Landung? ", "7:05 !!! Landung? "}));

// A line break would split the entry and could forge a day header.
INSTANTIATE_TEST_SUITE_P(LineBreaks, Entry,
                         ::testing::Values(EntryCase{k0705, 1, false, "a\r\nMittwoch, 9.9.2007",
                                                     "7:05 ! a  Mittwoch, 9.9.2007"},
                                           EntryCase{k0705, 1, false, "\n", "7:05 !  "},
                                           EntryCase{k0705, 1, false, "a\rb", "7:05 ! a b"},
                                           EntryCase{k0705, 1, false,
                                                     "a\xC2\x85"
                                                     "b",
                                                     "7:05 ! a b"},
                                           EntryCase{k0705, 1, false,
                                                     "a\xE2\x80\xA8"
                                                     "b\xE2\x80\xA9",
                                                     "7:05 ! a b "},
                                           EntryCase{k0705, 1, false, "\tTab\f", "7:05 ! \tTab\f"}));

struct EncodingCase {
    const char* utf8;
    const char* bytes;
};

class Windows1252 : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(Windows1252, EncodesOrReplaces) { EXPECT_EQ(EncodeWindows1252(GetParam().utf8), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(
    Characters, Windows1252,
    ::testing::Values(EncodingCase{"Sülvan ÄÖÜäöüß", "S\xFClvan \xC4\xD6\xDC\xE4\xF6\xFC\xDF"},
                      EncodingCase{"€ „x“ – … ‰ Ÿ", "\x80 \x84x\x93 \x96 \x85 \x89 \x9F"},
                      EncodingCase{"\xC2\xA0©\xC3\xBF", "\xA0\xA9\xFF"}, EncodingCase{"中文", "??"},
                      EncodingCase{"a😀b", "a?b"}, EncodingCase{"\xC2\x81\xC2\x90", "??"},
                      EncodingCase{"\xC3", "?"}, EncodingCase{"\xC3(", "?("}, EncodingCase{"\xE2\x82", "??"},
                      EncodingCase{"\xED\xA0\x80", "???"}, EncodingCase{"\xC0\xAF", "??"},
                      EncodingCase{"\xFF\xFE", "??"}));

// Every size a row's pieces come in: the bytes copied, none outside them touched.
TEST(CopyShort, CopiesExactlyTheBytesGiven) {
    std::string source(80, '\0');
    for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<char>('A' + i % 50);
    for (std::size_t size = 0; size <= 70; ++size) {
        std::string target(size + 32, '.');
        char* end = CopyShort(target.data() + 16, source.data() + 3, size);
        EXPECT_EQ(end, target.data() + 16 + size);
        EXPECT_EQ(target, std::string(16, '.') + source.substr(3, size) + std::string(16, '.')) << size;
    }
}

}  // namespace
}  // namespace suelvan
