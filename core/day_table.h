// Counts by day (or by night), in day order, in little memory: a million days of a 1 GB
// diary take some 15 MB. A diary mostly comes day after day. The last few days are held
// as they are, for the counting to add to; older ones are sealed into a byte log, a few
// bytes a day. A sealed day that is counted again (its section comes back out of order)
// is counted beside it and merged as it is read: only the disorder costs more.
#pragma once

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace suelvan {

// Unsigned numbers seven bits a byte; what is packed is read back the same way.
inline void PackNumber(std::string& out, std::uint64_t n) {
    while (n >= 0x80) {
        out += static_cast<char>((n & 0x7F) | 0x80);
        n >>= 7;
    }
    out += static_cast<char>(n);
}

inline std::uint64_t UnpackNumber(const char*& at) {
    std::uint64_t n = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        n |= std::uint64_t{byte & 0x7Fu} << shift;
        if (byte < 0x80) return n;
    }
}

// T provides Pack(std::string&, const T&) and Unpack(const char*&, T&) found beside it.
template <typename T>
class DayTable {
   public:
    using Item = std::pair<int, T>;
    // Adds the counts of one part of a day to those of another.
    using Merge = std::function<void(T& into, const T& more)>;

    explicit DayTable(Merge merge = {}) : merge_(std::move(merge)) {}

    // The counts of `day` to add to, made empty when new; stays where it is until a day
    // several days later is asked for.
    T& operator[](int day) {
        if (recent_.empty() || day > recent_.back().first) {
            recent_.emplace_back(day, T{});
            while (recent_.size() > kRecent) Seal();
            return recent_.back().second;
        }
        if (day == recent_.back().first) return recent_.back().second;
        if (sealedCount_ == 0 || day > lastSealed_) {
            const auto at = std::lower_bound(recent_.begin(), recent_.end(), day,
                                             [](const Item& item, int d) { return item.first < d; });
            if (at != recent_.end() && at->first == day) return at->second;
            return recent_.insert(at, Item(day, T{}))->second;
        }
        return late_.try_emplace(day, day, T{}).first->second.second;
    }

    // Adds another table's counts, day by day.
    void Add(const DayTable& more) {
        for (const Item& item : more) merge_((*this)[item.first], item.second);
    }
    // The same, taking them: a table whose days all come later, as the second half of a
    // diary's usually do, is joined on whole instead of day by day.
    void Add(DayTable&& more) {
        const std::optional<int> first = more.FirstDay();
        const std::optional<int> last = LastDay();
        if (!first || !last || *first < *last || !late_.empty() || !more.late_.empty() ||
            more.sealedCount_ == 0 || (*first == *last && recent_.empty())) {
            Add(more);
            return;
        }
        // A day in both, as the night the two halves share: added as a late day once joined.
        std::optional<Item> shared;
        if (*first == *last) {
            shared = std::move(recent_.back());
            recent_.pop_back();
        }
        while (!recent_.empty()) Seal();
        // Its first day was sealed as the start; here it follows this table's last.
        std::string& start = more.sealed_.front();
        std::string joined;
        if (sealedCount_ == 0) {
            firstSealed_ = more.firstSealed_;
            PackNumber(joined, 0);
        } else {
            PackNumber(joined, static_cast<std::uint64_t>(more.firstSealed_ - lastSealed_));
        }
        start.replace(0, 1, joined);  // a sealed start is the one byte of 0
        std::move(more.sealed_.begin(), more.sealed_.end(), std::back_inserter(sealed_));
        sealedCount_ += more.sealedCount_;
        lastSealed_ = more.lastSealed_;
        recent_ = std::move(more.recent_);
        more = DayTable(merge_);
        if (shared) merge_((*this)[shared->first], shared->second);
    }

    const T& at(int day) const {
        for (const Item& item : *this) {
            if (item.first == day) {
                found_ = item;
                return found_.second;
            }
        }
        throw std::out_of_range("DayTable::at");
    }

    std::size_t size() const { return static_cast<std::size_t>(std::distance(begin(), end())); }
    bool empty() const { return recent_.empty() && late_.empty() && sealedCount_ == 0; }

    // The sealed, the recent and the late days merged by day.
    class const_iterator {
       public:
        using iterator_category = std::input_iterator_tag;
        using value_type = Item;
        using difference_type = std::ptrdiff_t;
        using pointer = const Item*;
        using reference = const Item&;

        const_iterator() = default;
        reference operator*() const { return current_; }
        pointer operator->() const { return &current_; }
        const_iterator& operator++() {
            Load();
            return *this;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.done_ == b.done_;
        }

       private:
        friend class DayTable;
        explicit const_iterator(const DayTable* table)
            : table_(table),
              sealedLeft_(table->sealedCount_),
              recent_(table->recent_.begin()),
              late_(table->late_.begin()) {
            Load();
        }
        // The next day of any part, and the same day of the others merged into it.
        void Load() {
            const int none = INT32_MAX;
            if (sealedLeft_ > 0 && !haveSealed_) {
                if (!sealed_ || sealed_ == chunkEnd_) {
                    const std::string& chunk = table_->sealed_[chunk_++];
                    sealed_ = chunk.data();
                    chunkEnd_ = chunk.data() + chunk.size();
                }
                sealedDay_ += static_cast<int>(UnpackNumber(sealed_)) + (first_ ? table_->firstSealed_ : 0);
                first_ = false;
                sealedItem_.first = sealedDay_;
                Unpack(sealed_, sealedItem_.second);
                haveSealed_ = true;
                --sealedLeft_;
            }
            const int a = haveSealed_ ? sealedDay_ : none;
            const int b = recent_ != table_->recent_.end() ? recent_->first : none;
            const int c = late_ != table_->late_.end() ? late_->first : none;
            const int day = std::min({a, b, c});
            if (day == none) {
                done_ = true;
                return;
            }
            bool have = false;
            const auto take = [&](const Item& item) {
                if (!have) {
                    current_ = item;
                    have = true;
                } else {
                    table_->merge_(current_.second, item.second);
                }
            };
            if (a == day) {
                take(sealedItem_);
                haveSealed_ = false;
            }
            if (b == day) take(*recent_++);
            if (c == day) take((late_++)->second);
        }

        const DayTable* table_ = nullptr;
        std::size_t chunk_ = 0;
        const char* sealed_ = nullptr;
        const char* chunkEnd_ = nullptr;
        std::size_t sealedLeft_ = 0;
        int sealedDay_ = 0;
        bool first_ = true;
        bool haveSealed_ = false;
        Item sealedItem_{};
        typename std::deque<Item>::const_iterator recent_{};
        typename std::map<int, Item>::const_iterator late_{};
        Item current_{};
        bool done_ = false;
    };

    const_iterator begin() const { return const_iterator(this); }
    const_iterator end() const {
        const_iterator end;
        end.done_ = true;
        return end;
    }

    const_iterator find(int day) const {
        for (auto it = begin(); it != end(); ++it) {
            if (it->first == day) return it;
            if (it->first > day) break;
        }
        return end();
    }

   private:
    static constexpr std::size_t kRecent = 4;

    std::optional<int> FirstDay() const {
        std::optional<int> first;
        if (sealedCount_ > 0) first = firstSealed_;
        if (!recent_.empty()) first = std::min(first.value_or(recent_.front().first), recent_.front().first);
        if (!late_.empty()) first = std::min(first.value_or(late_.begin()->first), late_.begin()->first);
        return first;
    }
    // With no late days: those lie before the sealed ones.
    std::optional<int> LastDay() const {
        if (!recent_.empty()) return recent_.back().first;
        if (sealedCount_ > 0) return lastSealed_;
        return std::nullopt;
    }

    // In chunks that never move once made, an item never split between two.
    void Seal() {
        constexpr std::size_t kChunk = 1 << 20;
        if (sealed_.empty() || sealed_.back().size() > kChunk - 128) {
            sealed_.emplace_back();
            sealed_.back().reserve(kChunk);
        }
        std::string& chunk = sealed_.back();
        const Item& oldest = recent_.front();
        if (sealedCount_ == 0) {
            firstSealed_ = oldest.first;
            PackNumber(chunk, 0);
        } else {
            PackNumber(chunk, static_cast<std::uint64_t>(oldest.first - lastSealed_));
        }
        Pack(chunk, oldest.second);
        lastSealed_ = oldest.first;
        ++sealedCount_;
        recent_.pop_front();
    }

    Merge merge_;
    std::vector<std::string> sealed_;
    std::size_t sealedCount_ = 0;
    int firstSealed_ = 0;
    int lastSealed_ = 0;
    std::deque<Item> recent_;
    std::map<int, Item> late_;  // each under its own day
    mutable Item found_{};
};

}  // namespace suelvan
