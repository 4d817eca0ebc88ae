// Opening, connecting and closing through the dialog's link state.
#include "link/link_state.h"

#include "link/port_list.h"

namespace plotsend {

OpenPortResult OpenSelectedPort(LinkPort& link, LinkState& state, const std::string& entry,
                                const std::vector<std::string>& usbPaths) {
  OpenPortResult result;
  result.closedPrevious = state.PortOpen;
  state.PortOpen = false;
  ClosePort(link, state);

  DeviceHandle opened = kInvalidDevice;
  if (IsUsbEntry(entry)) {
    const std::optional<size_t> n = UsbEntryIndex(entry);
    if (n && *n < usbPaths.size()) opened = link.OpenUsbPort(usbPaths[*n]);
    // A USB open counts as attempted even when it failed: the next open
    // reports the port closed again.
    state.PortOpen = true;
    result.outcome = IsOpen(opened) ? OpenPortResult::Outcome::Opened : OpenPortResult::Outcome::UsbFailed;
  } else {
    opened = link.OpenSerialPort(entry);
    state.PortOpen = IsOpen(opened);
    result.outcome = IsOpen(opened) ? OpenPortResult::Outcome::Opened : OpenPortResult::Outcome::SerialFailed;
  }
  state.PortHandle = IsOpen(opened) ? opened : kInvalidDevice;
  if (IsOpen(opened)) CloseTcp(link, state);
  return result;
}

bool ConnectTcp(LinkPort& link, LinkState& state, Ipv4Address address, int32_t port, int timeoutMs) {
  CloseTcp(link, state);
  if (port < 1 || port > 65535) return false;
  state.TcpSocket = link.ConnectTcp(address, static_cast<uint16_t>(port), timeoutMs);
  state.TcpConnected = IsOpen(state.TcpSocket);
  return state.TcpConnected;
}

void CloseTcp(LinkPort& link, LinkState& state) {
  if (IsOpen(state.TcpSocket)) link.CloseTcp(state.TcpSocket);
  state.TcpSocket = kNoSocket;
  state.TcpConnected = false;
}

void ClosePort(LinkPort& link, LinkState& state) {
  if (IsOpen(state.PortHandle)) link.ClosePort(state.PortHandle);
  state.PortHandle = kNoDevice;
}

void CloseLink(LinkPort& link, LinkState& state) {
  ClosePort(link, state);
  state.PortOpen = false;
  CloseTcp(link, state);
}

bool WriteLink(LinkPort& link, const LinkState& state, const uint8_t* bytes, size_t length) {
  if (state.TcpConnected) return link.SendTcp(state.TcpSocket, bytes, length);
  return link.WritePortBlocking(state.PortHandle, bytes, length);
}

bool WriteLinkTimed(LinkPort& link, const LinkState& state, const uint8_t* bytes, size_t length) {
  if (state.TcpConnected) return link.SendTcp(state.TcpSocket, bytes, length);
  return link.WritePortTimed(bytes, length, state.PortHandle);
}

bool DrainLink(LinkPort& link, const LinkState& state) {
  if (state.TcpConnected) return link.FinishTcp(state.TcpSocket);
  return link.DrainPort(state.PortHandle);
}

void AbortLinkIo(LinkPort& link, const LinkState& state) {
  if (IsOpen(state.PortHandle)) link.AbortPortIo(state.PortHandle);
  if (IsOpen(state.TcpSocket)) link.AbortTcpIo(state.TcpSocket);
}

}  // namespace plotsend
