// The program's one option of its own, --frames-per-second N (also written
// --frames-per-second=N): the animation's pace, 0 for as fast as the machine
// allows. Everything else on the command line is the toolkit's.
#pragma once

#include <optional>

// Takes every occurrence of the option out of the argument vector, so that
// the toolkit gets only the rest (argv[0] stays first), and gives the last
// value, or nothing when the option is absent. A value that is not a whole
// number from 0 to MOST_FRAMES_PER_SECOND, or a missing one, ends the
// program at once with one line on standard error and exit status 2.
std::optional<int> takeFramesPerSecondOption(int* argc, char** argv);
