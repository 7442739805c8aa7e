// Starting and stopping the animation, and its pace: the one place that
// decides when frames are asked for, so the window's mouse and a web page's
// controls drive it alike. Each frame asked for is one repaint: it draws the
// wave and then advances it, as every repaint does.
#pragma once

// Above this the toolkit's millisecond timers cannot tell the periods apart.
inline constexpr int MOST_FRAMES_PER_SECOND = 1000;

// 0 asks for frames as fast as the machine allows; otherwise frames come at
// that pace, from now on if the animation is running. Values outside
// 0 .. MOST_FRAMES_PER_SECOND are taken as the nearer end.
void setFramesPerSecond(int framesPerSecond);

// Starting a running animation, or stopping a stopped one, changes nothing.
// Stopped, no frame is asked for and no time is spent waiting for one.
void startAnimation();
void stopAnimation();

// Whether frames are being asked for: a web page's controls show it.
bool animating();
