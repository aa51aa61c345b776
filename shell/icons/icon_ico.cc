// Writes the program's icon as a Windows icon file, both drawn sizes in the
// 16 colours of the art itself: icon_ico FILE.ico. The Windows build runs it
// on the machine that builds, from the same XPM text the Linux window
// shows, so that the icon has one source.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/icons/trovane_16.xpm"
#include "shell/icons/trovane_32.xpm"

namespace {

// The 16 colours of the classic palette, in the order Windows numbers them.
constexpr std::array<uint32_t, 16> kPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
    0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
    0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// One image: each pixel its palette index, or nothing where it is clear.
struct Image {
  int size = 0;
  std::vector<std::optional<uint8_t>> pixels;  // rows from the top
};

std::optional<uint8_t> PaletteIndex(std::string_view colour) {
  if (colour.size() != 7 || colour.front() != '#') return std::nullopt;
  const uint32_t rgb = std::stoul(std::string(colour.substr(1)), nullptr, 16);
  for (size_t i = 0; i < kPalette.size(); ++i) {
    if (kPalette[i] == rgb) return static_cast<uint8_t>(i);
  }
  return std::nullopt;
}

// Reads an XPM of one character a pixel whose colours are "None" or of the
// palette; nothing for any other.
std::optional<Image> Read(const char* const* xpm) {
  // The header: width, height, colours, characters a pixel.
  int numbers[4] = {};
  const char* next = xpm[0];
  const char* const end = next + std::strlen(next);
  for (int& number : numbers) {
    while (next < end && *next == ' ') ++next;
    const auto [stop, error] = std::from_chars(next, end, number);
    if (error != std::errc()) return std::nullopt;
    next = stop;
  }
  const auto [width, height, colours, per_pixel] = numbers;
  if (width != height || per_pixel != 1) return std::nullopt;
  std::map<char, std::optional<uint8_t>> key;
  for (int i = 1; i <= colours; ++i) {
    const std::string_view line = xpm[i];
    const size_t value = line.find(" c ");
    if (value != 1) return std::nullopt;
    const std::string_view colour = line.substr(value + 3);
    if (colour == "None") {
      key[line[0]] = std::nullopt;
    } else if (const std::optional<uint8_t> index = PaletteIndex(colour)) {
      key[line[0]] = index;
    } else {
      return std::nullopt;
    }
  }
  Image image{width, {}};
  for (int row = 0; row < height; ++row) {
    const std::string_view pixels = xpm[1 + colours + row];
    if (static_cast<int>(pixels.size()) != width) return std::nullopt;
    for (const char pixel : pixels) {
      const auto found = key.find(pixel);
      if (found == key.end()) return std::nullopt;
      image.pixels.push_back(found->second);
    }
  }
  return image;
}

void Put(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

// The image as an icon file holds it: a bitmap header of twice the height
// (colours, then the mask), the palette, the 4-bit colours and the 1-bit
// mask of clear pixels, both from the bottom row up, each row a whole
// number of 32-bit words.
std::string Bitmap(const Image& image) {
  const int size = image.size;
  const int colour_row = (size * 4 + 31) / 32 * 4;
  const int mask_row = (size + 31) / 32 * 4;
  std::string out;
  Put(out, 40, 4);  // header size
  Put(out, size, 4);
  Put(out, size * 2, 4);
  Put(out, 1, 2);  // planes
  Put(out, 4, 2);  // bits a pixel
  Put(out, 0, 4);  // no compression
  Put(out, (colour_row + mask_row) * size, 4);
  Put(out, 0, 4);
  Put(out, 0, 4);
  Put(out, 16, 4);  // colours used
  Put(out, 0, 4);
  for (const uint32_t rgb : kPalette) {
    Put(out, rgb & 0xFF, 1);
    Put(out, (rgb >> 8) & 0xFF, 1);
    Put(out, rgb >> 16, 1);
    Put(out, 0, 1);
  }
  for (int row = size - 1; row >= 0; --row) {
    std::string bytes(colour_row, '\0');
    for (int x = 0; x < size; ++x) {
      const uint8_t index = image.pixels[row * size + x].value_or(0);
      bytes[x / 2] =
          static_cast<char>(bytes[x / 2] | (x % 2 == 0 ? index << 4 : index));
    }
    out += bytes;
  }
  for (int row = size - 1; row >= 0; --row) {
    std::string bytes(mask_row, '\0');
    for (int x = 0; x < size; ++x) {
      if (!image.pixels[row * size + x]) {
        bytes[x / 8] = static_cast<char>(bytes[x / 8] | (0x80 >> (x % 8)));
      }
    }
    out += bytes;
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.ico\n", argv[0]);
    return 2;
  }
  std::vector<std::string> bitmaps;
  for (const char* const* xpm : {kTrovaneIcon32, kTrovaneIcon16}) {
    const std::optional<Image> image = Read(xpm);
    if (!image) {
      std::fprintf(stderr, "%s: an image is not 16-colour pixel art\n",
                   argv[0]);
      return 1;
    }
    bitmaps.push_back(Bitmap(*image));
  }
  // The directory, one entry an image, then the images.
  std::string file;
  Put(file, 0, 2);
  Put(file, 1, 2);  // an icon
  Put(file, static_cast<uint32_t>(bitmaps.size()), 2);
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(bitmaps.size());
  for (const std::string& bitmap : bitmaps) {
    uint32_t size = 0;
    std::memcpy(&size, bitmap.data() + 4, sizeof size);  // the header's width
    Put(file, size, 1);
    Put(file, size, 1);
    Put(file, 16, 1);  // colours
    Put(file, 0, 1);
    Put(file, 1, 2);  // planes
    Put(file, 4, 2);  // bits a pixel
    Put(file, static_cast<uint32_t>(bitmap.size()), 4);
    Put(file, offset, 4);
    offset += static_cast<uint32_t>(bitmap.size());
  }
  for (const std::string& bitmap : bitmaps) file += bitmap;
  std::ofstream out(argv[1], std::ios::binary);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
