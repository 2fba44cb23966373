// The log's bytes are Windows-1252 on every system, so one file reads the same everywhere.
#pragma once

#include <string>
#include <string_view>

namespace suelvan {

// UTF-8 in, Windows-1252 out; a character the code page lacks, or a broken UTF-8
// sequence, becomes one '?'.
std::string EncodeWindows1252(std::string_view utf8);

}  // namespace suelvan

namespace suelvan {

// A line of the diary as text: UTF-8 when it is valid UTF-8 (a line added in a UTF-8
// editor), else Windows-1252, its five undefined bytes as U+FFFD. `truncated` allows a
// sequence cut off at the end, for lines kept only in part.
std::string DecodeDiaryLine(std::string_view bytes, bool truncated = false);
// The same, appended to `text`.
void AppendDecodedLine(std::string& text, std::string_view bytes, bool truncated = false);
// The same, whole, written at `out`, which has room for three bytes each; where it ends.
char* DecodeDiaryLineTo(char* out, std::string_view bytes);

// The first `count` code points of UTF-8 text.
std::string FirstCodePoints(std::string_view utf8, std::size_t count);

// Whether bytes are valid UTF-8 throughout.
bool IsValidUtf8(std::string_view bytes);
// Windows-1252 bytes as UTF-8, its five undefined bytes as U+FFFD.
std::string DecodeWindows1252(std::string_view bytes);

// Whether bytes fed in pieces are valid UTF-8 as a whole, a sequence split between pieces
// included: a line of 200 MB is judged without being held.
class Utf8Check {
   public:
    void Feed(std::string_view bytes);
    bool Valid() const { return valid_ && pending_.empty(); }

   private:
    bool valid_ = true;
    std::string pending_;  // a sequence begun at the end of the last piece
};

}  // namespace suelvan
