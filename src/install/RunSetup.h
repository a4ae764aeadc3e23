#pragma once

// The installer mode of the program: asks for a folder and the variant, copies the program
// there and creates its shortcuts.
void RunSetup();
