// The platform's TCP link against a loopback peer.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "link/link_state.h"
#include "link/loopback_peer.h"

namespace plotsend {
namespace {

constexpr Ipv4Address kLoopback{{127, 0, 0, 1}};
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> bytes(n);
  for (size_t i = 0; i < n; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return bytes;
}

TEST(TcpLink, SendsEveryByteAndDiscardsReplies) {
  const auto link = MakeLinkPort();
  LoopbackListener listener;
  const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  LoopbackPeer peer = listener.Accept();
  ASSERT_TRUE(peer.Valid());
  const std::vector<uint8_t> job = Pattern(250);
  for (size_t at = 0; at < job.size(); at += 99) {
    ASSERT_TRUE(link->SendTcp(s, job.data() + at, std::min<size_t>(99, job.size() - at)));
  }
  EXPECT_EQ(peer.Read(job.size(), 4096), job);

  EXPECT_TRUE(link->ReceiveTcp(s));  // nothing waiting: no wait, no failure
  ASSERT_TRUE(peer.Send("OK"));
  ASSERT_TRUE(Receives(s, 5000));
  EXPECT_TRUE(link->ReceiveTcp(s));
  peer.Close();
  ASSERT_TRUE(Receives(s, 5000));
  EXPECT_FALSE(link->ReceiveTcp(s));
  link->CloseTcp(s);
}

TEST(TcpLink, PartialSendsAreContinuedUntilTheChunkIsOut) {
  const auto link = MakeLinkPort();
  LoopbackListener listener;
  const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  SetSendBuffer(s, 4096);
  LoopbackPeer peer = listener.Accept();
  ASSERT_TRUE(peer.Valid());
  const std::vector<uint8_t> job = Pattern(2 * 1024 * 1024);
  std::vector<uint8_t> got;
  std::thread reader([&] { got = peer.Read(job.size(), 8192); });
  const bool sent = link->SendTcp(s, job.data(), job.size());
  reader.join();
  EXPECT_TRUE(sent);
  EXPECT_EQ(got.size(), job.size());
  EXPECT_TRUE(got == job);
  link->CloseTcp(s);
}

// A cutter that stops reading: the send fails once nothing could be handed
// to the connection for the send time-out, instead of hanging the program.
TEST(TcpLink, ASendToAPeerThatStopsReadingFailsAfterTheTimeOut) {
  const auto link = MakeLinkPort(300);
  LoopbackListener listener;
  const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  SetSendBuffer(s, 4096);
  LoopbackPeer peer = listener.Accept();  // accepted, never read
  ASSERT_TRUE(peer.Valid());
  const std::vector<uint8_t> job = Pattern(64 * 1024 * 1024);
  const auto start = Clock::now();
  EXPECT_FALSE(link->SendTcp(s, job.data(), job.size()));
  const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
  EXPECT_GE(took, 250);
  EXPECT_LT(took, 10000);
  link->CloseTcp(s);
}

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
}

// At the end of a job the connection is closed in order: the sending side
// shut down, then a wait until the cutter has read every byte and closed its
// side. A cutter that resets the connection fails it; one that keeps it open
// succeeds once it has acknowledged every byte where the platform sees that,
// and fails at the send time-out elsewhere.
TEST(TcpLink, FinishingWaitsUntilTheCutterReadEveryByteAndClosed) {
  enum class Cutter { Closes, Resets, StaysOpen };
  const auto link = MakeLinkPort(1000);
  LoopbackListener listener;
  const std::vector<uint8_t> job = Pattern(3500);
  for (const Cutter cutter : {Cutter::Closes, Cutter::Resets, Cutter::StaysOpen}) {
    SCOPED_TRACE(static_cast<int>(cutter));
    const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
    ASSERT_TRUE(IsOpen(s));
    LoopbackPeer peer = listener.Accept();
    ASSERT_TRUE(peer.Valid());
    ASSERT_TRUE(link->SendTcp(s, job.data(), job.size()));
    std::atomic<size_t> taken = 0;
    std::thread reader([&] {
      // 100 bytes every 10 ms, then the end of file, like a slow cutter.
      while (taken < job.size()) {
        const std::vector<uint8_t> piece = peer.Read(100, 100);
        if (piece.empty()) break;
        taken += piece.size();
        std::this_thread::sleep_for(milliseconds(10));
      }
      if (cutter == Cutter::Resets) peer.Reset();
      if (cutter == Cutter::Closes && peer.Read(1, 1).empty()) peer.Close();
    });
    const auto start = Clock::now();
    const bool acknowledged = cutter == Cutter::StaysOpen && SeesAcknowledgements();
    EXPECT_EQ(link->FinishTcp(s), cutter == Cutter::Closes || acknowledged);
    EXPECT_EQ(taken, job.size());
    if (cutter == Cutter::StaysOpen) {
      EXPECT_GE(MsSince(start), acknowledged ? 1900 : 900);
    }
    EXPECT_LT(MsSince(start), 5000);
    reader.join();
    link->CloseTcp(s);
  }
}

// Aborting from another thread ends a send to a cutter that stopped reading,
// or the wait for it to close, at once, and every later call fails. The
// abort comes once the send is under way (its first bytes have arrived),
// or once the finish has ended the sending side (the cutter has read to
// the end of the stream).
TEST(TcpLink, AbortEndsAStalledSendOrFinishAtOnce) {
  const auto link = MakeLinkPort();
  LoopbackListener listener;
  for (const bool inFinish : {false, true}) {
    SCOPED_TRACE(inFinish ? "finish" : "send");
    const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
    ASSERT_TRUE(IsOpen(s));
    SetSendBuffer(s, 4096);
    LoopbackPeer peer = listener.Accept();  // never closes; reads only at the finish
    ASSERT_TRUE(peer.Valid());
    const std::vector<uint8_t> job = Pattern(inFinish ? 100 : 64 * 1024 * 1024);
    std::thread aborter([&] {
      if (inFinish) {
        peer.Read(job.size() + 1, job.size() + 1);  // to the end of the stream
      } else {
        peer.Receives(5000);  // left unread, so that the send stalls
      }
      link->AbortTcpIo(s);
    });
    const auto start = Clock::now();
    const bool ended = inFinish ? link->SendTcp(s, job.data(), job.size()) && link->FinishTcp(s)
                                : link->SendTcp(s, job.data(), job.size());
    aborter.join();
    EXPECT_FALSE(ended);
    EXPECT_LT(MsSince(start), 3000);
    EXPECT_FALSE(link->SendTcp(s, job.data(), 1));
    link->CloseTcp(s);
  }
}

TEST(TcpLink, RefusedConnectLeavesNothingOpen) {
  const auto link = MakeLinkPort();
  uint16_t port;
  {
    LoopbackListener gone;
    port = gone.Port();
  }
  const std::optional<size_t> before = OpenHandleCount();
  const auto start = Clock::now();
  EXPECT_EQ(link->ConnectTcp(kLoopback, port, 1500), kNoSocket);
  EXPECT_LT(Clock::now() - start, milliseconds(3000));
  EXPECT_FALSE(link->ConnectError().empty());  // the system's reason, for the user
  if (before) {
    EXPECT_EQ(OpenHandleCount(), before);
  }
}

TEST(TcpLink, ConnectGivesUpAfterItsTimeOut) {
  const auto link = MakeLinkPort();
  LoopbackListener listener(0);
  listener.FillQueue(4);
  const auto start = Clock::now();
  const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 300);
  const auto took = Clock::now() - start;
  EXPECT_EQ(s, kNoSocket);
  EXPECT_GE(took, milliseconds(250));
  EXPECT_LT(took, milliseconds(2000));
  const std::string timedOut = link->ConnectError();
  EXPECT_FALSE(timedOut.empty());
  link->CloseTcp(s);
  LoopbackListener open;
  const SocketHandle connected = link->ConnectTcp(kLoopback, open.Port(), 1000);
  EXPECT_NE(connected, kNoSocket);
  EXPECT_EQ(link->ConnectError(), "");  // a connect that succeeds leaves no reason behind
  link->CloseTcp(connected);
}

TEST(TcpLink, ReconnectingClosesTheSocketBefore) {
  const auto link = MakeLinkPort();
  LoopbackListener listener(32);
  LinkState state;
  ASSERT_TRUE(ConnectTcp(*link, state, kLoopback, listener.Port(), 1000));
  std::vector<LoopbackPeer> peers;
  peers.push_back(listener.Accept());
  ASSERT_TRUE(peers.back().Valid());
  const std::optional<size_t> open = OpenHandleCount();
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(ConnectTcp(*link, state, kLoopback, listener.Port(), 1000));
    peers.push_back(listener.Accept());
    ASSERT_TRUE(peers.back().Valid());
    EXPECT_TRUE(peers[peers.size() - 2].SeesClose()) << i;
    // One more peer of the test's own, no more of the link's.
    if (open) {
      EXPECT_EQ(OpenHandleCount(), *open + peers.size() - 1) << i;
    }
  }
  CloseLink(*link, state);
  EXPECT_TRUE(peers.back().SeesClose());
}

TEST(TcpLink, SendingToAPeerThatHasGoneFailsWithoutASignal) {
  const auto link = MakeLinkPort();
  LoopbackListener listener;
  const SocketHandle s = link->ConnectTcp(kLoopback, listener.Port(), 1000);
  ASSERT_TRUE(IsOpen(s));
  LoopbackPeer peer = listener.Accept();
  ASSERT_TRUE(peer.Valid());
  peer.Reset();
  ASSERT_TRUE(Receives(s, 5000));  // the reset has arrived
  const std::vector<uint8_t> chunk = Pattern(64 * 1024);
  bool failed = false;
  for (int i = 0; i < 50 && !failed; ++i) failed = !link->SendTcp(s, chunk.data(), chunk.size());
  EXPECT_TRUE(failed);
  link->CloseTcp(s);
  EXPECT_FALSE(link->SendTcp(kNoSocket, chunk.data(), 1));
}

}  // namespace
}  // namespace plotsend
