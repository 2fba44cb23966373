#include "core/entry_order.h"

#include <algorithm>
#include <climits>

namespace suelvan {

EntryOrder::EntryOrder(std::vector<int> sectionDays, std::function<void(std::vector<DiaryEntry>&)> out)
    : earliestAfter_(std::move(sectionDays)), out_(std::move(out)) {
    for (std::size_t i = earliestAfter_.size(); i-- > 1;)
        earliestAfter_[i - 1] = std::min(earliestAfter_[i - 1], earliestAfter_[i]);
}

void EntryOrder::Add(DiaryEntry&& entry) {
    if (!last_ || lastDay_ != entry.day) {
        auto [at, made] = held_.try_emplace(entry.day);
        if (made && !spare_.empty()) {
            at->second = std::move(spare_.back());
            spare_.pop_back();
        }
        last_ = &at->second;
        lastDay_ = entry.day;
    }
    last_->push_back(std::move(entry));
}

void EntryOrder::SectionBegins() {
    // This section and the ones after it file entries under their own day, or the day before.
    const int earliest = section_ < earliestAfter_.size() ? earliestAfter_[section_] : INT_MAX;
    ++section_;
    HandOnBefore(earliest == INT_MAX ? INT_MAX : earliest - 1);
}

void EntryOrder::Finish() { HandOnBefore(INT_MAX); }

void EntryOrder::HandOnBefore(int day) {
    while (!held_.empty() && (day == INT_MAX || held_.begin()->first < day)) {
        std::vector<DiaryEntry>& entries = held_.begin()->second;
        // The line makes the order total; a day written in order mostly comes sorted.
        const auto before = [](const DiaryEntry& a, const DiaryEntry& b) {
            return a.minute != b.minute ? a.minute < b.minute : a.line < b.line;
        };
        if (!std::is_sorted(entries.begin(), entries.end(), before))
            std::sort(entries.begin(), entries.end(), before);
        out_(entries);
        entries.clear();
        if (spare_.size() < 8 && entries.capacity() > 0) spare_.push_back(std::move(entries));
        if (last_ == &entries) last_ = nullptr;
        held_.erase(held_.begin());
    }
}

}  // namespace suelvan
