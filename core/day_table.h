// Counts by day (or by night), in day order. A diary mostly comes day after day: those go
// to the end of a deque, which grows in small blocks and never moves what it holds. Days
// that come back out of order go to a map beside it, so a million days cost some 32 MB
// and only the disorder costs more.
#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <iterator>
#include <map>
#include <stdexcept>
#include <utility>

namespace suelvan {

template <typename T>
class DayTable {
   public:
    using Item = std::pair<int, T>;

    // The counts of `day`, made empty when new; stays where it is while others are added.
    T& operator[](int day) {
        if (ordered_.empty() || day > ordered_.back().first) return ordered_.emplace_back(day, T{}).second;
        if (day == ordered_.back().first) return ordered_.back().second;
        if (Item* item = FindOrdered(day)) return item->second;
        return late_.try_emplace(day, day, T{}).first->second.second;
    }

    const T& at(int day) const {
        const auto found = find(day);
        if (found == end()) throw std::out_of_range("DayTable::at");
        return found->second;
    }

    std::size_t size() const { return ordered_.size() + late_.size(); }
    bool empty() const { return size() == 0; }

    // Both parts merged by day.
    class const_iterator {
       public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Item;
        using difference_type = std::ptrdiff_t;
        using pointer = const Item*;
        using reference = const Item&;

        const_iterator() = default;
        reference operator*() const { return FromOrdered() ? *ordered_ : late_->second; }
        pointer operator->() const { return &**this; }
        const_iterator& operator++() {
            if (FromOrdered()) {
                ++ordered_;
            } else {
                ++late_;
            }
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        friend bool operator==(const const_iterator& a, const const_iterator& b) {
            return a.ordered_ == b.ordered_ && a.late_ == b.late_;
        }

       private:
        friend class DayTable;
        using Ordered = typename std::deque<Item>::const_iterator;
        using Late = typename std::map<int, Item>::const_iterator;
        const_iterator(Ordered ordered, Ordered orderedEnd, Late late, Late lateEnd)
            : ordered_(ordered), orderedEnd_(orderedEnd), late_(late), lateEnd_(lateEnd) {}
        bool FromOrdered() const {
            return late_ == lateEnd_ || (ordered_ != orderedEnd_ && ordered_->first < late_->first);
        }
        Ordered ordered_{};
        Ordered orderedEnd_{};
        Late late_{};
        Late lateEnd_{};
    };

    const_iterator begin() const { return {ordered_.begin(), ordered_.end(), late_.begin(), late_.end()}; }
    const_iterator end() const { return {ordered_.end(), ordered_.end(), late_.end(), late_.end()}; }

    const_iterator find(int day) const {
        const auto ordered = std::lower_bound(ordered_.begin(), ordered_.end(), day,
                                              [](const Item& item, int d) { return item.first < d; });
        const auto late = late_.lower_bound(day);
        const const_iterator at(ordered, ordered_.end(), late, late_.end());
        return at != end() && at->first == day ? at : end();
    }

   private:
    Item* FindOrdered(int day) {
        const auto at = std::lower_bound(ordered_.begin(), ordered_.end(), day,
                                         [](const Item& item, int d) { return item.first < d; });
        return at != ordered_.end() && at->first == day ? &*at : nullptr;
    }

    std::deque<Item> ordered_;
    std::map<int, Item> late_;  // each under its own day
};

}  // namespace suelvan
