// Writes the program's icon as an SVG file, for the scalable folder of the
// desktop's icon theme: trovane_icon_svg FILE.
#include <cstdio>
#include <fstream>
#include <string>

#include "shell/icons/theme_icon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.svg\n", argv[0]);
    return 2;
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file << trovane::ThemeIconSvg();
  file.close();
  if (!file) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
