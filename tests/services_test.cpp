#include "platform/services.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "tests/german.h"

namespace suelvan::platform {
namespace {

// The real clock's zone rules, in a fixed zone whatever the machine's is.
class BerlinZone : public ::testing::Test {
   protected:
    BerlinZone() {
        if (const char* tz = std::getenv("TZ")) old_ = tz;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    ~BerlinZone() override {
        if (old_.empty()) {
            unsetenv("TZ");
        } else {
            setenv("TZ", old_.c_str(), 1);
        }
        tzset();
    }
    SystemServices services_;
    std::string old_;
};

struct Elapsed {
    LocalDateTime now;
    const char* minutes;
    LocalDateTime heard;
};

void PrintTo(const Elapsed& c, std::ostream* out) {
    PrintTo(c.now, out);
    *out << " minus \"" << c.minutes << '"';
}

class ElapsedMinutes : public BerlinZone, public ::testing::WithParamInterface<Elapsed> {};

TEST_P(ElapsedMinutes, AreCountedAcrossClockChanges) {
    const auto localAt = [this](std::int64_t at) { return services_.LocalAt(at); };
    EXPECT_EQ(ApplyMinutesBack(GetParam().now, GetParam().minutes, localAt), GetParam().heard);
}

INSTANTIATE_TEST_SUITE_P(
    DaylightSaving, ElapsedMinutes,
    ::testing::Values(Elapsed{{2026, 3, 29, 3, 5, 0, 7200}, "10", {2026, 3, 29, 1, 55, 0, 3600}},
                      Elapsed{{2026, 10, 25, 2, 5, 0, 3600}, "30", {2026, 10, 25, 2, 35, 0, 7200}},
                      Elapsed{{2026, 10, 25, 3, 10, 0, 3600}, "60", {2026, 10, 25, 2, 10, 0, 3600}},
                      Elapsed{{2026, 12, 9, 0, 5, 0, 3600}, "10", {2026, 12, 8, 23, 55, 0, 3600}}));

TEST_F(BerlinZone, NowCarriesItsOffset) {
    const LocalDateTime now = services_.Now();
    EXPECT_TRUE(now.utcOffset == 3600 || now.utcOffset == 7200) << now.utcOffset;
    EXPECT_EQ(services_.LocalAt(ToUnixSeconds(now)), now);
}

TEST(ProgramDir, IsTheExecutablesFolderAsBytes) {
    SystemServices services;
    const std::filesystem::path dir = services.ProgramDir();
    EXPECT_TRUE(dir.is_absolute());
    EXPECT_EQ(dir, std::filesystem::canonical("/proc/self/exe").parent_path());
}

}  // namespace
}  // namespace suelvan::platform
