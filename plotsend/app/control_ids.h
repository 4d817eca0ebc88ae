#pragma once
// Resource ids of the main dialog's controls.

namespace plotsend::control {

inline constexpr int kProgress = 1000;
inline constexpr int kPortList = 1001;
inline constexpr int kStatus = 1003;
inline constexpr int kClose = 1004;
inline constexpr int kCancel = 1005;
inline constexpr int kStart = 1006;
inline constexpr int kUDiskFile = 1007;
inline constexpr int kIsOffset = 1008;
inline constexpr int kIsClose = 1009;
inline constexpr int kOffsetVal = 1010;
inline constexpr int kCloseVal = 1011;
inline constexpr int kIpAddress = 1045;
inline constexpr int kDefaultIp = 1046;
inline constexpr int kFrom = 1048;
inline constexpr int kTo = 1049;
inline constexpr int kWifiTest = 1052;
inline constexpr int kTcpPort = 1053;
inline constexpr int kIsDashedLine = 1054;
inline constexpr int kDashGap = 1057;
inline constexpr int kDashLine = 1058;
inline constexpr int kSortPaths = 1060;

// Messages the workers post to the main dialog.
inline constexpr unsigned WM_SEND_FINISHED = 0x502;
inline constexpr unsigned WM_JOB_PREPARED = 0x503;
// The socket notifications the dialog handles: data ready, connection closed.
inline constexpr int kSocketRead = 1;
inline constexpr int kSocketClose = 32;

// Results a dialog ends with.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

}  // namespace plotsend::control
