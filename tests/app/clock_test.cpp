#include "app/clock.h"

#include <gtest/gtest.h>

namespace cl {
namespace {

TEST(Clock, TodayCanBeFixedAndDatesAreCheckedAgainstTheCalendar) {
    setToday("2024-02-29");
    EXPECT_EQ(todayIso(), "2024-02-29");
    EXPECT_EQ(currentYear(), 2024);
    setToday("");
    EXPECT_TRUE(isIsoDate(todayIso()));
    EXPECT_TRUE(isIsoDate("2024-02-29"));
    EXPECT_TRUE(isIsoDate("2000-02-29"));
    EXPECT_TRUE(isIsoDate("2026-12-31"));
    EXPECT_FALSE(isIsoDate("2026-02-29"));
    EXPECT_FALSE(isIsoDate("1900-02-29"));
    EXPECT_FALSE(isIsoDate("2026-02-31"));
    EXPECT_FALSE(isIsoDate("2026-04-31"));
    EXPECT_FALSE(isIsoDate("2026-13-01"));
    EXPECT_FALSE(isIsoDate("2026-00-10"));
    EXPECT_FALSE(isIsoDate("08/12/2026"));
    EXPECT_FALSE(isIsoDate("2026-1-1"));
}

}  // namespace
}  // namespace cl
