#pragma once
// The component service for the shell controls: started once when the program loads the
// controls (a nesting counter guards repeated starts) and ended at exit only when the start
// succeeded. The platform's component service needs no start, so both steps only count.
namespace fcshell {

// Starts the service (once per nesting); true when this start succeeded.
bool ComStart();
// Ends one nesting; the service is uninitialised only for a start that succeeded.
void ComEnd();
// True while a successful start is in force.
bool ComStarted();

}  // namespace fcshell
