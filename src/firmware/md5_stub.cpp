// Placeholder so the tree links while MD5 is written; replaced by the real file.
#include "firmware/md5.h"
namespace quarnel {
void Md5::Start() {}
void Md5::Add(const uint8_t*, size_t) {}
Md5Digest Md5::Finish() { return {}; }
Md5Digest Md5::Of(const uint8_t*, size_t) { return {}; }
}  // namespace quarnel
