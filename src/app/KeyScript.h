#pragma once

#include <QString>

// For the end-to-end tests of the executable only (built in when the tests are): a user at the
// keyboard, scripted. Each time a modal window becomes the one in front (a new one, or the one
// left when a box over it closed), it gets the next step of the script, typed into its focused
// control key by key, and is reported on the error output with its caption and the
// texts of its labels ("modal: <caption> | <texts>"), so a test can see which boxes appeared.
//
// The script: steps separated by "|", one per modal window; keys in a step separated by ",";
// a key is a key sequence in portable text ("Tab", "Space", "Return", "Esc", "Ctrl+A"), or text
// to type when it begins with "'".
namespace KeyScript {

// Starts playing the script, when there is one, for the rest of the run.
void start(const QString &script);

} // namespace KeyScript
