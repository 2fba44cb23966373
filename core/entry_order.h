// Entries of a diary read a second time, handed on in the report's order (date, time,
// line) as soon as no later part of the diary can come before them: a CSV of any size is
// written while it is read, holding a day or two. What the first reading knew of the
// sections tells when a day is complete; a section out of date order only holds back the
// days after its date until it has been read.
#pragma once

#include <climits>
#include <functional>
#include <map>
#include <vector>

#include "core/diary_entry.h"

namespace suelvan {

class EntryOrder {
   public:
    // The day of each section, in file order, as the first reading saw them; kNoDay for a
    // date that does not exist.
    static constexpr int kNoDay = INT_MAX;
    // `out` is handed a day's entries at a time, sorted; it may take them.
    EntryOrder(std::vector<int> sectionDays, std::function<void(std::vector<DiaryEntry>& day)> out);
    void Add(DiaryEntry&& entry);
    // The reader begins the next section: the ones before have handed on every entry.
    void SectionBegins();
    void Finish();

   private:
    void HandOnBefore(int day);  // every day held before `day`

    std::vector<int> earliestAfter_;  // per section: the earliest day of it and those after it
    std::size_t section_ = 0;         // sections begun
    std::function<void(std::vector<DiaryEntry>&)> out_;
    std::map<int, std::vector<DiaryEntry>> held_;
    std::vector<DiaryEntry>* last_ = nullptr;  // of lastDay_, in held_: entries come day by day
    int lastDay_ = 0;
    std::vector<std::vector<DiaryEntry>> spare_;  // emptied, their room kept for the next days
};

}  // namespace suelvan
