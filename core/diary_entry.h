// An entry read back from the diary: a plain value that remembers its line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace suelvan {

// An entry's note, UTF-8, held as one pointer (none when empty): half a million entries
// read without their notes stay small.
class Note {
   public:
    Note() = default;
    explicit Note(std::string text)
        : text_(text.empty() ? nullptr : std::make_unique<const std::string>(std::move(text))) {}
    explicit Note(const char* text) : Note(std::string(text)) {}
    Note(const Note& other) : Note(std::string(other.view())) {}
    Note(Note&&) noexcept = default;
    Note& operator=(const Note& other) { return *this = Note(other); }
    Note& operator=(Note&&) noexcept = default;

    std::string_view view() const { return text_ ? std::string_view(*text_) : std::string_view(); }
    operator std::string_view() const { return view(); }  // implicit: used as text
    bool empty() const { return !text_; }
    friend bool operator==(const Note& a, const Note& b) { return a.view() == b.view(); }
    friend bool operator==(const Note& a, std::string_view b) { return a.view() == b; }

   private:
    std::unique_ptr<const std::string> text_;
};

struct DiaryEntry {
    int day = 0;              // day number (days since 1970-01-01) of the date it is filed under
    std::int16_t minute = 0;  // 0..1439
    std::int8_t level = 0;    // 0..3
    bool landing = false;
    Note note;  // empty unless notes are kept
    std::uint64_t line = 0;
    // Where the note's bytes are in the file, kept or not: a window can fetch the notes
    // it shows instead of holding every one.
    std::uint64_t noteOffset = 0;
    std::uint64_t noteBytes = 0;
};

}  // namespace suelvan
