// Placeholder so the tree links while the commands are written; replaced by the real files.
#include "params/param_commands.h"
namespace quarnel {
void GetParameter(CommandContext&, ParamState&) {}
void SetParameter(CommandContext&, ParamState&) {}
void SetDefault(CommandContext&, ParamState&) {}
void OnAddressModeClicked(FormAccess&, int) {}
}  // namespace quarnel
