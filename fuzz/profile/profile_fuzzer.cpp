// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Any bytes as a profile file: checking never fails, and what it accepts comes back the
// same when written out again, and seals to a profile that checks as sealed.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "profile/profile_check.h"
#include "profile/profile_write.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quarnel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const CheckedProfile enforced = CheckProfile(bytes, ChecksumRule::Enforce);
    const CheckedProfile checked = CheckProfile(bytes, ChecksumRule::Ignore);
    Check(checked.problems.size() <= enforced.problems.size());
    Check(checked.keyLines.size() == ProfileKeys().size());
    for (const ProfileProblem& p : checked.problems) {
        Check(p.line >= 0 && !p.text.empty());
    }
    if (!checked.Usable()) {
        return 0;
    }
    const CheckedProfile again =
        CheckProfile(FormatProfile(checked.profile), ChecksumRule::Enforce);
    Check(again.Usable() && again.profile == checked.profile);
    const CheckedProfile sealed =
        CheckProfile(SealProfileText(bytes, checked), ChecksumRule::Enforce);
    Check(sealed.Usable() && sealed.seal == SealState::Matches &&
          sealed.profile == checked.profile);
    return 0;
}
