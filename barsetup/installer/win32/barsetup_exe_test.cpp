// Barsetup.exe as built: the archiver resources hold the same bytes as the
// package's 7z.exe and 7z.dll (which this test carries too), the manifest
// asks for no elevation and declares DPI awareness, the version is 1.0.1.0,
// and the program is a windows-subsystem program (no console).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/win32/win_api.h"
#include "common/win32/wide_text.h"
#include "installer/path_text.h"
#include "installer/win32/program_file.h"
#include "installer/win32/win_resources.h"

namespace barsetup {
namespace {

class BarsetupModule : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = plotara::ToWide(ModuleDirectory(ProgramPath()) + "Barsetup.exe").value();
    module_ = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "Barsetup.exe beside the test cannot be opened";
  }
  void TearDown() override {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  std::string Resource(const wchar_t* type, const wchar_t* id) const {
    HRSRC found = FindResourceW(module_, id, type);
    if (found == nullptr) return "<none>";
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
    return std::string(data, SizeofResource(module_, found));
  }

  std::wstring path_;
  HMODULE module_ = nullptr;
};

std::string Own(const std::string& type, int id) {
  WinResources own;
  std::vector<unsigned char> bytes;
  std::string error;
  if (!own.Load(type, id, &bytes, &error)) return "<missing: " + error + ">";
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(BarsetupModule, CarriesThePackagesArchiver) {
  const std::string exe = Resource(L"EXE7Z", MAKEINTRESOURCEW(132));
  const std::string dll = Resource(L"DLL7Z", MAKEINTRESOURCEW(131));
  EXPECT_EQ(exe.substr(0, 2), "MZ");
  EXPECT_EQ(dll.substr(0, 2), "MZ");
  EXPECT_EQ(exe, Own("EXE7Z", 132));
  EXPECT_EQ(dll, Own("DLL7Z", 131));
}

TEST_F(BarsetupModule, ManifestAsInvokerAndDpiAware) {
  const std::string manifest = Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1));  // RT_MANIFEST
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAwareness"), std::string::npos);
}

TEST_F(BarsetupModule, VersionAndSubsystem) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<unsigned char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path_.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));  // 1.0
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 1));  // .1.0
  EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
  EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 1));

  HMODULE image = LoadLibraryExW(path_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  // A data-file mapping has the low bit of its handle set.
  const auto* base = reinterpret_cast<const unsigned char*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR{3});
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(base + dos->e_lfanew);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  FreeLibrary(image);
}

}  // namespace
}  // namespace barsetup
