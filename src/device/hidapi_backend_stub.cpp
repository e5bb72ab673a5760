// Placeholder so the tree links while the hidapi backend is written; replaced by the real file.
#include "device/hidapi_backend.h"
namespace quarnel {
std::unique_ptr<HidBackend> MakeHidapiBackend() { return nullptr; }
}  // namespace quarnel
