#include "import/hpgl_import.h"

#include <gtest/gtest.h>

#include <cmath>

#include "import/hpgl_dialect.h"
#include "import/load_design.h"

namespace plotmark {
namespace {

// Paths of a design in plotter units with y up again, rounded, for comparing.
std::string Paths(const Design& d) {
  std::string out;
  for (const DesignPath& p : d.paths) {
    out += "[";
    for (size_t i = p.begin; i < p.end; ++i) {
      if (i > p.begin) out += " ";
      out += std::to_string(std::lround(d.points[i].x * 40)) + "," + std::to_string(std::lround(-d.points[i].y * 40));
    }
    out += "]";
  }
  return out;
}

TEST(HpglImport, DialectTable) {
  struct Case {
    const char* text;
    const char* paths;
  };
  const Case cases[] = {
      {"IN;PU0,0;PD100,0,100,100;PU;", "[0,0 100,0 100,100]"},
      {"IN;PU 0 0;PD 100 0 100 100;", "[0,0 100,0 100,100]"},                         // spaces
      {"PU0,0PD100,0PU", "[0,0 100,0]"},                                              // no terminators
      {"in;pu10,10;pd20,10;", "[10,10 20,10]"},                                       // lower case
      {"PU0.5,0.25;PD100.5,0.25;", "[1,0 101,0]"},                                    // decimals (rounded here only)
      {"PA;PU10,10;PR;PD10,0,0,10,-10,0,0,-10;", "[10,10 20,10 20,20 10,20 10,10]"},  // relative
      {"PR;PU10,10;PA;PD50,10;", "[10,10 50,10]"},
      {"PD;PA100,0;PU;", "[0,0 100,0]"},                                        // pen down without coordinates
      {"SP1;PU0,0;PD10,0;SP2;PD20,0;", "[0,0 10,0][10,0 20,0]"},                // a pen change ends the path
      {"SP;PU0,0;PD10,0;SP0;", "[0,0 10,0]"},                                   // SP without a number, SP0
      {"IP0,0,4000,4000;SC0,100,0,100;PU10,10;PD20,10;", "[400,400 800,400]"},  // IP/SC
      {"IP1000,1000,2000,2000;SC0,10,0,10;PU0,0;PD10,10;", "[1000,1000 2000,2000]"},
      {"SC0,2,0,4,2;PU10,10;PD20,10;", "[20,40 40,40]"},     // point factor
      {"SC0,10,0,10;SC;PU10,10;PD20,10;", "[10,10 20,10]"},  // scaling off
      {"DT*;LBHello*PU0,0;PD5,0;", "[0,0 5,0]"},             // label skipped
      {"CO\"PD99,99\";PU0,0;PD5,0;", "[0,0 5,0]"},           // quoted string skipped
      {"\x1b.(;\x1b%-1BIN;PU0,0;PD5,0;", "[0,0 5,0]"},       // escapes
  };
  for (const Case& c : cases) {
    const ImportResult r = ImportHpgl(c.text);
    EXPECT_EQ(Paths(r.design), c.paths) << c.text;
  }
}

TEST(HpglImport, CirclesAndArcs) {
  // CI 400 around (1000, 1000): closed, every point 400 units out, the pen back at the centre.
  ImportResult r = ImportHpgl("PU1000,1000;CI400;PD1100,1000;");
  ASSERT_EQ(r.design.paths.size(), 2u);
  EXPECT_TRUE(r.design.paths[0].closed);
  for (size_t i = r.design.paths[0].begin; i < r.design.paths[0].end; ++i) {
    const Point p = r.design.points[i];
    EXPECT_NEAR(std::hypot(p.x * 40 - 1000, -p.y * 40 - 1000), 400, 1e-6);
  }
  EXPECT_EQ(Paths(r.design).substr(Paths(r.design).rfind('[')), "[1000,1000 1100,1000]");
  // AA: a quarter turn counter-clockwise from (100, 0) round the origin ends at (0, 100); AR likewise.
  for (const char* text : {"PU100,0;PD;AA0,0,90;", "PU100,0;PD;AR-100,0,90;"}) {
    r = ImportHpgl(text);
    ASSERT_EQ(r.design.paths.size(), 1u) << text;
    const Point end = r.design.points[r.design.paths[0].end - 1];
    EXPECT_NEAR(end.x * 40, 0, 1e-6) << text;
    EXPECT_NEAR(-end.y * 40, 100, 1e-6) << text;
  }
}

TEST(HpglImport, NamesUnsupportedCommandsAndTellsFormats) {
  const ImportResult r = ImportHpgl("IN;RO90;PU0,0;PD10,0;PE<=;XX1;VS10;");
  ASSERT_EQ(r.design.warnings.size(), 1u);
  EXPECT_EQ(r.design.warnings[0].id, ImportWarning::UnsupportedCommand);
  EXPECT_EQ(r.design.warnings[0].detail, "PE, RO, XX");
  EXPECT_EQ(LookUpHpgl("PD"), HpglOp::PenDown);
  EXPECT_EQ(LookUpHpgl("VS"), HpglOp::Ignored);

  EXPECT_EQ(DetectFormat("IN;PU0,0;"), DesignFormat::Hpgl);
  EXPECT_EQ(DetectFormat("\x1b.(\nPU0,0;"), DesignFormat::Hpgl);
  EXPECT_EQ(DetectFormat("VS10;PG;IN;PU0,0;"), DesignFormat::Hpgl);
  EXPECT_EQ(DetectFormat("VS10;Hello"), DesignFormat::Unknown);
  EXPECT_EQ(DetectFormat("\xEF\xBB\xBF <?xml version=\"1.0\"?><svg/>"), DesignFormat::Svg);
  EXPECT_EQ(DetectFormat("\x1f\x8b\x08"), DesignFormat::CompressedSvg);
  EXPECT_EQ(DetectFormat("%PDF-1.4"), DesignFormat::Unknown);
  EXPECT_EQ(DetectFormat("Hello world"), DesignFormat::Unknown);
  EXPECT_EQ(DetectFormat(""), DesignFormat::Unknown);
}

}  // namespace
}  // namespace plotmark
