#include "bench/job_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plotsend {
namespace {

// What a strict reader of the generated dialect finds in a job.
struct JobCheck {
  std::string error;  // first problem found, empty when well-formed
  size_t commands = 0;
  size_t multiPairPd = 0;
  size_t singlePairPd = 0;
  size_t closedPaths = 0;
  size_t openPaths = 0;
  size_t longestCommand = 0;
  std::set<char> pens;
  std::string tail;  // bytes after the last ';'
};

bool ParseInt(std::string_view s, long long& v) {
  if (s.empty() || s.size() > 10) return false;
  v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  return true;
}

JobCheck Check(std::string_view text, long long width, long long height) {
  JobCheck r;
  const size_t last = text.rfind(';');
  if (last == std::string_view::npos) {
    r.error = "no command";
    return r;
  }
  r.tail = std::string(text.substr(last + 1));
  std::vector<std::string_view> cmds;
  for (size_t pos = 0; pos <= last;) {
    const size_t end = text.find(';', pos);
    cmds.push_back(text.substr(pos, end - pos));
    pos = end + 1;
  }
  r.commands = cmds.size();
  if (cmds.front() != "IN") r.error = "does not start with IN;";
  if (cmds.back() != "PU0,0") r.error = "does not end with PU0,0;";

  long long puX = -1, puY = -1, lastX = -1, lastY = -1;
  bool inPath = false;
  auto endPath = [&] {
    if (!inPath) return;
    (lastX == puX && lastY == puY ? r.closedPaths : r.openPaths)++;
    inPath = false;
  };
  for (size_t i = 0; i < cmds.size() && r.error.empty(); ++i) {
    const std::string_view c = cmds[i];
    r.longestCommand = std::max(r.longestCommand, c.size() + 1);
    if (c == "IN") continue;
    if (c.size() == 3 && c.substr(0, 2) == "SP" && c[2] >= '1' && c[2] <= '8') {
      r.pens.insert(c[2]);
      continue;
    }
    if (c.size() < 2 || (c.substr(0, 2) != "PU" && c.substr(0, 2) != "PD")) {
      r.error = "unexpected command '" + std::string(c.substr(0, 20)) + "'";
      break;
    }
    std::vector<long long> nums;
    for (size_t pos = 2; pos <= c.size();) {
      size_t end = c.find(',', pos);
      if (end == std::string_view::npos) end = c.size();
      long long v = 0;
      if (!ParseInt(c.substr(pos, end - pos), v)) {
        r.error = "bad number in '" + std::string(c.substr(0, 40)) + "'";
        break;
      }
      nums.push_back(v);
      pos = end + 1;
    }
    if (!r.error.empty()) break;
    if (nums.size() % 2 != 0 || nums.empty()) {
      r.error = "odd number count in '" + std::string(c.substr(0, 40)) + "'";
      break;
    }
    for (size_t k = 0; k < nums.size(); k += 2) {
      if (nums[k] > width || nums[k + 1] > height) r.error = "point outside the sheet";
    }
    if (c[1] == 'U') {
      if (nums.size() != 2) r.error = "PU with several pairs";
      endPath();
      puX = lastX = nums[0];
      puY = lastY = nums[1];
    } else {
      if (puX < 0) r.error = "PD before any PU";
      (nums.size() > 2 ? r.multiPairPd : r.singlePairPd)++;
      inPath = true;
      lastX = nums[nums.size() - 2];
      lastY = nums[nums.size() - 1];
    }
  }
  endPath();
  return r;
}

std::string Without(std::string text, std::string_view chars) {
  text.erase(std::remove_if(text.begin(), text.end(), [&](char c) { return chars.find(c) != std::string_view::npos; }),
             text.end());
  return text;
}

TEST(JobGenerator, JobIsWellFormedRealisticAndInsideTheSheet) {
  JobGenOptions opt;
  opt.seed = 7;
  opt.targetBytes = 4 << 20;
  const std::string job = GenerateJobText(opt);
  const JobCheck r = Check(job, opt.sheetWidth, opt.sheetHeight);
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.tail, "@");
  EXPECT_GT(r.multiPairPd, 100u);
  EXPECT_GT(r.singlePairPd, 100u);
  EXPECT_GT(r.closedPaths, 100u);
  EXPECT_GT(r.openPaths, 10u);
  EXPECT_GE(r.pens.size(), 2u);
  EXPECT_LT(r.longestCommand, 262144u);  // the readers' command limit
}

// The paths of a job as point lists (second number first is not needed:
// x = first number, y = second), from each PU through its PD pairs.
std::vector<std::vector<std::pair<long long, long long>>> Paths(std::string_view text) {
  std::vector<std::vector<std::pair<long long, long long>>> paths;
  for (size_t pos = 0; pos < text.size();) {
    const size_t end = text.find(';', pos);
    if (end == std::string_view::npos) break;
    const std::string_view c = text.substr(pos, end - pos);
    pos = end + 1;
    if (c.size() < 3 || c[0] != 'P' || (c[1] != 'U' && c[1] != 'D')) continue;
    if (c[1] == 'U') paths.emplace_back();
    if (paths.empty()) continue;
    std::vector<long long> nums;
    for (size_t p = 2; p <= c.size();) {
      size_t q = c.find(',', p);
      if (q == std::string_view::npos) q = c.size();
      long long v = 0;
      if (ParseInt(c.substr(p, q - p), v)) nums.push_back(v);
      p = q + 1;
    }
    for (size_t k = 0; k + 1 < nums.size(); k += 2) paths.back().push_back({nums[k], nums[k + 1]});
  }
  return paths;
}

TEST(JobGenerator, AcrossBandsJobRunsItsPathsAlongTheFeedAxis) {
  JobGenOptions opt;
  opt.seed = 11;
  opt.targetBytes = 3 << 20;
  opt.sheetHeight = 300000;
  opt.shape = JobShape::kAcrossBands;
  const std::string job = GenerateJobText(opt);
  const JobCheck r = Check(job, opt.sheetWidth, opt.sheetHeight);
  ASSERT_EQ(r.error, "");
  EXPECT_LT(r.longestCommand, 262144u);

  // Weeding lines over (nearly) the whole length, long closed outlines of
  // many points, and open lines that turn back along y again and again.
  size_t lines = 0, outlines = 0, zigzags = 0;
  for (const auto& path : Paths(job)) {
    if (path.size() < 2) continue;
    long long lo = path[0].second, hi = lo;
    int turns = 0;
    for (size_t i = 1; i < path.size(); ++i) {
      lo = std::min(lo, path[i].second);
      hi = std::max(hi, path[i].second);
      if (i + 1 < path.size()) {
        const long long d1 = path[i].second - path[i - 1].second;
        const long long d2 = path[i + 1].second - path[i].second;
        turns += (d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0);
      }
    }
    const long long length = hi - lo;
    if (length >= opt.sheetHeight * 98 / 100 && path.size() <= 5) ++lines;
    if (length >= opt.sheetHeight * 9 / 10 && path.size() > 200 && path.front() == path.back()) ++outlines;
    if (length >= opt.sheetHeight / 4 && turns >= 20 && path.front() != path.back()) ++zigzags;
  }
  EXPECT_GT(lines, 10000u);
  EXPECT_GT(outlines, 10u);
  EXPECT_GT(zigzags, 100u);

  // The artwork job of the same options is a different one.
  opt.shape = JobShape::kArtwork;
  EXPECT_NE(GenerateJobText(opt), job);
}

TEST(JobGenerator, SizeReachesTheRequestAndStopsShortlyAfter) {
  for (const size_t target : {size_t{4096}, size_t{100} << 10, size_t{3} << 20}) {
    JobGenOptions opt;
    opt.seed = 3;
    opt.targetBytes = target;
    const size_t produced = GenerateJob(opt, [](std::string_view) {});
    EXPECT_GE(produced, target);
    EXPECT_LT(produced, target + 4096) << "target " << target;
  }
}

TEST(JobGenerator, SameSeedSameBytesWhicheverWayItIsDelivered) {
  JobGenOptions opt;
  opt.seed = 42;
  opt.targetBytes = 3 << 20;
  const std::string a = GenerateJobText(opt);
  EXPECT_EQ(a, GenerateJobText(opt));

  std::string streamed;
  size_t pieces = 0;
  const size_t produced = GenerateJob(opt, [&](std::string_view p) {
    ++pieces;
    EXPECT_FALSE(p.empty());
    streamed.append(p);
  });
  EXPECT_EQ(produced, a.size());
  EXPECT_EQ(streamed, a);
  EXPECT_GE(pieces, 3u);  // delivered in bounded pieces, not as one block

  const auto path = std::filesystem::temp_directory_path() / "plotara_job_generator_test.plt";
  ASSERT_TRUE(WriteJobFile(path.string(), opt));
  std::ifstream in(path, std::ios::binary);
  const std::string onDisk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  std::filesystem::remove(path);
  EXPECT_EQ(onDisk, a);

  opt.seed = 43;
  EXPECT_NE(GenerateJobText(opt), a);
}

TEST(JobGenerator, LineBreaksEndMarkAndSheetSizeAreHonoured) {
  JobGenOptions opt;
  opt.seed = 5;
  opt.targetBytes = 200 << 10;
  opt.lineBreaks = true;
  opt.endMark = false;
  opt.sheetWidth = 10000;
  opt.sheetHeight = 8000;
  const std::string job = GenerateJobText(opt);
  ASSERT_GE(job.size(), opt.targetBytes);
  EXPECT_EQ(job.substr(job.size() - 8), "PU0,0;\r\n");
  size_t semicolons = 0, breaks = 0;
  for (size_t i = 0; i < job.size(); ++i) {
    if (job[i] != ';') continue;
    ++semicolons;
    if (job.compare(i + 1, 2, "\r\n") == 0) ++breaks;
  }
  EXPECT_EQ(breaks, semicolons);
  const JobCheck r = Check(Without(job, "\r\n"), opt.sheetWidth, opt.sheetHeight);
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(r.tail, "");
}

}  // namespace
}  // namespace plotsend
