// Opening serial and USB devices for overlapped I/O, and writing them.
#include "link/win32/win_link.h"

#include <optional>

#include "common/win32/wide_text.h"

namespace plotsend {

std::wstring DevicePath(const std::string& name) {
  const std::optional<std::wstring> wide = plotara::ToWide(name);
  if (!wide || wide->empty()) return {};
  if (wide->rfind(L"\\\\", 0) == 0) return *wide;
  return L"\\\\.\\" + *wide;
}

HANDLE OpenOverlapped(const std::string& name) {
  const std::wstring path = DevicePath(name);
  if (path.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                     nullptr);
}

bool ConfigureSerial(HANDLE port) {
  // Reads return at once; a write may take a second per byte plus a second.
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = kSerialWriteMsPerByte;
  timeouts.WriteTotalTimeoutConstant = kSerialWriteConstantMs;
  if (!SetCommTimeouts(port, &timeouts)) return false;

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(port, &dcb)) return false;
  dcb.BaudRate = CBR_38400;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fOutxCtsFlow = TRUE;
  if (!SetCommState(port, &dcb)) return false;
  return PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) != 0;
}

namespace {

// One WriteFile of up to a DWORD's worth; the count written, 0 on failure.
DWORD WritePiece(HANDLE h, HANDLE event, HANDLE abort, const uint8_t* bytes, DWORD length, DWORD waitMs) {
  if (abort != nullptr && WaitForSingleObject(abort, 0) == WAIT_OBJECT_0) return 0;
  OVERLAPPED ov{};
  ov.hEvent = event;
  ResetEvent(event);
  DWORD written = 0;
  if (!WriteFile(h, bytes, length, nullptr, &ov)) {
    if (GetLastError() != ERROR_IO_PENDING) return 0;
    const HANDLE waits[2] = {event, abort};
    if (WaitForMultipleObjects(abort != nullptr ? 2 : 1, waits, FALSE, waitMs) != WAIT_OBJECT_0) {
      // The system still owns `ov`; take it back before it leaves scope.
      CancelIoEx(h, &ov);
      GetOverlappedResult(h, &ov, &written, TRUE);
      return 0;
    }
  }
  if (!GetOverlappedResult(h, &ov, &written, FALSE)) return 0;
  return written;
}

}  // namespace

bool OverlappedWrite(HANDLE h, const uint8_t* bytes, size_t length, DWORD waitMs, HANDLE abort) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
  HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (event == nullptr) return false;
  // A serial port's pending error would stop every write until cleared;
  // other devices just refuse the call.
  DWORD errors = 0;
  ClearCommError(h, &errors, nullptr);
  bool ok = true;
  for (size_t done = 0; ok && done < length;) {
    const DWORD piece = length - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(length - done);
    const DWORD written = WritePiece(h, event, abort, bytes + done, piece, waitMs);
    // Fewer bytes than asked means the port's write time-out ran out.
    ok = written == piece;
    done += written;
  }
  CloseHandle(event);
  return ok;
}

}  // namespace plotsend
