// Closing the main window, and so writing the settings, when the program is
// asked to end by a signal (SIGTERM from a logout or a kill, SIGHUP, SIGINT).
#pragma once

class QWidget;

namespace pentrax::ui {

// Closes the window through its normal close path when one of the signals
// arrives. Call once, after the window exists.
void CloseOnTerminationSignals(QWidget& window);

}  // namespace pentrax::ui
