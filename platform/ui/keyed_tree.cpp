#include "platform/ui/keyed_tree.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

#include "platform/ui/colours.h"
#include "platform/ui/image_list.h"
#include "platform/ui/key_error.h"
#include "platform/ui/vb_events.h"

namespace kyx::ui {
namespace {
QString qt(std::string_view s) { return QString::fromStdString(kyx::text::to_utf8(s)); }
}  // namespace

// ---- TreeNode --------------------------------------------------------------------------------

int TreeNode::Index() const {
  const auto& v = tree_->order_;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i].get() == this) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::string TreeNode::Text() const { return kyx::text::from_utf8(item_->text(0).toStdString()); }
void TreeNode::SetText(std::string_view t) { item_->setText(0, qt(t)); }

void TreeNode::SetImage(std::string_view key) {
  tree_->check_image(key);
  image_ = std::string(key);
  refresh_icon();
}

void TreeNode::SetExpandedImage(std::string_view key) {
  tree_->check_image(key);
  expanded_image_ = std::string(key);
  refresh_icon();
}

void TreeNode::refresh_icon() {
  const ImageList* list = tree_->images_;
  const std::string& k = item_->isExpanded() && !expanded_image_.empty() ? expanded_image_ : image_;
  if (!list || k.empty() || !list->Exists(k)) {
    item_->setIcon(0, QIcon());
  } else {
    item_->setIcon(0, QIcon(list->Picture(k)));
  }
}

bool TreeNode::Expanded() const { return item_->isExpanded(); }
void TreeNode::SetExpanded(bool e) {
  const bool was = tree_->quiet_;
  tree_->quiet_ = true;
  item_->setExpanded(e);
  tree_->quiet_ = was;
  refresh_icon();
}

bool TreeNode::Selected() const { return item_->isSelected(); }
void TreeNode::SetSelected(bool s) {
  if (s) {
    tree_->view_->setCurrentItem(item_);
  } else {
    item_->setSelected(false);
  }
}

void TreeNode::SetForeColor(uint32_t ole) {
  fore_ = ole;
  item_->setForeground(0, QBrush(ole_to_qcolor(ole)));
}

bool TreeNode::Bold() const { return item_->font(0).bold(); }
void TreeNode::SetBold(bool b) {
  QFont f = item_->font(0);
  f.setBold(b);
  item_->setFont(0, f);
}

TreeNode* TreeNode::Parent() const { return tree_->node_of(item_->parent()); }
int TreeNode::Children() const { return item_->childCount(); }
TreeNode* TreeNode::Child() const {
  return item_->childCount() > 0 ? tree_->node_of(item_->child(0)) : nullptr;
}

namespace {
// The siblings' container: the parent item, or the tree's invisible root.
QTreeWidgetItem* container(QTreeWidgetItem* item) {
  return item->parent() ? item->parent() : item->treeWidget()->invisibleRootItem();
}
}  // namespace

TreeNode* TreeNode::Next() const {
  QTreeWidgetItem* c = container(item_);
  const int i = c->indexOfChild(item_);
  return i + 1 < c->childCount() ? tree_->node_of(c->child(i + 1)) : nullptr;
}
TreeNode* TreeNode::Previous() const {
  QTreeWidgetItem* c = container(item_);
  const int i = c->indexOfChild(item_);
  return i > 0 ? tree_->node_of(c->child(i - 1)) : nullptr;
}
TreeNode* TreeNode::FirstSibling() const { return tree_->node_of(container(item_)->child(0)); }
TreeNode* TreeNode::LastSibling() const {
  QTreeWidgetItem* c = container(item_);
  return tree_->node_of(c->child(c->childCount() - 1));
}

std::string TreeNode::FullPath() const {
  std::string path = Text();
  for (const TreeNode* p = Parent(); p; p = p->Parent()) path = p->Text() + "\\" + path;
  return path;
}

void TreeNode::EnsureVisible() {
  for (QTreeWidgetItem* p = item_->parent(); p; p = p->parent()) {
    if (TreeNode* n = tree_->node_of(p)) n->SetExpanded(true);
  }
  tree_->view_->scrollToItem(item_);
}

// ---- KeyedTree -------------------------------------------------------------------------------

KeyedTree::KeyedTree(QWidget* parent) : VbControl<QWidget>(parent), view_(new QTreeWidget(this)) {
  view_->setColumnCount(1);
  view_->header()->hide();
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setIconSize(QSize(16, 16));
  view_->setIndentation(19);
  view_->setExpandsOnDoubleClick(true);
  view_->viewport()->installEventFilter(this);
  view_->setGeometry(rect());
  // The focus given to the control goes to its view, which takes the keys and the wheel.
  setFocusProxy(view_);
  QObject::connect(view_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* it) {
    TreeNode* n = node_of(it);
    if (!n) return;
    n->refresh_icon();
    if (!quiet_ && Expand) Expand(*n);
  });
  QObject::connect(view_, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* it) {
    TreeNode* n = node_of(it);
    if (!n) return;
    n->refresh_icon();
    if (!quiet_ && Collapse) Collapse(*n);
  });
}

KeyedTree::~KeyedTree() {
  // The items go with the view; the nodes must not be reached through them afterwards.
  quiet_ = true;
}

void KeyedTree::resizeEvent(QResizeEvent* e) {
  VbControl<QWidget>::resizeEvent(e);
  view_->setGeometry(rect());
}

TreeNode* KeyedTree::node_of(QTreeWidgetItem* item) const {
  if (!item) return nullptr;
  return reinterpret_cast<TreeNode*>(item->data(0, Qt::UserRole).value<quintptr>());
}

void KeyedTree::check_image(std::string_view key) const {
  if (key.empty()) return;
  if (!images_) throw KeyError(35613, "TreeView: nessuna ImageList per l'immagine \"" + std::string(key) + "\"");
  if (!images_->Exists(key)) throw KeyError::not_found("ImageList", key);
}

TreeNode& KeyedTree::Add(std::string_view relative, int relationship, std::string_view key,
                         std::string_view text, std::string_view image,
                         std::string_view selected_image) {
  // Every check comes before anything is changed, so a refused node leaves the tree as it was.
  if (!key.empty() && Exists(key)) throw KeyError::not_unique("TreeView.Nodes", key);
  TreeNode* rel = relative.empty() ? nullptr : &Nodes(relative);
  check_image(image);
  check_image(selected_image);

  auto node = std::make_unique<TreeNode>();
  node->tree_ = this;
  node->key_ = std::string(key);
  node->image_ = std::string(image);
  auto* item = new QTreeWidgetItem();
  node->item_ = item;
  item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(node.get())));
  item->setText(0, qt(text));

  QTreeWidgetItem* parent_item = view_->invisibleRootItem();
  int pos = -1;  // -1 = last
  if (rel) {
    switch (relationship) {
      case tvwChild: parent_item = rel->item_; break;
      case tvwFirst: parent_item = container(rel->item_); pos = 0; break;
      case tvwNext:
        parent_item = container(rel->item_);
        pos = parent_item->indexOfChild(rel->item_) + 1;
        break;
      case tvwPrevious:
        parent_item = container(rel->item_);
        pos = parent_item->indexOfChild(rel->item_);
        break;
      default: parent_item = container(rel->item_); break;
    }
  } else if (relationship == tvwFirst) {
    pos = 0;
  }
  if (pos < 0) {
    parent_item->addChild(item);
  } else {
    parent_item->insertChild(pos, item);
  }
  TreeNode& ref = *node;
  if (!ref.key_.empty()) by_key_.emplace(ref.key_, &ref);
  order_.push_back(std::move(node));
  ref.refresh_icon();
  return ref;
}

bool KeyedTree::Exists(std::string_view key) const {
  return !key.empty() && by_key_.find(key) != by_key_.end();
}

TreeNode& KeyedTree::Nodes(std::string_view key) {
  auto it = key.empty() ? by_key_.end() : by_key_.find(key);
  if (it == by_key_.end()) throw KeyError::not_found("TreeView.Nodes", key);
  return *it->second;
}

TreeNode& KeyedTree::Nodes(int index) {
  if (index < 1 || index > Count()) throw KeyError::bad_index("TreeView.Nodes", index);
  return *order_[static_cast<std::size_t>(index - 1)];
}

void KeyedTree::forget(TreeNode* node) {
  for (int i = 0; i < node->item_->childCount(); ++i) forget(node_of(node->item_->child(i)));
  if (!node->key_.empty()) by_key_.erase(node->key_);
  if (pressed_ == node->item_) pressed_ = nullptr;
  if (drop_ == node) drop_ = nullptr;
}

void KeyedTree::SetKey(std::string_view key, std::string_view new_key) {
  TreeNode& n = Nodes(key);
  if (key == new_key) return;
  if (!new_key.empty() && Exists(new_key)) throw KeyError::not_unique("TreeView.Nodes", new_key);
  by_key_.erase(n.key_);
  n.key_ = std::string(new_key);
  if (!n.key_.empty()) by_key_.emplace(n.key_, &n);
}

void KeyedTree::SetParent(std::string_view key, std::string_view parent_key) {
  TreeNode& n = Nodes(key);
  TreeNode& p = Nodes(parent_key);
  for (QTreeWidgetItem* i = p.item_; i; i = i->parent()) {
    if (i == n.item_) throw KeyError(35614, "TreeView: un nodo non pu\xF2 diventare figlio di un suo discendente");
  }
  const bool was = quiet_;
  quiet_ = true;
  QTreeWidgetItem* item = n.item_;
  container(item)->removeChild(item);
  p.item_->addChild(item);
  quiet_ = was;
  n.refresh_icon();
}

void KeyedTree::SetDropHighlight(TreeNode* node) {
  const QBrush none;
  if (drop_) {
    drop_->item_->setBackground(0, none);
    drop_->item_->setForeground(0, QBrush(ole_to_qcolor(drop_->fore_)));
  }
  drop_ = node;
  if (drop_) {
    drop_->item_->setBackground(0, QBrush(ole_to_qcolor(0x8000000D)));
    drop_->item_->setForeground(0, QBrush(ole_to_qcolor(0x8000000E)));
  }
}

void KeyedTree::Drag() {
  dragging_ = true;
  view_->viewport()->setCursor(Qt::DragMoveCursor);
}

void KeyedTree::Remove(std::string_view key) {
  TreeNode& n = Nodes(key);
  forget(&n);
  QTreeWidgetItem* item = n.item_;
  // Drop the nodes whose keys are gone (the node and its descendants), then the items.
  std::vector<TreeNode*> doomed;
  std::function<void(QTreeWidgetItem*)> collect = [&](QTreeWidgetItem* it) {
    doomed.push_back(node_of(it));
    for (int i = 0; i < it->childCount(); ++i) collect(it->child(i));
  };
  collect(item);
  quiet_ = true;
  delete item;
  quiet_ = false;
  std::erase_if(order_, [&](const std::unique_ptr<TreeNode>& p) {
    return std::find(doomed.begin(), doomed.end(), p.get()) != doomed.end();
  });
}

void KeyedTree::Clear() {
  quiet_ = true;
  pressed_ = nullptr;
  drop_ = nullptr;
  view_->clear();
  quiet_ = false;
  by_key_.clear();
  order_.clear();
}

TreeNode* KeyedTree::SelectedItem() const { return node_of(view_->currentItem()); }

TreeNode* KeyedTree::HitTest(float x, float y) const {
  const QPoint p(static_cast<int>(x / Twips_Pixel_X()), static_cast<int>(y / Twips_Pixel_Y()));
  const QPoint vp = view_->viewport()->mapFrom(this, p);
  return node_of(view_->itemAt(vp));
}

QRect KeyedTree::NodeRect(const TreeNode& node) const {
  const QRect r = view_->visualItemRect(node.item_);
  return r.isEmpty() ? r : QRect(view_->viewport()->mapTo(this, r.topLeft()), r.size());
}

void KeyedTree::SetImageList(const ImageList* list) {
  images_ = list;
  for (auto& n : order_) n->refresh_icon();
}

int KeyedTree::Indentation() const { return view_->indentation(); }
void KeyedTree::SetIndentation(int px) { view_->setIndentation(std::max(0, px)); }
void KeyedTree::SetLineStyle(int style) {
  line_style_ = style;
  view_->setRootIsDecorated(style != 0);
}

bool KeyedTree::eventFilter(QObject* watched, QEvent* e) {
  if (watched != view_->viewport()) return false;
  if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonRelease &&
      e->type() != QEvent::MouseButtonDblClick && e->type() != QEvent::MouseMove) {
    return false;
  }
  auto* me = static_cast<QMouseEvent*>(e);
  const QPointF in_control = view_->viewport()->mapTo(this, me->position().toPoint());
  const float tx = static_cast<float>(px_to_twips_x(in_control.x()));
  const float ty = static_cast<float>(px_to_twips_y(in_control.y()));
  if (e->type() == QEvent::MouseMove) {
    if (dragging_) {
      if (DragOver) DragOver(tx, ty);
      return true;
    }
    if (MouseMove) MouseMove(vb_buttons(me->buttons()), vb_shift(me->modifiers()), tx, ty);
    return false;
  }
  if (dragging_ && e->type() == QEvent::MouseButtonRelease) {
    dragging_ = false;
    pressed_ = nullptr;
    view_->viewport()->unsetCursor();
    if (DragDrop) DragDrop(tx, ty);
    return true;
  }
  QTreeWidgetItem* item = view_->itemAt(me->position().toPoint());
  // Only the label counts as the node (not the branch sign beside it).
  if (item && !view_->visualItemRect(item).contains(me->position().toPoint())) item = nullptr;
  if (e->type() == QEvent::MouseButtonPress) {
    pressed_ = item;
    if (MouseDown) MouseDown(vb_button(me->button()), vb_shift(me->modifiers()), tx, ty);
    if (item && me->button() != Qt::LeftButton) view_->setCurrentItem(item);
  } else if (e->type() == QEvent::MouseButtonRelease) {
    if (MouseUp) MouseUp(vb_button(me->button()), vb_shift(me->modifiers()), tx, ty);
    if (item && item == pressed_ && NodeClick) {
      pressed_ = nullptr;
      if (TreeNode* n = node_of(item)) NodeClick(*n);
    }
    pressed_ = nullptr;
  } else if (DblClick) {
    DblClick();
  }
  return false;
}

}  // namespace kyx::ui
