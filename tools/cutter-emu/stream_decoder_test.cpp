// StreamDecoder: every command of the device stream, streams of the real
// writers cut into pieces anywhere, and input it does not understand.
#include "cutter-emu/stream_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "cutter-emu/writer_streams.h"

namespace cutter_emu {
namespace {

using testing::DecodeEvents;
using testing::DecodeInPieces;
using testing::JobSetup;
using testing::WriterStream;

std::vector<EventKind> Kinds(const std::vector<StreamEvent>& events) {
  std::vector<EventKind> kinds;
  for (const auto& e : events) kinds.push_back(e.kind);
  return kinds;
}

TEST(StreamDecoderTest, EveryCommandOfAMarkedJobWithAlignment) {
  const auto events = DecodeEvents("TKN;U0,0;>U4400,400;<TB26,40,4080,4080;TKN;U0,0;D4000,3000;U0,0;@");
  using K = EventKind;
  ASSERT_EQ(Kinds(events), (std::vector<K>{K::Announce, K::PenUp, K::JogStart, K::Jog, K::Origin, K::Marks, K::Announce,
                                           K::PenUp, K::Cut, K::PenUp, K::End}));
  EXPECT_EQ(events[3].y, 3400);  // jogs are transposed like moves
  EXPECT_EQ(events[3].x, 400);
  EXPECT_EQ(events[5].args, (std::array<int32_t, 3>{40, 4080, 4080}));
  EXPECT_EQ(events[8].y, 3000);
  EXPECT_EQ(events[8].x, 3000);  // x is never exchanged
  EXPECT_EQ(events[4].offset, 20u);
  EXPECT_EQ(events[10].offset, 64u);
  EXPECT_EQ(events[10].length, 1u);
}

TEST(StreamDecoderTest, DigitExchangeIsUndoneOnTheFirstCharacterOnly) {
  struct Case {
    const char* sent;
    int32_t y, x;
  } cases[] = {
      {"U4000,3000;", 3000, 3000}, {"U3000,4000;", 4000, 4000},
      {"D7,70;", 6, 70},           {"D6,6;", 7, 6},
      {"U-3,3467;", -3, 3467},     {"U-4000,0;", -4000, 0},
      {"D150,1;", 150, 1},         {"U0,0;", 0, 0},
      {"D3443,-7;", 4443, -7},     {"U-2147483648,2147483647;", -2147483648, 2147483647},
  };
  for (const Case& c : cases) {
    const auto events = DecodeEvents(c.sent);
    ASSERT_EQ(events.size(), 1u) << c.sent;
    EXPECT_NE(events[0].kind, EventKind::Unknown) << c.sent;
    EXPECT_EQ(events[0].y, c.y) << c.sent;
    EXPECT_EQ(events[0].x, c.x) << c.sent;
  }
}

TEST(StreamDecoderTest, InvertsTheWritersFormatting) {
  const int32_t values[] = {0,          3,  4, 6, 7, 9, 30, 399, 4000, 6999, 7123, -3, -7, 123456789, -2147483647 - 1,
                            2147483647, 333};
  for (int32_t y : values) {
    for (int32_t x : {0, 3, -4, 7000}) {
      std::array<char, plotsend::kMaxMoveLength> buffer;
      const size_t n = plotsend::FormatDeviceMove('D', y, x, buffer);
      const auto events = DecodeEvents(std::string_view(buffer.data(), n));
      ASSERT_EQ(events.size(), 1u);
      EXPECT_EQ(events[0].kind, EventKind::Cut);
      EXPECT_EQ(events[0].y, y);
      EXPECT_EQ(events[0].x, x);
    }
  }
}

// Streams of both writers, with marks, sections, dashes and compensation.
std::vector<std::string> WriterStreams() {
  const std::string square = "IN;PA;U0,0;D0,400;D400,400;D400,0;D0,0;U1000,1000;D3000,1200;D4700,6000;";
  JobSetup plain(square);
  JobSetup marked(square, {4000, 4000, 40, 2, 1});
  JobSetup sections("U0,0;D30,700;TM1;U1100,20;D1700,3000;TM2;U2100,0;D2900,4000;", {3000, 3000, 40, 8, 3});
  sections.dx = 123;
  JobSetup window = sections;
  window.from = 2;
  JobSetup dashed("U0,0;D0,10;D0,2000;D1500,2000;");
  dashed.dashed = true;
  dashed.lineMm = 2;
  dashed.gapMm = 1;
  JobSetup compensated(square);
  compensated.offsetMm = 0.35;
  compensated.closureMm = 1;
  std::vector<std::string> streams;
  for (const JobSetup* s : {&plain, &marked, &sections, &window, &dashed, &compensated}) {
    streams.push_back(WriterStream(*s));
  }
  return streams;
}

TEST(StreamDecoderTest, WriterStreamsDecodeAlikeWhateverThePieces) {
  for (const std::string& stream : WriterStreams()) {
    const auto kinds = Kinds(DecodeEvents(stream));
    ASSERT_EQ(kinds.back(), EventKind::End);
    ASSERT_EQ(std::count(kinds.begin(), kinds.end(), EventKind::Unknown), 0) << stream;
    const auto whole = DecodeInPieces(stream, 0);
    for (size_t piece = 1; piece <= 120; ++piece) {
      ASSERT_EQ(DecodeInPieces(stream, piece), whole) << "pieces of " << piece;
    }
    // Two pieces split at every byte.
    for (size_t cut = 1; cut < stream.size(); ++cut) {
      std::vector<std::string> events;
      StreamDecoder decoder([&](const StreamEvent& e) { events.push_back(testing::Describe(e)); });
      decoder.Feed(std::string_view(stream).substr(0, cut));
      decoder.Feed(std::string_view(stream).substr(cut));
      decoder.Finish();
      ASSERT_EQ(events, whole) << "split at " << cut;
    }
  }
}

TEST(StreamDecoderTest, CommandsItDoesNotKnowAreReportedAsSent) {
  const char* refused[] = {"IN;",           "PA;",         "U12,;",  "U,5;", "U1,2,3,4;", "U+1,2;", "U99999999999,0;",
                           "U1 ,2;",        "D-;",         "U4x,0;", "U;",   ";",         "TKN ;",  "TB26,1,2;",
                           "TB27,1,2,3,4;", "TB28,1,2,3;", "U1<2;",  "u1,2;"};
  for (const char* cmd : refused) {
    std::string text;
    std::vector<StreamEvent> events;
    StreamDecoder decoder([&](const StreamEvent& e) {
      events.push_back(e);
      text = e.text;
    });
    decoder.Feed(std::string(cmd) + "D5,5;");
    ASSERT_EQ(events.size(), 2u) << cmd;
    EXPECT_EQ(events[0].kind, EventKind::Unknown) << cmd;
    EXPECT_EQ(events[0].length, std::string_view(cmd).size());
    EXPECT_EQ(events[1].kind, EventKind::Cut) << cmd;  // decoding goes on after it
    EXPECT_EQ(events[1].offset, events[0].length);
    decoder.Feed(cmd);
    EXPECT_EQ(text, cmd);  // the bytes as they came, the exchange not applied
  }
}

TEST(StreamDecoderTest, SingleBytesCountOnlyBetweenCommands) {
  const auto events = DecodeEvents("U1@2;@\r\n<U4,0;>U4,0;@U4,0;");
  using K = EventKind;
  ASSERT_EQ(Kinds(events),
            (std::vector<K>{K::Unknown, K::End, K::Origin, K::PenUp, K::JogStart, K::Jog, K::End, K::PenUp}));
  EXPECT_EQ(events[2].offset, 8u);  // the line break between commands is passed over
  EXPECT_EQ(events[7].y, 3);        // "@" ends the jogging
}

TEST(StreamDecoderTest, TruncatedStreamEndsWithTheUnfinishedCommand) {
  const std::string stream = WriterStream(JobSetup("U0,0;D100,4000;D4100,200;"));
  const size_t cut = stream.find("D3100");  // the writer's exchange of 4100's first digit
  ASSERT_NE(cut, std::string::npos);
  std::vector<StreamEvent> events;
  std::string last;
  StreamDecoder decoder([&](const StreamEvent& e) {
    events.push_back(e);
    last = e.text;
  });
  decoder.Feed(std::string_view(stream).substr(0, cut + 4));
  EXPECT_TRUE(decoder.HoldsPartialCommand());
  const size_t before = events.size();
  decoder.Finish();
  ASSERT_EQ(events.size(), before + 1);
  EXPECT_EQ(events.back().kind, EventKind::Unknown);
  EXPECT_FALSE(events.back().terminated);
  EXPECT_EQ(last, "D310");
  for (const auto& e : events) EXPECT_NE(e.kind, EventKind::End);
}

TEST(StreamDecoderTest, GarbageWithoutSemicolonsKeepsOnlyABoundedPart) {
  std::vector<StreamEvent> events;
  size_t kept = 0;
  StreamDecoder decoder([&](const StreamEvent& e) {
    events.push_back(e);
    if (e.kind == EventKind::Unknown) kept = e.text.size();
  });
  const std::string block(1 << 20, 'A');
  for (int i = 0; i < 16; ++i) decoder.Feed(block);
  EXPECT_TRUE(events.empty());
  decoder.Feed(";U0,0;");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].kind, EventKind::Unknown);
  EXPECT_EQ(events[0].length, (16u << 20) + 1);
  EXPECT_EQ(kept, kMaxCommandLength);
  EXPECT_EQ(events[1].kind, EventKind::PenUp);
  EXPECT_EQ(events[1].offset, (16u << 20) + 1);
}

TEST(StreamDecoderTest, RandomBytesAreAllAccountedFor) {
  std::mt19937 random(7);
  std::string noise(200000, '\0');
  for (char& c : noise) {
    c = static_cast<char>(random() % 256);
    if (c == '\r' || c == '\n') c = ';';
  }
  uint64_t covered = 0, next = 0;
  bool ordered = true;
  StreamDecoder decoder([&](const StreamEvent& e) {
    ordered = ordered && e.offset == next;
    next = e.offset + e.length;
    covered += e.length;
  });
  for (size_t at = 0; at < noise.size(); at += 99) decoder.Feed(std::string_view(noise).substr(at, 99));
  decoder.Finish();
  EXPECT_TRUE(ordered);
  EXPECT_EQ(covered, noise.size());
  EXPECT_EQ(decoder.Offset(), noise.size());
}

}  // namespace
}  // namespace cutter_emu
