// What the main window does with the settings store when it loads and when
// it unloads, and the "Default" button that returns the options to their
// design-time values.
#pragma once

#include <string_view>

#include "frm_pentrax2.h"
#include "settings_store.h"

namespace pentrax::settings {

// The ten keys, in the order they are read and written.
inline constexpr const char* kSelectedResolution = "SelectedResolution";
inline constexpr const char* kCustomWidth = "CustomWidth";
inline constexpr const char* kCustomHeight = "CustomHeight";
inline constexpr const char* kAddBorder = "AddBorder";
inline constexpr const char* kBorder = "Border";
inline constexpr const char* kSubtractTaskBar = "SubtractTaskBar";
inline constexpr const char* kTaskBar = "TaskBar";
inline constexpr const char* kTaskBarOrientation = "TaskBarOrientation";
inline constexpr const char* kPosLeft = "PosLeft";
inline constexpr const char* kPosTop = "PosTop";

// What a first start shows in the custom width and height.
inline constexpr std::string_view kFirstCustomWidth = "1200";
inline constexpr std::string_view kFirstCustomHeight = "900";

// Reads the user's choices into the window's controls (running their click
// handling), remembers the four defaults in the controls' Tag, and places the
// window, brought back within the primary screen's right and bottom edges.
// Runs before the window is first shown. Values only a hand-edited store can
// hold fall back to the key's default.
void Form_Load(ui::FrmPentrax2& form, SettingsStore& store);

// Writes the eight keys of the choices, whether they changed or not, and
// flushes them: whenever a choice changes, so that a command (pentrax2
// size) takes the choice the window shows.
void SaveChoices(ui::FrmPentrax2& form, SettingsStore& store);

// Writes all ten keys, whether they changed or not.
void Form_Unload(ui::FrmPentrax2& form, SettingsStore& store);

// The "Default" button: the four remembered defaults, the first preset and
// the horizontal task bar; the custom size keeps its numbers, cleaned.
void cmdRestoreDefaults_Click(ui::FrmPentrax2& form);

// Loads the window from the store and hands it the unload, the "Default"
// button and the saving of changed choices. The store must outlive the
// window.
void Attach(ui::FrmPentrax2& form, SettingsStore& store);

// The size, border and task bar chosen in the window, as the window reads
// them from the store and shows them on a monitor of the given size (a
// preset larger than it moved down): for the command line.
SizeChoices SavedChoices(SettingsStore& store, WindowManager& wm,
                         std::int32_t monitorWidth, std::int32_t monitorHeight);

}  // namespace pentrax::settings
