// Placeholder so the tree links while the update is written; replaced by the real files.
#include "firmware/firmware_update.h"
namespace quarnel {
void OnUpdateFirmware(CommandContext&) {}
}  // namespace quarnel
