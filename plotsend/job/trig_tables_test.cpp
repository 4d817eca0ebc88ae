#include "job/trig_tables.h"

#include <gtest/gtest.h>

namespace plotsend {
namespace {

TEST(TrigTables, StatedEntries) {
  EXPECT_EQ(Cos1000(60), 499);
  EXPECT_EQ(Cos1000(120), -500);
  EXPECT_EQ(Cos1000(0), 1000);
  EXPECT_EQ(Cos1000(179), -999);
  EXPECT_EQ(Sin1000(30), 500);
  EXPECT_EQ(Sin1000(150), 499);
  EXPECT_EQ(Cos1000(150), -866);
}

// Entries whose exact value is a whole number are where a floating-point
// sine lands either side of it.
TEST(TrigTables, WholeNumberEntries) {
  EXPECT_EQ(Sin1000(0), 0);
  EXPECT_EQ(Sin1000(90), 1000);
  EXPECT_EQ(Cos1000(90), 0);
  EXPECT_EQ(Cos1000(180), -1000);  // the extra entry past the table
}

TEST(TrigTables, TruncatesTowardZero) {
  EXPECT_EQ(Sin1000(1), 17);    // 17.45
  EXPECT_EQ(Sin1000(45), 707);  // 707.1
  EXPECT_EQ(Sin1000(179), 17);
  EXPECT_EQ(Cos1000(89), 17);
  EXPECT_EQ(Cos1000(91), -17);    // -17.45 truncates up, not down
  EXPECT_EQ(Cos1000(151), -874);  // -874.6
  EXPECT_EQ(Cos1000(10), 984);
  EXPECT_EQ(Sin1000(80), 984);
}

TEST(TrigTables, CosineIsTheSineShiftedByNinetyDegrees) {
  for (int d = 0; d < 90; ++d) EXPECT_EQ(Cos1000(d), Sin1000(d + 90)) << d;
  for (int d = 1; d < 180; ++d) EXPECT_LE(Cos1000(d), Cos1000(d - 1)) << d;
}

}  // namespace
}  // namespace plotsend
