#include "platform/ui/image_list.h"

#include "platform/ui/key_error.h"

namespace kyx::ui {

int ImageList::Add(std::string_view key, const QPixmap& picture) {
  if (!key.empty() && Exists(key)) throw KeyError::not_unique("ImageList", key);
  QPixmap p = picture;
  if (p.width() != width_ || p.height() != height_) {
    p = p.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  images_.push_back({std::string(key), p});
  return Count();
}

bool ImageList::Exists(std::string_view key) const {
  for (const auto& e : images_) {
    if (e.key == key) return true;
  }
  return false;
}

int ImageList::Index(std::string_view key) const {
  for (std::size_t i = 0; i < images_.size(); ++i) {
    if (!key.empty() && images_[i].key == key) return static_cast<int>(i) + 1;
  }
  throw KeyError::not_found("ImageList", key);
}

const std::string& ImageList::Key(int index) const {
  if (index < 1 || index > Count()) throw KeyError::bad_index("ImageList", index);
  return images_[static_cast<std::size_t>(index - 1)].key;
}

const QPixmap& ImageList::Picture(int index) const {
  if (index < 1 || index > Count()) throw KeyError::bad_index("ImageList", index);
  return images_[static_cast<std::size_t>(index - 1)].picture;
}

}  // namespace kyx::ui
