// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <memory>

#include "device/hid_backend.h"

namespace quarnel {

// The backend for real trackers, on hidapi (the hidraw flavour on Linux).
// Creating it initialises hidapi; destroying the last one releases it (a reference count
// shared by every backend and every handle still open).
//
// How the HidBackend operations map onto hidapi:
// - EnumerateInterfaces: hid_enumerate(0, 0) in hidapi's order, each path once (hidapi
//   lists a path once per top-level collection). The vendor and product IDs are kept per
//   path, as enumeration saw them.
// - Open(path, None): answers the attributes kept for the path without opening the device;
//   nullptr when enumeration did not list it. Enumeration already reads the IDs without
//   opening the device (on Linux from sysfs, never touching the hidraw node), which is what
//   the platform's "open without access rights" achieved.
// - Open(path, Read / Write): hid_open_path. A handle opened for one direction refuses the
//   other (Failed), as a platform handle with only one access right does.
// - Read: hid_read_timeout in slices of a few milliseconds, looking at the cancel event
//   between slices, up to the time-out. Synchronous, so an abandoned read never completes
//   into the caller's buffer later. hidapi drops report ID 0 from the unnumbered reports
//   the tracker sends (on Linux the kernel never delivers it; on Windows hidapi reads into
//   its own buffer and strips it): the backend puts a 0 back in front and counts it.
// - Write: hid_write of the 65 bytes, report ID 0 first. hid_write has no time-out, so it
//   runs on a writer thread of the handle, from the writer's own copy (BoundedWriter):
//   the caller waits at most its time-out, a write given up on before it started is never
//   sent, and one already under way completes into nothing of the caller's. Closing never
//   waits for a stuck write; the device is closed when that write returns.
std::unique_ptr<HidBackend> MakeHidapiBackend();

}  // namespace quarnel
