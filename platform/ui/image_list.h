#pragma once
// A keyed list of equally sized images (16 x 16 here) that toolbars and trees take their pictures
// from, by 1-based index or by key. Keys are compared exactly; an unknown key or index raises
// KeyError, a duplicate key is refused with KeyError.
#include <QPixmap>
#include <string>
#include <string_view>
#include <vector>

namespace kyx::ui {

class ImageList {
 public:
  explicit ImageList(int image_width = 16, int image_height = 16)
      : width_(image_width), height_(image_height) {}

  int ImageWidth() const { return width_; }
  int ImageHeight() const { return height_; }

  // Adds an image under `key` (scaled to the list's size when it differs); returns its index.
  int Add(std::string_view key, const QPixmap& picture);
  int Count() const { return static_cast<int>(images_.size()); }
  void Clear() { images_.clear(); }

  bool Exists(std::string_view key) const;
  // The 1-based index of the image with that key.
  int Index(std::string_view key) const;
  const std::string& Key(int index) const;
  const QPixmap& Picture(int index) const;
  const QPixmap& Picture(std::string_view key) const { return Picture(Index(key)); }

 private:
  struct Entry {
    std::string key;
    QPixmap picture;
  };
  int width_, height_;
  std::vector<Entry> images_;
};

}  // namespace kyx::ui
