#pragma once

class TDM1;

// The data module for the main window's commands: DM1, or a QorError when its creation failed
// at start-up, so that a command ends in the standard error box rather than in a crash.
TDM1 &dataModule();
