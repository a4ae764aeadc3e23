#include "install/RunSetup.h"

void RunSetup()
{
    // The installation dialog and routine are not part of this build yet: installer mode
    // ends at once, without opening any window of the client.
}
