#include "link/port_list.h"

#include <gtest/gtest.h>

#include "link/usb_cutter_id.h"

namespace plotsend {
namespace {

TEST(PortList, UsbCuttersThenSerialPortsThenTcp) {
  EXPECT_EQ(BuildPortList(2, {"COM1", "COM3"}), (std::vector<std::string>{"USB_0", "USB_1", "COM1", "COM3", "TCP/IP"}));
  EXPECT_EQ(BuildPortList(0, {"COM1", "COM3"}), (std::vector<std::string>{"COM1", "COM3", "TCP/IP"}));
  EXPECT_EQ(BuildPortList(0, {}), (std::vector<std::string>{"TCP/IP"}));
}

TEST(PortList, EntriesReadBack) {
  const std::vector<std::string> list = BuildPortList(10, {"COM12"});
  EXPECT_EQ(UsbEntryIndex(list[0]), 0u);
  EXPECT_EQ(UsbEntryIndex(list[9]), 9u);
  EXPECT_FALSE(UsbEntryIndex(list[10]).has_value());
  EXPECT_TRUE(IsTcpEntry(list.back()));
  EXPECT_FALSE(IsUsbEntry(list.back()));
  EXPECT_TRUE(IsUsbEntry(list[3]));
  EXPECT_FALSE(IsTcpEntry(list[10]));
  for (const char* bad : {"USB_", "USB_x", "USB_1a", "USB_123", "USB1", "usb_1", ""}) {
    EXPECT_FALSE(UsbEntryIndex(bad).has_value()) << bad;
  }
}

TEST(CutterId, InterfacePathPrefixIsExact) {
  EXPECT_TRUE(
      IsCutterInterfacePath("\\\\?\\usb#vid_0483&pid_5448#6&2a3c1b9&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}"));
  EXPECT_TRUE(IsCutterInterfacePath("\\\\?\\usb#vid_0483&pid_5448"));
  EXPECT_FALSE(IsCutterInterfacePath("\\\\?\\usb#vid_0483&pid_5449#6&2a3c1b9&0&1"));
  EXPECT_FALSE(IsCutterInterfacePath("\\\\?\\usb#vid_04b8&pid_5448#6&2a3c1b9&0&1"));
  EXPECT_FALSE(IsCutterInterfacePath("\\\\?\\USB#VID_0483&PID_5448#6&2a3c1b9&0&1"));
  EXPECT_FALSE(IsCutterInterfacePath("\\\\?\\usb#vid_0483&pid_54"));
}

TEST(CutterId, SysfsIds) {
  EXPECT_TRUE(IsCutterUsbId("0483\n", "5448\n"));
  EXPECT_TRUE(IsCutterUsbId("0483", "5448"));
  EXPECT_FALSE(IsCutterUsbId("0483\n", "5449\n"));
  EXPECT_FALSE(IsCutterUsbId("04830\n", "5448\n"));
  EXPECT_FALSE(IsCutterUsbId("", ""));
}

}  // namespace
}  // namespace plotsend
