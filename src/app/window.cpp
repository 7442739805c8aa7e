#include "window.hpp"

#include <GL/glut.h>

#include "animation.hpp"
#include "callbacks.hpp"
#include "frames_per_second_option.hpp"
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
#include "display_loss.hpp"
#endif

void openWindow(int* argc, char** argv) {
  if (const auto pace = takeFramesPerSecondOption(argc, argv)) setFramesPerSecond(*pace);
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)  // a browser page and Windows have no X server to lose
  endAtOnceWhenTheDisplayIsLost(*argc, argv);
#endif
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGBA | GLUT_SINGLE);
  // A parent may start us with an empty argument vector; argv[0] is then null.
  glutCreateWindow(argv[0] != nullptr ? argv[0] : "");
#if !defined(__EMSCRIPTEN__) && !defined(_WIN32)
  knowTheToolkitsConnection();
#endif
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
  glClearColor(1, 1, 1, 1);
  // Mesa's software rasteriser keeps the size the window had when the context
  // became current until it first shows a frame; a window manager that sizes
  // the window before mapping it would get the first drawing at the old size,
  // the rest black. A blank frame shown now makes the first real one take
  // the window's size afresh. It is not a repaint: the wave does not advance.
  glClear(GL_COLOR_BUFFER_BIT);
  glFlush();
}
