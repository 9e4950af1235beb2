// What the main window does with the settings store when it loads and when
// it unloads, and the "Default" button that returns the options to their
// design-time values.
#pragma once

#include <QString>

#include "frm_pentrax2.h"
#include "settings_store.h"

namespace pentrax::settings {

// The ten keys, in the order they are read and written.
inline const QString kSelectedResolution = QStringLiteral("SelectedResolution");
inline const QString kCustomWidth = QStringLiteral("CustomWidth");
inline const QString kCustomHeight = QStringLiteral("CustomHeight");
inline const QString kAddBorder = QStringLiteral("AddBorder");
inline const QString kBorder = QStringLiteral("Border");
inline const QString kSubtractTaskBar = QStringLiteral("SubtractTaskBar");
inline const QString kTaskBar = QStringLiteral("TaskBar");
inline const QString kTaskBarOrientation = QStringLiteral("TaskBarOrientation");
inline const QString kPosLeft = QStringLiteral("PosLeft");
inline const QString kPosTop = QStringLiteral("PosTop");

// Window positions are stored in twips, 15 to a (logical) pixel.
inline constexpr int kTwipsPerPixel = 15;

// Reads the user's choices into the window's controls (running their click
// handling), remembers the four defaults in the controls' Tag, and places the
// window, brought back within the screen's right and bottom edges. Runs
// before the window is first shown. Values only a hand-edited store can hold
// fall back to the key's default.
void Form_Load(ui::FrmPentrax2& form, SettingsStore& store);

// Once the window is shown and its frame is known: brings a window whose
// right or bottom edge lies beyond the screen back to the edge, now counting
// the frame the window manager added.
void KeepOnScreen(ui::FrmPentrax2& form);

// Writes all ten keys, whether they changed or not.
void Form_Unload(ui::FrmPentrax2& form, SettingsStore& store);

// The "Default" button: the four remembered defaults, the first preset and
// the horizontal task bar; the custom size keeps its numbers, cleaned.
void cmdRestoreDefaults_Click(ui::FrmPentrax2& form);

// What a first start shows in the custom width and height.
inline const QString kFirstCustomWidth = QStringLiteral("1200");
inline const QString kFirstCustomHeight = QStringLiteral("900");

}  // namespace pentrax::settings
