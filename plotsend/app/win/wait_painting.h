#pragma once
// A wait on the user-interface thread during which the windows still paint.
namespace plotsend::win32 {

// Returns after `milliseconds`, having served paint and timer messages and
// messages sent from other threads meanwhile. Input waits in the queue, so
// no handler runs a second time inside the one that waits.
void WaitPainting(int milliseconds);

}  // namespace plotsend::win32
