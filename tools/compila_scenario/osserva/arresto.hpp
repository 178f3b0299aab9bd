#pragma once
// A request to stop from outside: Ctrl+C and SIGTERM, or the console closing
// on Windows. The watching loop looks at it between its looks at the files.
namespace scenario::osserva {

// Platform code: arresto_posix.cpp, arresto_win32.cpp.
void installa_arresto();
bool arresto_chiesto();
// Everything is put away: a closing console may end the process now.
void arresto_concluso();

}  // namespace scenario::osserva
