#pragma once
// A tree of nodes with unique keys (a node without a key is allowed; a duplicate key is refused),
// each with a text, a free Tag text, a picture and an expanded picture taken by key from an image
// list, a fore colour and an expanded state. Nodes are addressed by key or by 1-based index in
// the order they were added. Unknown keys and indexes raise KeyError.
//
// Events: MouseDown on any press (X and Y in twips), then NodeClick when a press and its release
// fall on the same node's label (any button); Expand and Collapse when the user opens or closes
// a node (setting Expanded from code raises no event). MouseMove on every pointer move with a
// button held. Manual dragging: Drag() starts it, and until the next button release every move
// raises DragOver instead of MouseMove and the release raises DragDrop instead of MouseUp.
#include <QTreeWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/control.h"

namespace kyx::ui {

class ImageList;
class KeyedTree;

// Where a new node goes relative to the node named in Add.
inline constexpr int tvwFirst = 0;
inline constexpr int tvwLast = 1;
inline constexpr int tvwNext = 2;
inline constexpr int tvwPrevious = 3;
inline constexpr int tvwChild = 4;

class TreeNode {
 public:
  const std::string& Key() const { return key_; }
  int Index() const;
  std::string Text() const;
  void SetText(std::string_view cp1252);
  const std::string& Tag() const { return tag_; }
  void SetTag(std::string_view t) { tag_ = std::string(t); }
  // Picture keys in the tree's image list ("" for none); KeyError for a key not in the list.
  const std::string& Image() const { return image_; }
  void SetImage(std::string_view key);
  const std::string& ExpandedImage() const { return expanded_image_; }
  void SetExpandedImage(std::string_view key);
  bool Expanded() const;
  void SetExpanded(bool expanded);
  bool Selected() const;
  void SetSelected(bool selected);
  uint32_t ForeColor() const { return fore_; }
  void SetForeColor(uint32_t ole);
  bool Bold() const;
  void SetBold(bool bold);

  TreeNode* Parent() const;
  int Children() const;
  TreeNode* Child() const;  // first child
  TreeNode* Next() const;   // next sibling
  TreeNode* Previous() const;
  TreeNode* FirstSibling() const;
  TreeNode* LastSibling() const;
  // Texts from the root down, separated by "\".
  std::string FullPath() const;
  // Expands the parents and scrolls the node into view.
  void EnsureVisible();

 private:
  friend class KeyedTree;
  void refresh_icon();
  KeyedTree* tree_ = nullptr;
  QTreeWidgetItem* item_ = nullptr;
  std::string key_, tag_, image_, expanded_image_;
  uint32_t fore_ = 0x80000008;
};

class KeyedTree : public VbControl<QWidget> {
 public:
  explicit KeyedTree(QWidget* parent = nullptr);
  ~KeyedTree() override;

  // Nodes.Add(Relative, Relationship, Key, Text, Image, SelectedImage). An empty relative adds a
  // root node. KeyError for a duplicate key, an unknown relative or an unknown image key; nothing
  // is added then.
  TreeNode& Add(std::string_view relative, int relationship, std::string_view key,
                std::string_view text, std::string_view image = {},
                std::string_view selected_image = {});
  TreeNode& Nodes(std::string_view key);
  TreeNode& Nodes(int index);
  bool Exists(std::string_view key) const;
  int Count() const { return static_cast<int>(order_.size()); }
  // Removes a node with all its descendants.
  void Remove(std::string_view key);
  void Clear();
  TreeNode* SelectedItem() const;
  // The node at a point (twips from the control's corner), or nullptr.
  TreeNode* HitTest(float x, float y) const;
  // The rectangle of a node's label in the control's pixels (empty while it is not shown).
  QRect NodeRect(const TreeNode& node) const;

  void SetImageList(const ImageList* list);
  const ImageList* GetImageList() const { return images_; }
  int Indentation() const;
  void SetIndentation(int px);
  // 0: lines between siblings only; 1: also lines to the root nodes.
  int LineStyle() const { return line_style_; }
  void SetLineStyle(int style);

  // Re-keys a node; KeyError for an unknown key or a new key already in use.
  void SetKey(std::string_view key, std::string_view new_key);
  // Moves a node with its subtree to the end of the children of another node (Set Node.Parent);
  // KeyError for unknown keys or a parent that lies inside the moved subtree.
  void SetParent(std::string_view key, std::string_view parent_key);
  // The node shown as the drop target (nullptr for none).
  TreeNode* DropHighlight() const { return drop_; }
  void SetDropHighlight(TreeNode* node);
  // Starts a manual drag (Drag vbBeginDrag); the pointer shows the drag icon until it ends.
  void Drag();
  bool Dragging() const { return dragging_; }

  std::function<void(TreeNode& Node)> NodeClick, Expand, Collapse;
  std::function<void(int Button, int Shift, float X, float Y)> MouseDown, MouseUp;
  std::function<void()> DblClick;
  std::function<void(int Button, int Shift, float X, float Y)> MouseMove;
  std::function<void(float X, float Y)> DragOver, DragDrop;

  // The tree view inside (for focus and tests).
  QTreeWidget* view() const { return view_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  friend class TreeNode;
  TreeNode* node_of(QTreeWidgetItem* item) const;
  void check_image(std::string_view key) const;
  void forget(TreeNode* node);

  QTreeWidget* view_;
  const ImageList* images_ = nullptr;
  std::vector<std::unique_ptr<TreeNode>> order_;
  std::map<std::string, TreeNode*, std::less<>> by_key_;
  int line_style_ = 1;
  bool quiet_ = false;
  QTreeWidgetItem* pressed_ = nullptr;
  TreeNode* drop_ = nullptr;
  bool dragging_ = false;
};

}  // namespace kyx::ui
