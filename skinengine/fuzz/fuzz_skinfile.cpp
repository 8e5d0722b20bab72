// libFuzzer target: the skin file reader, on raw bytes and on the same bytes
// with their length and checksum made right (so that mutations reach the
// chunks), and the painters on every skin that reads.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "skinfile/frame.h"
#include "skinfile/paint.h"
#include "skinfile/reader.h"
#include "skinfile/writer.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool SameSkin(const skinfile::Skin& a, const skinfile::Skin& b) {
  return std::strcmp(a.name, b.name) == 0 && std::memcmp(&a.metrics, &b.metrics, sizeof a.metrics) == 0 &&
         std::memcmp(a.colors, b.colors, sizeof a.colors) == 0 &&
         std::strcmp(a.captionFont.face, b.captionFont.face) == 0 &&
         a.captionFont.height == b.captionFont.height && a.captionFont.weight == b.captionFont.weight &&
         a.captionFont.italic == b.captionFont.italic &&
         std::strcmp(a.buttonFont.face, b.buttonFont.face) == 0 &&
         a.buttonFont.height == b.buttonFont.height && a.buttonFont.weight == b.buttonFont.weight &&
         a.buttonFont.italic == b.buttonFont.italic && a.pattern.width == b.pattern.width &&
         a.pattern.height == b.pattern.height &&
         std::memcmp(a.pattern.pixels, b.pattern.pixels,
                     sizeof(skinfile::Color) * a.pattern.width * a.pattern.height) == 0;
}

// What the engine does with a skin that reads: lay windows out, hit-test
// and paint them, and write the skin back (it must read back the same).
void UseSkin(const skinfile::Skin& skin, std::uint32_t seed) {
  Check(skinfile::IsValid(skin));
  const std::vector<std::uint8_t> again = skinfile::Write(skin);
  skinfile::Skin back;
  Check(skinfile::Read(again.data(), again.size(), back) == skinfile::ReadStatus::kOk);
  Check(SameSkin(skin, back));

  static skinfile::Color pixels[64 * 48];
  const int sizes[][2] = {{0, 0}, {1, 1}, {static_cast<int>(seed % 64), static_cast<int>(seed % 48)}, {64, 48}};
  for (const auto& size : sizes) {
    const skinfile::FrameLayout layout =
        skinfile::LayOutFrame(skin.metrics, size[0], size[1], seed & 7u, (seed & 8u) != 0);
    const skinfile::FrameLook look{(seed & 16u) != 0, static_cast<int>(seed % 4) - 1,
                                   static_cast<int>((seed / 4) % 4) - 1, (seed & 32u) != 0};
    skinfile::Canvas canvas{pixels, 0, 0, size[0], size[1]};
    skinfile::PaintFrame(skin, layout, look, canvas);
    for (int y = -1; y <= size[1]; y += 7)
      for (int x = -1; x <= size[0]; x += 5) skinfile::HitTest(layout, x, y, (seed & 64u) != 0);
    const skinfile::ButtonLook button{static_cast<skinfile::ButtonFace>(seed % 4), (seed & 128u) != 0};
    skinfile::Canvas buttonCanvas{pixels, 0, 0, size[0] / 2, size[1] / 2};
    skinfile::PaintButton(skin, button, size[0] / 2, size[1] / 2, -static_cast<int>(seed % 100),
                          static_cast<int>(seed % 37), buttonCanvas);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  skinfile::Skin skin;
  std::memset(&skin, 0xA5, sizeof skin);
  const skinfile::Skin untouched = skin;
  const std::uint32_t seed = size >= 4 ? skinfile::Crc32(data, 4) : 0;
  if (skinfile::Read(data, size, skin) == skinfile::ReadStatus::kOk)
    UseSkin(skin, seed);
  else
    Check(std::memcmp(&skin, &untouched, sizeof skin) == 0);  // a bad file changes nothing

  if (size < skinfile::kHeaderSize) return 0;
  std::vector<std::uint8_t> fixed(data, data + size);
  const std::uint32_t length = static_cast<std::uint32_t>(size);
  const std::uint32_t crc = skinfile::Crc32(fixed.data() + 16, size - 16);
  for (int i = 0; i < 4; ++i) {
    fixed[8 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    fixed[12 + i] = static_cast<std::uint8_t>(crc >> (8 * i));
  }
  if (skinfile::Read(fixed.data(), fixed.size(), skin) == skinfile::ReadStatus::kOk) UseSkin(skin, seed);
  return 0;
}
