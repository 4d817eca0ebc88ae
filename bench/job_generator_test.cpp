#include "job_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
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
  text.erase(std::remove_if(text.begin(), text.end(),
                            [&](char c) { return chars.find(c) != std::string_view::npos; }),
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
