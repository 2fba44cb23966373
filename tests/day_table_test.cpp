// Counts by day: two tables joined count what one table of all their days counts.
#include "core/day_table.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "core/statistics.h"

namespace suelvan {
namespace {

struct JoinCase {
    const char* name;
    std::vector<int> first;  // days counted into the first table, in this order
    std::vector<int> later;  // and into the one added to it
};

DayTable<DayCounts> TableOf(const std::vector<int>& days, std::map<int, int>& expected) {
    DayTable<DayCounts> table([](DayCounts& into, const DayCounts& more) { into.entries += more.entries; });
    for (const int day : days) {
        ++table[day].entries;
        ++expected[day];
    }
    return table;
}

std::vector<int> Run(int from, int count) {
    std::vector<int> days;
    for (int day = from; day < from + count; ++day) days.push_back(day);
    return days;
}

class JoinedTables : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinedTables, CountWhatOneTableCounts) {
    std::map<int, int> expected;
    DayTable<DayCounts> table = TableOf(GetParam().first, expected);
    table.Add(TableOf(GetParam().later, expected));
    std::map<int, int> counted;
    for (const auto& [day, counts] : table) {
        EXPECT_EQ(counted.count(day), 0u) << day;
        counted[day] = counts.entries;
    }
    EXPECT_EQ(counted, expected);
    // Still counted on into, before, between and after its days.
    for (const int day : {-5, 150, 10'000}) {
        ++table[day].entries;
        ++expected[day];
    }
    counted.clear();
    for (const auto& [day, counts] : table) counted[day] += counts.entries;
    EXPECT_EQ(counted, expected);
}

std::vector<int> Joined(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

INSTANTIATE_TEST_SUITE_P(
    Halves, JoinedTables,
    ::testing::Values(JoinCase{"later_after_sealed", Run(0, 100), Run(100, 100)},
                      JoinCase{"later_after_a_gap", Run(0, 100), Run(5000, 3)},
                      JoinCase{"both_only_recent", Run(0, 2), Run(10, 2)},
                      JoinCase{"first_only_recent", Run(0, 3), Run(3, 50)},
                      JoinCase{"first_empty", {}, Run(7, 40)}, JoinCase{"later_empty", Run(7, 40), {}},
                      JoinCase{"later_begins_on_the_last_day", Run(0, 100), Run(99, 100)},
                      JoinCase{"first_is_the_day_later_begins_with", Run(5, 1), Run(5, 50)},
                      JoinCase{"later_overlaps", Run(0, 100), Run(50, 100)},
                      JoinCase{"later_before", Run(1000, 100), Run(0, 100)},
                      JoinCase{"first_has_a_day_out_of_order", Joined(Run(0, 100), {3}), Run(100, 100)},
                      JoinCase{"later_has_a_day_out_of_order", Run(0, 100), Joined(Run(100, 100), {120})},
                      JoinCase{"later_reaches_back_before_its_start", Run(0, 100),
                               Joined(Run(200, 100), {101})}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace suelvan
