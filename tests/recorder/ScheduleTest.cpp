// The schedule check at a simulated clock: once, daily, weekly, across
// midnight, skipped ticks, starts while busy and unreadable texts.
#include <gtest/gtest.h>

#include "recorder/Schedule.h"

using namespace recorder;

namespace {

class ScheduleTest : public testing::Test {
protected:
  void SetUp() override {
    SetDefaultSettings(g, L"C:\\");
    g.OP_EnableSchRecording = true;
    g.OP_SchDate = 1;
    g.OP_SchTimeStartAt = TimeToStr(EncodeTime(10, 0, 0, 0));
    g.OP_SchTimeStopAt = TimeToStr(EncodeTime(10, 30, 0, 0));
    check.Clock = [this] { return clock; };
  }
  TScheduleActions At(int y, int m, int d, int h, int n, int s, bool busy = false) {
    clock = EncodeDate(y, m, d) + EncodeTime(h, n, s, 0);
    return check.Tick(g, started, busy);
  }
  TGlobalVars g;
  TScheduleCheck check;
  TDateTime clock = 0;
  bool started = false;
};

TEST_F(ScheduleTest, DailyStartsAndStopsOnce) {
  EXPECT_FALSE(At(2030, 3, 4, 9, 59, 59).Start);
  auto a = At(2030, 3, 4, 10, 0, 0);
  EXPECT_TRUE(a.Start);
  EXPECT_TRUE(a.StopPlayback);
  EXPECT_TRUE(started);
  // Further ticks within the same second and later do nothing.
  a = At(2030, 3, 4, 10, 0, 0);
  EXPECT_FALSE(a.Start);
  a = At(2030, 3, 4, 10, 15, 0);
  EXPECT_FALSE(a.Start || a.Stop || a.StopPlayback);
  a = At(2030, 3, 4, 10, 30, 0);
  EXPECT_TRUE(a.Stop);
  EXPECT_FALSE(started);
  // The next day again.
  At(2030, 3, 5, 9, 0, 0);
  EXPECT_TRUE(At(2030, 3, 5, 10, 0, 1).Start);
}

TEST_F(ScheduleTest, SkippedTickStillStartsAndStops) {
  At(2030, 3, 4, 9, 59, 58);
  // The tick of 10:00:00 never came.
  EXPECT_TRUE(At(2030, 3, 4, 10, 0, 2).Start);
  At(2030, 3, 4, 10, 29, 59);
  EXPECT_TRUE(At(2030, 3, 4, 10, 30, 3).Stop);
}

TEST_F(ScheduleTest, StartAndStopWithinOneTickRecordNothing) {
  At(2030, 3, 4, 9, 0, 0);
  auto a = At(2030, 3, 4, 11, 0, 0);
  EXPECT_FALSE(a.Start);
  EXPECT_FALSE(a.Stop);
  EXPECT_FALSE(started);
}

TEST_F(ScheduleTest, OnceMatchesOnlyItsDate) {
  g.OP_SchDate = 0;
  g.OP_SchDateOnce = DateToStr(EncodeDate(2030, 3, 5));
  At(2030, 3, 4, 9, 59, 59);
  EXPECT_FALSE(At(2030, 3, 4, 10, 0, 0).Start);
  At(2030, 3, 5, 9, 59, 59);
  EXPECT_TRUE(At(2030, 3, 5, 10, 0, 0).Start);
}

TEST_F(ScheduleTest, WeeklySundayIsIndexZero) {
  g.OP_SchDate = 2;
  g.OP_SchDateWeekly = 0;
  // 2030-03-03 is a Sunday.
  ASSERT_EQ(DayOfWeek(EncodeDate(2030, 3, 3)), 1);
  At(2030, 3, 2, 9, 59, 59);
  EXPECT_FALSE(At(2030, 3, 2, 10, 0, 0).Start);
  At(2030, 3, 3, 9, 59, 59);
  EXPECT_TRUE(At(2030, 3, 3, 10, 0, 0).Start);
}

TEST_F(ScheduleTest, AcrossMidnight) {
  g.OP_SchTimeStartAt = TimeToStr(EncodeTime(0, 0, 0, 0));
  g.OP_SchTimeStopAt = TimeToStr(EncodeTime(0, 0, 30, 0));
  g.OP_SchDate = 0;
  g.OP_SchDateOnce = DateToStr(EncodeDate(2030, 3, 5));
  At(2030, 3, 4, 23, 59, 59);
  // The tick lands after midnight: the new day's start counts.
  EXPECT_TRUE(At(2030, 3, 5, 0, 0, 1).Start);
}

TEST_F(ScheduleTest, StopNotAfterStartNeverStarts) {
  g.OP_SchTimeStopAt = g.OP_SchTimeStartAt;
  At(2030, 3, 4, 9, 59, 59);
  EXPECT_FALSE(At(2030, 3, 4, 10, 0, 0).Start);
}

TEST_F(ScheduleTest, StartWhileRecordingIsIgnored) {
  At(2030, 3, 4, 9, 59, 59);
  auto a = At(2030, 3, 4, 10, 0, 0, true);
  EXPECT_FALSE(a.Start);
  EXPECT_FALSE(a.StopPlayback);
  EXPECT_FALSE(started);
  // The user's own recording is not stopped by the stop time.
  EXPECT_FALSE(At(2030, 3, 4, 10, 30, 0, true).Stop);
}

TEST_F(ScheduleTest, PlaybackStoppedOnlyAtStart) {
  At(2030, 3, 4, 8, 0, 0);
  EXPECT_FALSE(At(2030, 3, 4, 8, 0, 1).StopPlayback);
  EXPECT_FALSE(At(2030, 3, 4, 11, 0, 1).StopPlayback);
}

TEST_F(ScheduleTest, DisabledDoesNothing) {
  g.OP_EnableSchRecording = false;
  At(2030, 3, 4, 9, 59, 59);
  EXPECT_FALSE(At(2030, 3, 4, 10, 0, 0).Start);
}

TEST_F(ScheduleTest, UnreadableTextsAreRewritten) {
  g.OP_SchTimeStartAt = L"garbage";
  auto a = At(2030, 3, 4, 10, 0, 0);
  EXPECT_TRUE(a.Rewritten);
  EXPECT_FALSE(a.Start);
  TDateTime v;
  EXPECT_TRUE(TryStrToTime(g.OP_SchTimeStartAt, v));
  // The next tick does not start for the rewritten time already past.
  EXPECT_FALSE(At(2030, 3, 4, 10, 0, 1).Start);
}

} // namespace
