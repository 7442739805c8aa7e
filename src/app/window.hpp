// The program's one window: the toolkit set up from the command line (it
// takes its own options; the program has none), the window created with
// argv[0] as its title at the toolkit's default size and position, and the
// callbacks registered. The caller then enters the toolkit's main loop.
#pragma once

void openWindow(int* argc, char** argv);
