// The host's user-interface library: the dialog and control classes that modules may build their
// dialogs on. A module initialises it from its library entry before it shows any dialog; the
// library then takes part in the framework's resource search. Initialising it again does
// nothing.
#pragma once

void InitAcUiDLL();

namespace qv::host {

// Whether some module has initialised the UI library in this process.
bool uiLibraryInitialised();

}  // namespace qv::host
