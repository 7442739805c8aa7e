#include "frames_per_second_option.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "animation.hpp"

namespace {

constexpr char OPTION[] = "--frames-per-second";
constexpr std::size_t OPTION_LENGTH = sizeof OPTION - 1;

// Digits only: no sign, no fraction, no exponent, no spaces. The value is
// bounded while it is read, so no number of digits can overflow it.
std::optional<int> wholeFramesPerSecond(const char* text) {
  if (*text == '\0') return std::nullopt;
  int value = 0;
  for (const char* digit = text; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9') return std::nullopt;
    value = value * 10 + (*digit - '0');
    if (value > MOST_FRAMES_PER_SECOND) return std::nullopt;
  }
  return value;
}

// One line, whatever the value holds: control characters are shown as '?'.
[[noreturn]] void refuse(const char* given) {
  std::string said = "and none was given";
  if (given != nullptr) {
    said = std::string("not \"") + given + "\"";
    for (char& c : said)
      if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  std::fprintf(stderr,
               "wave1d: %s takes a whole number from 0 (as fast as the machine allows) to %d, %s; "
               "usage: wave1d [%s N] [toolkit options]\n",
               OPTION, MOST_FRAMES_PER_SECOND, said.c_str(), OPTION);
  std::exit(2);
}

}  // namespace

std::optional<int> takeFramesPerSecondOption(int* argc, char** argv) {
  std::optional<int> chosen;
  int kept = std::min(*argc, 1);
  for (int i = kept; i < *argc; ++i) {
    const char* value = nullptr;
    if (std::strcmp(argv[i], OPTION) == 0) {
      if (i + 1 == *argc) refuse(nullptr);
      value = argv[++i];
    } else if (std::strncmp(argv[i], OPTION, OPTION_LENGTH) == 0 && argv[i][OPTION_LENGTH] == '=') {
      value = argv[i] + OPTION_LENGTH + 1;
    } else {
      argv[kept++] = argv[i];
      continue;
    }
    chosen = wholeFramesPerSecond(value);
    if (!chosen) refuse(value);
  }
  if (kept < *argc) argv[kept] = nullptr;
  *argc = kept;
  return chosen;
}
