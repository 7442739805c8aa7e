// Tells which of the model's frames a picture of the canvas shows, with the
// comparison the X window tests use. Usage: frame_of_picture FILE.ppm FRAMES
// (a binary PPM). Prints the closest matching frame among the first FRAMES
// (-1 for none) and 1 or 0 for whether the drawing matches frame 0.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "../window/wave_picture.hpp"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: frame_of_picture FILE.ppm FRAMES\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  in >> magic >> width >> height >> maximum;
  in.get();
  const std::vector<unsigned char> rgb((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
  if (magic != "P6" || maximum != 255 || rgb.size() != static_cast<std::size_t>(width) * height * 3) {
    std::cerr << argv[1] << ": not an 8-bit binary PPM\n";
    return 2;
  }
  const Capture picture = pictureFromPixels(width, height, 0, 0, width, height, [&](int col, int row) {
    const std::size_t at = (static_cast<std::size_t>(row) * width + col) * 3;
    return (static_cast<unsigned long>(rgb[at]) << 16) | (rgb[at + 1] << 8) | rgb[at + 2];
  });
  const int frames = std::stoi(argv[2]);
  std::cout << identifyFrame(picture, frames).frame << ' ' << drawingMatches(picture, modelFrames(1)[0])
            << '\n';
  return 0;
}
