// Whether frames follow one another: the mouse callback and the page's
// controls start and stop the animation through here.
#pragma once

// What any left-button event does: frames follow one another.
void startAnimation();

// What a right-button press does: no more frames are asked for.
void stopAnimation();

bool animating();
