// Session: jobs cut at '@', the test limits, links that end early, and the
// listing it writes.
#include "cutter-emu/session.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cutter-emu/options.h"
#include "cutter-emu/writer_streams.h"

namespace cutter_emu {
namespace {

using testing::ReadFile;
using testing::ScratchPath;

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(log_.Open(path_)); }
  void TearDown() override { std::filesystem::remove(path_); }
  std::string Listing() {
    EXPECT_TRUE(log_.Close());
    return ReadFile(path_);
  }
  // Hands `bytes` over as reads of at most `piece` bytes, as the read loop does.
  static void Pour(Session& s, std::string_view bytes, size_t piece = 99) {
    while (!bytes.empty() && s.State() == Session::Next::Read) {
      const size_t n = std::min(bytes.size(), s.Allowance(piece));
      s.Receive(bytes.substr(0, n));
      bytes.remove_prefix(n);
    }
  }
  std::string path_ = ScratchPath("listing.log");
  EventLog log_;
};

TEST_F(SessionTest, ListingOfAJob) {
  Session s(1, {}, log_);
  s.BeginConnection();
  const std::string job = "TKN;U0,0;>U4400,400;<TB26,40,4080,4080;TKN;U0,0;TB27,40,1000,4080;D4000,-3;\x01;U40,0;IN;@";
  Pour(s, job.substr(0, 50), 7);
  EXPECT_FALSE(s.Done());
  Pour(s, job.substr(50) + "U0,0;");
  EXPECT_TRUE(s.Done());
  EXPECT_TRUE(s.AllComplete());
  EXPECT_EQ(s.IgnoredBytes(), 5u);
  EXPECT_EQ(Listing(),
            "job 1\n"
            "announce\n"
            "up x=0 y=0\n"
            "jog-start\n"
            "jog x=400 y=3400\n"
            "origin\n"
            "marks 40 4080 4080\n"
            "announce\n"
            "up x=0 y=0\n"
            "section 40 1000 4080\n"
            "cut x=-3 y=4000\n"  // a section after moves starts one width on
            "unknown at=75 bytes=2 \"\\x01;\"\n"
            "up x=0 y=1030\n"
            "unknown at=83 bytes=3 \"IN;\"\n"
            "end\n"
            "summary status=complete bytes=87 up=3 cut=1 jog=1 sections=1 unknown=2 unknown_bytes=5 "
            "cut_mm=100.000\n");
}

TEST_F(SessionTest, JobsAreCutAtTheirEnd) {
  const std::string a = "TKN;U0,0;D100,100;U0,0;@";
  const std::string b = "TKN;U0,0;D4000,0;D4000,4000;U0,0;@";
  Session s(2, {}, log_);
  s.BeginConnection();
  Pour(s, a + b + "U1,1;");
  ASSERT_TRUE(s.Done());
  ASSERT_EQ(s.Jobs().size(), 2u);
  EXPECT_EQ(s.Jobs()[0].summary.bytes, a.size());
  EXPECT_EQ(s.Jobs()[1].summary.bytes, b.size());
  EXPECT_EQ(s.Jobs()[1].summary.cuts, 2u);
  EXPECT_DOUBLE_EQ(s.Jobs()[1].summary.cutLength, 3000.0 + 4000.0);  // y sent as 4000 is 3000
  EXPECT_EQ(s.IgnoredBytes(), 5u);
  EXPECT_TRUE(s.AllComplete());
  const std::string listing = Listing();
  EXPECT_NE(listing.find("end\nsummary status=complete bytes=24 "), std::string::npos) << listing;
  EXPECT_NE(listing.find("\njob 2\nannounce\n"), std::string::npos) << listing;
}

TEST_F(SessionTest, SenderMayLeaveBetweenJobsButNotWithinOne) {
  Session s(2, {}, log_);
  s.BeginConnection();
  Pour(s, "U0,0;@");
  EXPECT_TRUE(s.EndConnection(JobStatus::Closed));  // waits for the next connection
  s.BeginConnection();
  Pour(s, "U0,0;D10");
  EXPECT_TRUE(s.JobOpen());
  EXPECT_FALSE(s.EndConnection(JobStatus::Closed));
  ASSERT_EQ(s.Jobs().size(), 2u);
  EXPECT_EQ(s.Jobs()[1].status, JobStatus::Closed);
  EXPECT_EQ(s.Jobs()[1].summary.bytes, 8u);
  EXPECT_FALSE(s.AllComplete());
  EXPECT_NE(Listing().find("unknown at=5 bytes=3 \"D10\" unterminated\n"
                           "summary status=closed bytes=8 "),
            std::string::npos);
}

TEST_F(SessionTest, NothingArrivingIsATimedOutJob) {
  Session s(1, {}, log_);
  s.GiveUp(JobStatus::Timeout);
  ASSERT_EQ(s.Jobs().size(), 1u);
  EXPECT_EQ(s.Jobs()[0].status, JobStatus::Timeout);
  EXPECT_FALSE(s.AllComplete());
  EXPECT_EQ(Listing(),
            "job 1\nsummary status=timeout bytes=0 up=0 cut=0 jog=0 sections=0 unknown=0 "
            "unknown_bytes=0 cut_mm=0.000\n");
}

TEST_F(SessionTest, ByteLimitsStopReadingExactlyThere) {
  const std::string job = testing::WriterStream(testing::JobSetup("U0,0;D0,4000;D4000,4000;D4000,0;D0,0;"));
  ASSERT_GT(job.size(), 40u);
  for (const bool close : {true, false}) {
    Limits limits;
    (close ? limits.closeAfter : limits.stallAfter) = 40;
    Session s(1, limits, log_);
    s.BeginConnection();
    Pour(s, job, 16);  // reads of 16, 16, then 8
    EXPECT_EQ(s.State(), close ? Session::Next::Drop : Session::Next::Stall);
    EXPECT_EQ(s.Allowance(99), 0u);
    s.EndConnection(close ? JobStatus::Dropped : JobStatus::Stalled);
    ASSERT_EQ(s.Jobs().size(), 1u);
    EXPECT_EQ(s.Jobs()[0].summary.bytes, 40u);
    EXPECT_EQ(s.Jobs()[0].status, close ? JobStatus::Dropped : JobStatus::Stalled);
  }
  // A job shorter than the limit arrives whole.
  Limits limits;
  limits.closeAfter = job.size();
  Session s(1, limits, log_);
  s.BeginConnection();
  Pour(s, job);
  EXPECT_TRUE(s.AllComplete());
}

TEST(OptionsTest, CommandLines) {
  auto parse = [](std::vector<std::string_view> args, Options& o, std::string& error) {
    return ParseOptions(args, o, error);
  };
  Options o;
  std::string error;
  ASSERT_TRUE(parse({"--tcp", "0", "--jobs", "3", "--idle-timeout", "2.5", "--svg", "a.svg", "--png", "b.png", "--log",
                     "c.log", "--close-after", "0", "--stall-after", "99", "--hide-travel", "--read-rate", "2000"},
                    o, error))
      << error;
  EXPECT_EQ(o.link, Options::Link::Tcp);
  EXPECT_EQ(o.jobs, 3);
  EXPECT_EQ(o.idleTimeout, 2.5);
  EXPECT_EQ(o.limits.closeAfter, 0u);
  EXPECT_EQ(o.limits.stallAfter, 99u);
  EXPECT_EQ(o.svgPath + o.pngPath + o.logPath, "a.svgb.pngc.log");
  EXPECT_FALSE(o.showTravel);
  EXPECT_EQ(o.readRate, 2000u);

  const std::vector<std::vector<std::string_view>> bad = {{"--tcp"},
                                                          {"--port", "65536"},
                                                          {"--tcp", "-1"},
                                                          {"--tcp", "12x"},
                                                          {"--pty", "--tcp", "1"},
                                                          {"--pty", "--jobs", "0"},
                                                          {"--pty", "--idle-timeout", "0"},
                                                          {"--pty", "--idle-timeout", "nan"},
                                                          {"--pty", "--close-after", "-5"},
                                                          {"--pty", "--read-rate", "0"},
                                                          {"--pty", "--svg", ""},
                                                          {"--pty", "--frobnicate"}};
  // Without a link the cutter's own port; --port, --keep and --drop-after as named for users.
  Options d;
  ASSERT_TRUE(parse({"--keep", "--drop-after", "7"}, d, error)) << error;
  EXPECT_EQ(d.link, Options::Link::Tcp);
  EXPECT_EQ(d.port, 9100);
  EXPECT_EQ(d.jobs, kKeepServing);
  EXPECT_EQ(d.limits.closeAfter, 7u);
  Options p;
  ASSERT_TRUE(parse({"--port", "0"}, p, error)) << error;
  EXPECT_EQ(p.port, 0);
  EXPECT_EQ(p.jobs, 1);
  for (const auto& args : bad) {
    Options b;
    error.clear();
    EXPECT_FALSE(parse(args, b, error)) << (args.empty() ? "(none)" : args.back());
    EXPECT_FALSE(error.empty());
  }
}

TEST(OptionsTest, OneFilePerJob) {
  EXPECT_EQ(JobFilePath("out/job.svg", 1, 1), "out/job.svg");
  EXPECT_EQ(JobFilePath("out/job.svg", 2, 3), "out/job-2.svg");
  EXPECT_EQ(JobFilePath("out.d/job", 2, 3), "out.d/job-2");
  EXPECT_EQ(JobFilePath(".hidden", 1, 2), ".hidden-1");
  EXPECT_EQ(JobFilePath("", 1, 2), "");
}

}  // namespace
}  // namespace cutter_emu
