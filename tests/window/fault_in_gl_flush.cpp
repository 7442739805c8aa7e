// Preloaded into the program by a window test: glFlush, first called with
// the window up and the display alive, faults as a driver's bug would, by
// a store through a null pointer the compiler cannot see coming.
#include <cstdint>

extern "C" void glFlush() {
  volatile std::uintptr_t nowhere = 0;
  *reinterpret_cast<volatile int*>(nowhere) = 1;
}
