// SPDX-FileCopyrightText: 2026 The Quarnel authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QLabel;

namespace quarnel {

class FormControls;

// Gives the form's controls the names and descriptions a screen reader speaks, from the
// captions they show now (so in the language shown), by the rule of form/control_names.h:
// - a control gets the captions that name it joined by ", " as its accessible name; when one
//   label names it, it is also that label's buddy (Qt's own way, which screen readers
//   announce as the control's label, and which gives a "&" in the label's text its meaning
//   of a mnemonic, as on the form's home platform);
// - a push button keeps the caption it starts with as its name, so the percentage a
//   command shows on it meanwhile does not rename it (the progress bar tells the progress);
// - every control inside a panel gets the panel's title as its description; a value
//   display gets its value instead (see FollowShownValue).
// Window's thread only; called once the language's texts are on the controls.
void NameControls(const FormControls& controls);

// A value display (the IMEI) is named by its label; the value it shows is its
// description, which this keeps up to date after its text has changed.
void FollowShownValue(QLabel& display);

}  // namespace quarnel
