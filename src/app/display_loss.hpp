// What the program does when its X server goes away under it (a logout, a
// dropped ssh -X connection, a crashed compositor): one line on standard
// error naming the display, then exit status 1 at once. Desktop builds only.
#pragma once

// Call before the toolkit connects, with the command line it will be given:
// its -display option, or else $DISPLAY, names the display.
void endAtOnceWhenTheDisplayIsLost(int argc, char** argv);
// Call once the window exists and its GL context is current: from then on
// only that connection counts.
void knowTheToolkitsConnection();
