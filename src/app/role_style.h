// The window's presentation of field roles and fonts: colours on white for input, key and result
// fields, coloured captions for labels, frames and options, the fixed-pitch font for hex fields and
// the heavy button font.
#pragma once

#include <QColor>
#include <QFont>

#include "common/page_form.h"

class QWidget;

// RoleTextColor gives the role's text colour; an invalid colour for Role::Plain.
QColor RoleTextColor(Role role);

// ApplyFieldRole colours an edit field: role text colour on white for input, key and result.
void ApplyFieldRole(QWidget* field, Role role);
// ApplyCaptionRole colours a caption (label, group box title, radio button, check box).
void ApplyCaptionRole(QWidget* caption, Role role);

// FixedEditFont is the system's fixed-pitch font, used for hex fields and byte counters.
QFont FixedEditFont();
// HeavyButtonFont is the action buttons' font: Arial (or another sans serif), black weight.
QFont HeavyButtonFont();
