#pragma once

#include <memory>

#include "device/hid_backend.h"

namespace quarnel {

// The backend for real trackers, on hidapi (the hidraw flavour on Linux).
// Creating it initialises hidapi; destroying the last one releases it.
std::unique_ptr<HidBackend> MakeHidapiBackend();

}  // namespace quarnel
