#pragma once
// The terminal's link commands: the link options, the WiFi log-on test and
// start, which sends the job to the cutter.
#include <functional>

#include "app/cli/cli_host.h"
#include "app/cli/cli_options.h"
#include "app/cli/interrupts.h"
#include "app/plotsend_dlg.h"

namespace plotsend {

// --port, --ip and --tcp-port applied like the dialog's controls. False,
// with a message, for a port that is not in the list.
bool ApplyLinkOptions(CPlotsendDlg& dlg, const CliOptions& options);

int WifiTest(CPlotsendDlg& dlg, Language language);

// Prepares the job on its worker, applies the field edits, presses Start
// and follows the send to its end. Ctrl-C presses Cancel.
int Start(CPlotsendDlg& dlg, CliHost& host, Interrupts& interrupts, const CliOptions& options, Language language,
          const std::function<void(const CliOptions&)>& applyEdits);

}  // namespace plotsend
