// <windows.h> without the macros that would rename the file system port's
// operations (CreateDirectory to CreateDirectoryA and so on). The adapters
// call the wide-character functions by their full names.
#pragma once

#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef MoveFile
#undef RemoveDirectory
