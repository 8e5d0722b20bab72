// A loaded skin and the GDI objects drawn with it, shared by the windows
// that show it and freed when the last one lets go.
#pragma once
#include <windows.h>

#include "skinfile/skin.h"
#include "win_handles.h"

namespace skinengine {

class SkinResources {
 public:
  // A new set with one reference, or nullptr when GDI refuses.
  static SkinResources* Create(const skinfile::Skin& skin);

  void AddRef();
  void Release();

  const skinfile::Skin& skin() const { return skin_; }
  HFONT captionFont() const { return captionFont_.get(); }
  HFONT buttonFont() const { return buttonFont_.get(); }
  // The client background, a pattern brush when the skin has a pattern
  // (its origin: the skinned window's client origin).
  HBRUSH background() const { return background_.get(); }

  SkinResources(const skinfile::Skin& skin, HFONT caption, HFONT button, HBRUSH background);
  ~SkinResources() = default;

 private:
  LONG references_ = 1;
  skinfile::Skin skin_;
  GdiObject<HFONT> captionFont_;
  GdiObject<HFONT> buttonFont_;
  GdiObject<HBRUSH> background_;
};

// COLORREF of a skin colour.
inline COLORREF ToColorRef(skinfile::Color c) {
  return RGB(skinfile::RedOf(c), skinfile::GreenOf(c), skinfile::BlueOf(c));
}

}  // namespace skinengine
