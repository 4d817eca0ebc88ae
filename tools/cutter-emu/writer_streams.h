#pragma once
// Tests: device streams produced by the real command writers, and the
// decoder's events as comparable values.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cutter-emu/stream_decoder.h"
#include "job/command_writer.h"
#include "job/cut_writers.h"
#include "job/plt_file.h"

namespace cutter_emu::testing {

struct JobSetup {
  explicit JobSetup(std::string text, plotsend::MarkRef ref = {}) : plt(std::move(text)), mark(ref) {}
  std::string plt;
  plotsend::MarkRef mark;
  uint8_t from = 1, to = 255;
  bool dashed = false;
  double lineMm = 0, gapMm = 0;
  double offsetMm = 0, closureMm = 0;  // both above 0: the compensated writer
  int32_t dx = 0, dy = 0;              // origin offset
};

inline std::string ScratchPath(const std::string& name) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return (std::filesystem::temp_directory_path() /
          ("cutter_emu_" + std::to_string(::getpid()) + "_" + info->name() + "_" + name))
      .string();
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The bytes the writer puts into the device command file for `setup`;
// `points` receives the job's points as the writer saw them.
inline std::string WriterStream(const JobSetup& setup, std::vector<plotsend::JobPoint>* points = nullptr) {
  plotsend::CPLTFile job;
  job.ParsePlt(setup.plt);
  job.ComputeBounds();
  plotsend::CutParams params;
  params.mark = setup.mark;
  params.window = {setup.from, setup.to};
  params.jobLength = job.JobLength();
  params.SetDashedLine(setup.dashed, setup.lineMm, setup.gapMm);
  job.ApplyOriginOffset(setup.dx, setup.dy);
  const std::string path = ScratchPath("job.kv3");
  if (setup.offsetMm > 0 && setup.closureMm > 0) {
    params.SetCompensation(setup.offsetMm, setup.closureMm);
    EXPECT_EQ(plotsend::WriteCompensatedCutFile(job, params, path), 1);
  } else {
    EXPECT_TRUE(plotsend::WriteCutFile(job, params, path));
  }
  if (points != nullptr) *points = job.Points();
  std::string bytes = ReadFile(path);
  std::filesystem::remove(path);
  return bytes;
}

// Every field of an event, the unknown bytes copied.
inline std::string Describe(const StreamEvent& e) {
  std::ostringstream s;
  s << static_cast<int>(e.kind) << '@' << e.offset << '+' << e.length << " x=" << e.x << " y=" << e.y
    << " a=" << e.args[0] << ',' << e.args[1] << ',' << e.args[2] << " t=" << e.terminated << " '" << e.text << "'";
  return s.str();
}

// Decodes `bytes` handed over in pieces of `piece` bytes (0: all at once).
inline std::vector<std::string> DecodeInPieces(std::string_view bytes, size_t piece) {
  std::vector<std::string> events;
  StreamDecoder decoder([&](const StreamEvent& e) { events.push_back(Describe(e)); });
  if (piece == 0) piece = bytes.size() + 1;
  for (size_t at = 0; at < bytes.size(); at += piece) decoder.Feed(bytes.substr(at, piece));
  decoder.Finish();
  return events;
}

inline std::vector<StreamEvent> DecodeEvents(std::string_view bytes) {
  std::vector<StreamEvent> events;
  StreamDecoder decoder([&](const StreamEvent& e) {
    events.push_back(e);
    events.back().text = {};  // not kept past the call
  });
  decoder.Feed(bytes);
  decoder.Finish();
  return events;
}

}  // namespace cutter_emu::testing
