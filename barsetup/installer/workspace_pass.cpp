#include "installer/workspace_pass.h"

#include <utility>

#include "installer/file_tree.h"
#include "installer/installer_texts.h"
#include "installer/path_text.h"
#include "installer/zip_listing.h"

namespace barsetup {
namespace {

constexpr const char* kPackageEnding = ".cdws";
constexpr const char* kWorkspaceXml = "\\content\\workspace.xml";
constexpr const char* kZipWorkspaceEntry = "content/workspace.xml";
// A second unpack directory beside the package, used when the usual one
// already exists (it may hold files of the user's); the pass owns it.
constexpr const char* kOwnUnpackSuffix = ".barsetup";
// Beside every directory the pass unpacks into lies a marker file of this
// name while the directory exists, so that the leftover of a run that was
// killed part way is known as the pass's own and removed by a later run. It
// lies beside the directory, not in it, so that it is never packed.
constexpr const char* kOwnMarkerSuffix = ".barsetup-unpack";
// The repacked package is built under this name and replaces the package
// only when it is complete.
constexpr const char* kNewPackageSuffix = ".new";

bool Succeeded(const ChildRun& run) { return run.started && (!run.exitKnown || run.exitCode == 0); }

// Removes an unpack directory and then its marker; the marker stays while
// anything of the directory does.
void RemoveOwnDirectory(FileSystemPort& files, const std::string& dir) {
  if (DeleteDirectoryTree(files, dir)) files.DeleteFile(dir + kOwnMarkerSuffix);
}

}  // namespace

WorkspacePass::WorkspacePass(InstallerPorts& ports, std::string programDir, ToolbarHandler handler,
                             std::vector<std::string>& notes)
    : ports_(ports),
      programDir_(std::move(programDir)),
      handler_(std::move(handler)),
      notes_(notes),
      archiver_(ports, programDir_) {}

void WorkspacePass::UpdateWorkspaces() {
  for (const VersionRow& row : VersionTable()) {
    std::string value;
    if (!ports_.registry.ReadString(row.productKey, row.workspaceValue, &value)) continue;
    if (value.empty() || !FitsPathBuffer(value)) continue;
    // A value that is no full Windows path (a POSIX path, say) would name a
    // file relative to wherever the installer runs, or outside the drives.
    if (!IsFullWindowsPath(value)) {
      notes_.push_back(NoteNoWorkspaceNamed(value));
      continue;
    }
    if (row.packaged) {
      UpdatePackage(row, value);
    } else {
      UpdateDirectoryWorkspace(row, value);
    }
  }
  DeleteSourceIcons(ports_.files, programDir_);
}

// The value names a workspace file with a four-character ending; its
// directory, named without that ending, holds the configuration.
void WorkspacePass::UpdateDirectoryWorkspace(const VersionRow& row, const std::string& value) {
  if (CharacterCount(value) <= 4) {
    notes_.push_back(NoteNoWorkspaceNamed(value));
    return;
  }
  const std::string xml = DropLastCharacters(value, 4) + "\\DRAWUIConfig.xml";
  if (!ports_.files.Exists(xml)) {
    notes_.push_back(NoteNoWorkspaceFile(xml));
    return;
  }
  if (!KeepBackup(ports_.files, xml)) {
    notes_.push_back(NoteNoBackup(xml));
    return;
  }
  CurrentVersion = row.version;
  const std::string failure = handler_(xml, CurrentVersion);
  if (!failure.empty()) notes_.push_back(NoteNotEdited(xml, failure));
}

void WorkspacePass::UpdatePackage(const VersionRow& row, const std::string& package) {
  if (!EndsWithNoCase(package, kPackageEnding)) {
    notes_.push_back(NoteNoWorkspaceNamed(package));
    return;
  }
  std::string dir;
  if (!PrepareUnpackDirectory(package, &dir)) {
    notes_.push_back(NoteNoUnpackDirectory(dir));
    return;
  }
  archiver_.ExtractArchiver();
  archiver_.RunArchiver(archiver_.UnpackCommand(package, dir));
  const std::string xml = dir + kWorkspaceXml;
  if (!ports_.files.Exists(xml)) {
    notes_.push_back(NoteNotUnpacked(package));
  } else if (!KeepBackup(ports_.files, package)) {
    notes_.push_back(NoteNoBackup(package));
  } else {
    CurrentVersion = row.version;
    CopyIcons(ports_.files, programDir_, dir);
    const std::string failure = handler_(xml, CurrentVersion);
    if (failure.empty()) {
      RepackSafely(package, dir);
    } else {
      notes_.push_back(NoteNotEdited(package, failure));
    }
  }
  RemoveOwnDirectory(ports_.files, dir);
}

// The package path without ".cdws"; when that already exists and is not a
// leftover of the pass's own, the pass's own directory beside it (a leftover
// of an interrupted run is cleared first), so that no file of the user's is
// packed in or deleted. The directory is made with its marker.
bool WorkspacePass::PrepareUnpackDirectory(const std::string& package, std::string* dir) {
  *dir = package.substr(0, package.size() - 5);
  if (ports_.files.Exists(*dir) && ports_.files.Exists(*dir + kOwnMarkerSuffix)) {
    RemoveOwnDirectory(ports_.files, *dir);
  }
  if (ports_.files.Exists(*dir)) {
    *dir += kOwnUnpackSuffix;
    if (ports_.files.Exists(*dir) && !DeleteDirectoryTree(ports_.files, *dir)) return false;
  }
  const std::string marker = *dir + kOwnMarkerSuffix;
  if (!ports_.files.WriteFile(marker, {})) return false;
  if (ports_.files.CreateDirectory(*dir)) return true;
  ports_.files.DeleteFile(marker);
  return false;
}

// Packs the edited copy into a copy of the package, which replaces the package
// only after the archiver ended well and the result lists the workspace.
void WorkspacePass::RepackSafely(const std::string& package, const std::string& dir) {
  const std::string fresh = package + kNewPackageSuffix;
  bool ok =
      ports_.files.CopyFile(package, fresh) && Succeeded(archiver_.RunArchiver(archiver_.RepackCommand(fresh, dir)));
  std::vector<unsigned char> bytes;
  ok = ok && ports_.files.ReadFile(fresh, &bytes) && ZipListsEntry(bytes, kZipWorkspaceEntry) &&
       ports_.files.MoveFile(fresh, package);
  if (!ok) {
    ports_.files.DeleteFile(fresh);
    notes_.push_back(NoteNotRepacked(package));
  }
}

}  // namespace barsetup
