// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "form/form_access.h"
#include "profile/profile.h"

namespace quarnel {

// Profiles and the window's fields. These are what make a profile mean exactly what the
// window would do: `set` puts a profile into a form with FillForm and runs the window's
// own Set Parameter on it; `get` runs the window's Get Parameter and takes the form's
// fields with ProfileFromForm.

// Puts every value of a profile (one that CheckProfile accepted) into the form's fields as
// the window's fields hold them: the edits' texts, the check boxes, the Mode combo box's
// selection (the form must hold the four Mode entries, as the window does once its
// language texts are on) and the TCP, UDP and Reply boxes as a read or a click leaves
// them. The header (IMEI, version) is not written: Set Parameter never sends it.
void FillForm(const Profile& profile, FormAccess& form);

// The form's fields as a profile: the body, and the IMEI and version in the header. The
// format is the current one; read_at is left empty for the caller to fill.
Profile ProfileFromForm(FormAccess& form);

// What a value reads back as once Set Parameter has written it and Get Parameter has read
// it: integers as plain decimal text, phone lists without empty entries and with a comma
// after each number; everything else as it is.
std::u16string ValueAfterReadBack(const ProfileKey& key, std::u16string_view value);

// A value the tracker holds other than it was written.
struct ValueDifference {
    size_t key;               // index into ProfileKeys()
    std::u16string expected;  // as it should read back
    std::u16string actual;    // as it was read back
};

// Every value of `readBack` that differs from what `written` should read back as.
std::vector<ValueDifference> CompareAfterWrite(const Profile& written, const Profile& readBack);

}  // namespace quarnel
