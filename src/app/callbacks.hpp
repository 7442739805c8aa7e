// The toolkit's callbacks. Each translates one event into calls on the wave
// model and fixed-function OpenGL; none keeps state of its own.
#pragma once

// Draws the wave as it stands, then advances it, so every repaint moves it on.
void display();

// Keeps 100 pixels per world unit with the origin at the window centre.
void reshape(int w, int h);

// Any left-button event starts the animation, a right-button press stops it;
// everything else, and the pointer position, is ignored.
void mouse(int button, int state, int x, int y);
