#pragma once
// The link state the main dialog holds, and the operations that change it.
// They keep the state free of leaks: a port or socket is closed before its
// field is given a new one, and a failed open or connect leaves nothing open.
// A copy of the state (plain values) is what the send thread and the
// alignment dialog write through.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/link_port.h"

namespace plotsend {

struct LinkState {
  DeviceHandle PortHandle = kNoDevice;  // kInvalidDevice after a failed open
  bool PortOpen = false;                // an open was attempted that must be undone first
  SocketHandle TcpSocket = kNoSocket;
  bool TcpConnected = false;  // writes go to TcpSocket, else to PortHandle
};

struct OpenPortResult {
  enum class Outcome { Opened, SerialFailed, UsbFailed };
  bool closedPrevious = false;  // a port held from before was closed first
  Outcome outcome = Outcome::SerialFailed;
};

// Opens the port list entry `entry`: "USB_n" opens usbPaths[n], any other
// text is a serial port name. A port held from before is closed first. On
// success a held socket is closed too and TcpConnected cleared, so writes go
// to the new port. A USB entry without a path counts as a failed USB open.
OpenPortResult OpenSelectedPort(LinkPort& link, LinkState& state, const std::string& entry,
                                const std::vector<std::string>& usbPaths);

// Closes a held socket, then connects a new one to address:port. Sets and
// returns TcpConnected. A port number outside 1..65535 fails at once.
bool ConnectTcp(LinkPort& link, LinkState& state, Ipv4Address address, int32_t port,
                int timeoutMs = kTcpConnectTimeoutMs);

// Closes the socket if one is held; TcpConnected := false.
void CloseTcp(LinkPort& link, LinkState& state);
// Closes the serial/USB port if one is held; PortHandle := kNoDevice.
void ClosePort(LinkPort& link, LinkState& state);
// Both, for window destruction: nothing stays open, whatever TcpConnected says.
void CloseLink(LinkPort& link, LinkState& state);

// A job chunk or a jog command: SendTcp when TcpConnected, else
// WritePortBlocking on PortHandle. True only when every byte went out.
bool WriteLink(LinkPort& link, const LinkState& state, const uint8_t* bytes, size_t length);
// The origin command: SendTcp when TcpConnected, else WritePortTimed.
bool WriteLinkTimed(LinkPort& link, const LinkState& state, const uint8_t* bytes, size_t length);
// After the last chunk of a job: FinishTcp when TcpConnected, else DrainPort.
// True only when every byte reached the cutter.
bool DrainLink(LinkPort& link, const LinkState& state);
// Makes the I/O on the link's port and socket fail at once, from any thread;
// both stay open until closed.
void AbortLinkIo(LinkPort& link, const LinkState& state);

}  // namespace plotsend
