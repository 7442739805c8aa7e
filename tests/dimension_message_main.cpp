// Adds two vectors of different sizes, once, so that a test can read the
// console message from this process's standard output as a user would.
#include "linalg/vector_matrix.hpp"

int main() {
  const Vector sum = Vector(3) + Vector(4);
  return sum.size == 4 ? 0 : 1;
}
