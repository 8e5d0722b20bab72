#include "skin_resources.h"

namespace skinengine {
namespace {

HFONT CreateSkinFont(const skinfile::Font& font) {
  wchar_t face[LF_FACESIZE] = {};
  if (MultiByteToWideChar(CP_UTF8, 0, font.face, -1, face, LF_FACESIZE) == 0) return nullptr;
  return CreateFontW(-font.height, 0, 0, 0, font.weight, font.italic ? TRUE : FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HBRUSH CreateBackgroundBrush(const skinfile::Skin& skin) {
  const skinfile::Pattern& p = skin.pattern;
  if (p.width == 0) return CreateSolidBrush(ToColorRef(skin.colors[skinfile::kClientBackground]));
  // A packed 32-bit DIB, bottom-up; the brush keeps its own copy.
  struct PackedDib {
    BITMAPINFOHEADER header;
    DWORD pixels[skinfile::kMaxPatternSide * skinfile::kMaxPatternSide];
  } dib = {};
  dib.header.biSize = sizeof dib.header;
  dib.header.biWidth = p.width;
  dib.header.biHeight = p.height;
  dib.header.biPlanes = 1;
  dib.header.biBitCount = 32;
  dib.header.biCompression = BI_RGB;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      dib.pixels[(p.height - 1 - y) * p.width + x] = p.pixels[y * p.width + x];
  return CreateDIBPatternBrushPt(&dib, DIB_RGB_COLORS);
}

}  // namespace

SkinResources::SkinResources(const skinfile::Skin& skin, HFONT caption, HFONT button,
                             HBRUSH background)
    : skin_(skin), captionFont_(caption), buttonFont_(button), background_(background) {}

SkinResources* SkinResources::Create(const skinfile::Skin& skin) {
  HFONT caption = CreateSkinFont(skin.captionFont);
  HFONT button = CreateSkinFont(skin.buttonFont);
  HBRUSH background = CreateBackgroundBrush(skin);
  if (!caption || !button || !background) {
    if (caption) DeleteObject(caption);
    if (button) DeleteObject(button);
    if (background) DeleteObject(background);
    return nullptr;
  }
  SkinResources* resources = HeapNew<SkinResources>(skin, caption, button, background);
  if (!resources) {
    DeleteObject(caption);
    DeleteObject(button);
    DeleteObject(background);
  }
  return resources;
}

void SkinResources::AddRef() { InterlockedIncrement(&references_); }

void SkinResources::Release() {
  if (InterlockedDecrement(&references_) == 0) HeapDelete(this);
}

}  // namespace skinengine
