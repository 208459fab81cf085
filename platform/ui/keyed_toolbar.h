#pragma once
// A toolbar of 16 x 16 picture buttons addressed by key or by 1-based index, painted here. The
// toolbar reports the raw mouse (MouseDown/MouseMove/MouseUp with X and Y in twips, BASIC button
// and shift codes) and leaves the hit test and the pressed look (Value) to the form's code, which
// reads each button's Left/Top/Width/Height in pixels.
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace kyx::ui {

class ImageList;
class KeyedToolbar;

// Button styles.
inline constexpr int tbrDefault = 0;
inline constexpr int tbrSeparator = 3;
// Button values.
inline constexpr int tbrUnpressed = 0;
inline constexpr int tbrPressed = 1;

class ToolbarButton {
 public:
  const std::string& Key() const { return key_; }
  int Index() const { return index_; }
  int Style() const { return style_; }

  int Value() const { return value_; }
  void SetValue(int value);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  const std::string& ToolTipText() const { return tooltip_; }
  void SetToolTipText(std::string_view cp1252) { tooltip_ = std::string(cp1252); }
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string_view t) { tag_ = std::string(t); }

  // The picture: an index into the toolbar's image list (0 = none). Setting by key looks the key
  // up in the list (KeyError when it is not there, or when the toolbar has no list).
  int Image() const { return image_; }
  void SetImage(int index);
  void SetImage(std::string_view key);
  // The key of the picture shown ("" for none).
  std::string ImageKey() const;

  // Geometry in the toolbar's pixels (a hidden button keeps its last place, width 0).
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  friend class KeyedToolbar;
  KeyedToolbar* bar_ = nullptr;
  std::string key_, tooltip_, tag_;
  int index_ = 0, style_ = tbrDefault, value_ = tbrUnpressed, image_ = 0;
  bool enabled_ = true, visible_ = true;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

class KeyedToolbar : public VbControl<QWidget> {
 public:
  explicit KeyedToolbar(QWidget* parent = nullptr);

  // Buttons.Add: appends a button (key may be empty for separators; a duplicate key is refused
  // with KeyError).
  ToolbarButton& Add(std::string_view key, int style = tbrDefault, std::string_view image_key = {});
  // Buttons(key) / Buttons(index); KeyError when there is no such button.
  ToolbarButton& Buttons(std::string_view key);
  ToolbarButton& Buttons(int index);
  bool Exists(std::string_view key) const;
  int Count() const { return static_cast<int>(buttons_.size()); }

  void SetImageList(const ImageList* list);
  const ImageList* GetImageList() const { return images_; }

  // Size of a picture button in pixels (separators are 8 pixels wide).
  int ButtonWidth() const { return button_w_; }
  int ButtonHeight() const { return button_h_; }

  // Mouse events: Button and Shift in BASIC codes, X and Y in twips from the toolbar's corner.
  // On MouseMove, Button holds every button that is down.
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown, MouseMove, MouseUp;

  // The button under a point in pixels (any button, enabled or not), or nullptr.
  ToolbarButton* ButtonAt(QPoint p);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  bool event(QEvent*) override;

 private:
  friend class ToolbarButton;
  void relayout();

  std::vector<std::unique_ptr<ToolbarButton>> buttons_;
  const ImageList* images_ = nullptr;
  int button_w_ = 23, button_h_ = 22;
  ToolbarButton* hot_ = nullptr;
};

}  // namespace kyx::ui
