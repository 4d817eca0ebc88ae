#include "link/link_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/fake_link.h"

namespace plotsend {
namespace {

using Outcome = OpenPortResult::Outcome;
using Kind = FakeLink::CallKind;

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

bool Write(FakeLink& link, const LinkState& state, const std::string& text) {
  const std::vector<uint8_t> b = Bytes(text);
  return WriteLink(link, state, b.data(), b.size());
}

TEST(OpenSelectedPort, SerialOpensByListedNameAndReopensAfterClosing) {
  FakeLink link;
  LinkState state;
  OpenPortResult r = OpenSelectedPort(link, state, "/dev/ttyUSB0", {});
  EXPECT_EQ(r.outcome, Outcome::Opened);
  EXPECT_FALSE(r.closedPrevious);
  EXPECT_TRUE(state.PortOpen);
  ASSERT_TRUE(IsOpen(state.PortHandle));
  EXPECT_EQ(link.Calls().back().name, "/dev/ttyUSB0");
  const DeviceHandle first = state.PortHandle;

  // Start pressed again: the first handle is closed before the port opens anew.
  r = OpenSelectedPort(link, state, "/dev/ttyUSB0", {});
  EXPECT_TRUE(r.closedPrevious);
  EXPECT_EQ(r.outcome, Outcome::Opened);
  EXPECT_NE(state.PortHandle, first);
  EXPECT_EQ(link.OpenDevices(), 1u);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST(OpenSelectedPort, FailedSerialOpenLeavesThePreviousHandleClosed) {
  FakeLink link;
  link.FailOpen("COM5");
  LinkState state;
  OpenSelectedPort(link, state, "COM1", {});
  const OpenPortResult r = OpenSelectedPort(link, state, "COM5", {});
  EXPECT_TRUE(r.closedPrevious);
  EXPECT_EQ(r.outcome, Outcome::SerialFailed);
  EXPECT_EQ(state.PortHandle, kInvalidDevice);
  EXPECT_FALSE(state.PortOpen);
  EXPECT_EQ(link.OpenDevices(), 0u);
  // Nothing was held after the failure, so nothing is reported closed.
  EXPECT_FALSE(OpenSelectedPort(link, state, "COM5", {}).closedPrevious);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST(OpenSelectedPort, UsbEntriesOpenTheirPathAndAFailureIsUndoneNextTime) {
  FakeLink link;
  const std::vector<std::string> paths = {"/dev/usb/lp0", "/dev/usb/lp3"};
  LinkState state;
  OpenPortResult r = OpenSelectedPort(link, state, "USB_1", paths);
  EXPECT_EQ(r.outcome, Outcome::Opened);
  EXPECT_EQ(link.Calls().back().kind, Kind::OpenUsb);
  EXPECT_EQ(link.Calls().back().name, "/dev/usb/lp3");

  link.FailOpen("/dev/usb/lp0");
  r = OpenSelectedPort(link, state, "USB_0", paths);
  EXPECT_EQ(r.outcome, Outcome::UsbFailed);
  EXPECT_EQ(state.PortHandle, kInvalidDevice);
  EXPECT_TRUE(state.PortOpen);
  // The failed USB open is reported closed by the next open, without an
  // invalid handle being closed.
  r = OpenSelectedPort(link, state, "USB_1", paths);
  EXPECT_TRUE(r.closedPrevious);
  EXPECT_EQ(r.outcome, Outcome::Opened);
  EXPECT_EQ(link.OpenDevices(), 1u);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST(OpenSelectedPort, UsbEntryWithoutAPathFailsWithoutOpening) {
  FakeLink link;
  LinkState state;
  EXPECT_EQ(OpenSelectedPort(link, state, "USB_2", {"a", "b"}).outcome, Outcome::UsbFailed);
  EXPECT_EQ(OpenSelectedPort(link, state, "USB_", {"a"}).outcome, Outcome::UsbFailed);
  EXPECT_EQ(link.CallCount(Kind::OpenUsb), 0u);
  EXPECT_EQ(state.PortHandle, kInvalidDevice);
}

TEST(OpenSelectedPort, OpenedPortTakesOverFromAHeldSocket) {
  FakeLink link;
  link.FailOpen("COM9");
  LinkState state;
  ASSERT_TRUE(ConnectTcp(link, state, {}, 9100));
  // A failed open changes nothing about the socket.
  OpenSelectedPort(link, state, "COM9", {});
  EXPECT_TRUE(state.TcpConnected);
  EXPECT_EQ(link.OpenSockets(), 1u);

  OpenSelectedPort(link, state, "COM2", {});
  EXPECT_FALSE(state.TcpConnected);
  EXPECT_EQ(state.TcpSocket, kNoSocket);
  EXPECT_EQ(link.OpenSockets(), 0u);
  ASSERT_TRUE(Write(link, state, "U0,0;"));
  EXPECT_EQ(link.Written(state.PortHandle), Bytes("U0,0;"));
}

TEST(ConnectTcp, EachConnectClosesTheSocketBefore) {
  FakeLink link;
  LinkState state;
  const Ipv4Address address{{127, 0, 0, 1}};
  for (int i = 0; i < 20; ++i) ASSERT_TRUE(ConnectTcp(link, state, address, 9100));
  EXPECT_EQ(link.OpenSockets(), 1u);
  EXPECT_EQ(link.CallCount(Kind::CloseTcp), 19u);
  EXPECT_EQ(link.LastPort(), 9100);
  EXPECT_EQ(link.LastTimeout(), kTcpConnectTimeoutMs);
  EXPECT_EQ(link.LastAddress().field[0], 127);
  EXPECT_EQ(link.LastAddress().field[3], 1);

  // A failed connect leaves no socket behind, the old one closed too.
  link.SetConnectSucceeds(false);
  EXPECT_FALSE(ConnectTcp(link, state, address, 9100));
  EXPECT_FALSE(state.TcpConnected);
  EXPECT_EQ(state.TcpSocket, kNoSocket);
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST(ConnectTcp, PortOutsideTheTcpRangeFailsWithoutConnecting) {
  FakeLink link;
  LinkState state;
  for (const int32_t port : {0, -1, 65536, 9100 + 65536}) {
    EXPECT_FALSE(ConnectTcp(link, state, {}, port)) << port;
  }
  EXPECT_EQ(link.CallCount(Kind::Connect), 0u);
  EXPECT_TRUE(ConnectTcp(link, state, {}, 65535, 250));
  EXPECT_EQ(link.LastPort(), 65535);
  EXPECT_EQ(link.LastTimeout(), 250);
}

TEST(CloseLink, ClosesPortAndSocketWhateverTheFlagSays) {
  FakeLink link;
  LinkState state;
  ConnectTcp(link, state, {}, 9100);
  state.TcpConnected = false;  // as after an open of a port that failed later
  OpenSelectedPort(link, state, "USB_0", {"/dev/usb/lp0"});
  state.TcpSocket = link.ConnectTcp({}, 9100, 100);
  CloseLink(link, state);
  EXPECT_EQ(link.OpenDevices(), 0u);
  EXPECT_EQ(link.OpenSockets(), 0u);
  EXPECT_EQ(state.PortHandle, kNoDevice);
  EXPECT_FALSE(state.PortOpen);
  CloseLink(link, state);
  EXPECT_EQ(link.BadCloses(), 0u);
}

TEST(WriteLink, GoesToTheSocketWhenConnectedElseToThePort) {
  FakeLink link;
  LinkState state;
  OpenSelectedPort(link, state, "COM1", {});
  const uint8_t origin = '<';
  EXPECT_TRUE(WriteLinkTimed(link, state, &origin, 1));
  EXPECT_TRUE(Write(link, state, "IN;"));
  EXPECT_EQ(link.Written(state.PortHandle), Bytes("<IN;"));
  EXPECT_EQ(link.CallCount(Kind::WriteTimed), 1u);
  EXPECT_EQ(link.CallCount(Kind::WriteBlocking), 1u);

  LinkState tcp;
  ConnectTcp(link, tcp, {}, 9100);
  EXPECT_TRUE(WriteLinkTimed(link, tcp, &origin, 1));
  EXPECT_TRUE(Write(link, tcp, "IN;"));
  EXPECT_EQ(link.Sent(tcp.TcpSocket), Bytes("<IN;"));
  EXPECT_EQ(link.CallCount(Kind::Send), 2u);
}

TEST(WriteLink, FailuresAndShortWritesAreReported) {
  FakeLink link;
  LinkState state;
  OpenSelectedPort(link, state, "COM1", {});
  link.FailWrite(2);
  link.ShortWrite(3, 2);
  EXPECT_TRUE(Write(link, state, "abc"));
  EXPECT_FALSE(Write(link, state, "def"));
  EXPECT_FALSE(Write(link, state, "ghi"));
  EXPECT_TRUE(Write(link, state, "jkl"));
  EXPECT_EQ(link.Written(state.PortHandle), Bytes("abcghjkl"));

  // Nothing goes to a port that failed to open.
  LinkState failed;
  failed.PortHandle = kInvalidDevice;
  EXPECT_FALSE(Write(link, failed, "x"));
}

}  // namespace
}  // namespace plotsend
