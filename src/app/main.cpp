// wave1d: one window, one wave. The toolkit takes its own options from the
// command line; the program has none of its own.
#include <GL/glut.h>

#include "callbacks.hpp"

int main(int argc, char** argv) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_RGBA | GLUT_SINGLE);
  // A parent may start us with an empty argument vector; argv[0] is then null.
  glutCreateWindow(argv[0] != nullptr ? argv[0] : "");
  glutDisplayFunc(display);
  glutReshapeFunc(reshape);
  glutMouseFunc(mouse);
  glClearColor(1, 1, 1, 1);
  glutMainLoop();
  return 0;
}
