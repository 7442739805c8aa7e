// The program's one window: the animation's pace taken from the command
// line (a bad value ends the program before any window opens), the toolkit
// set up from the rest (it takes its own options), the window created with
// argv[0] as its title at the toolkit's default size and position, and the
// callbacks registered. The caller then enters the toolkit's main loop.
#pragma once

void openWindow(int* argc, char** argv);
