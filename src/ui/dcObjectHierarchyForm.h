// The left pane of the main window: the 200 x 70 picture at the top and,
// below it, the tree of groups and clients. The form remembers the object of
// the selected item (a group or a client), which the list viewer and the
// title pane read, and turns every selection change into the redraw command.
// The data load rebuilds the tree and selects the root once the group tree
// is loaded and gathered.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <vector>

#include "dcPaneHooks.h"
#include "dcStatus.h"

class QLabel;
class QTreeView;
class dcObject_t;
class dcQsGroup_t;

// The items of the tree control: a flat table of nodes over the group tree.
// Each item holds the pointer to its group or client (never owned) and the
// kind of its image. Items are only made in bulk (a whole subtree at a
// time) and the walks use an explicit stack, so a site of ten thousand
// clients or a chain of ten thousand groups costs one pass and no deep
// recursion.
class dcHierarchyModel_t : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum ImageKind { ROOT_IMAGE, GROUP_IMAGE, CLIENT_IMAGE, IMAGE_KIND_COUNT };
  // The item's object, as a pointer value (quintptr).
  static constexpr int ObjectRole = Qt::UserRole;
  // The item's ImageKind.
  static constexpr int ImageKindRole = Qt::UserRole + 1;

  explicit dcHierarchyModel_t(QObject* parent = nullptr);

  // Images by kind; an item's selected image is its normal image.
  void setImages(const QIcon (&icons)[IMAGE_KIND_COUNT]);

  // Removes every item at once.
  void removeAll();
  // Appends an item for group after the last child of parent (top level when
  // parent is invalid), then the items of its whole subtree: under every
  // group its sub-groups in order, then its own clients in order. The root
  // image goes to rootGroup, the group image to every other group.
  QModelIndex insertGroup(dcQsGroup_t* group, const QModelIndex& parent, const dcQsGroup_t* rootGroup);

  // The object an item carries, or nullptr.
  dcObject_t* objectAt(const QModelIndex& index) const;
  int itemCount() const { return static_cast<int>(nodes_.size()) - 1; }

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  struct Node {
    dcObject_t* object = nullptr;
    int parent = 0;  // node number; 0 is the invisible top
    int row = 0;     // place among the parent's children
    ImageKind image = GROUP_IMAGE;
    std::vector<int> children;
  };

  int nodeOf(const QModelIndex& index) const;
  int appendNode(int parent, dcObject_t* object, ImageKind image);
  int buildSubtree(dcQsGroup_t* group, int parent, const dcQsGroup_t* rootGroup);

  std::vector<Node> nodes_;  // nodes_[0] holds the top-level items
  QIcon icons_[IMAGE_KIND_COUNT];
};

class dcObjectHierarchyForm_t : public QWidget, public dcTreePane_t {
  Q_OBJECT

 public:
  static constexpr int TREE_CONTROL_ID = 1000;
  static constexpr int PICTURE_CONTROL_ID = 1002;
  static constexpr int IMAGE_LIST_SIZE = 16;  // room for 16 images
  static constexpr int IMAGE_LIST_GROW = 3;

  explicit dcObjectHierarchyForm_t(QWidget* parent = nullptr);
  ~dcObjectHierarchyForm_t() override;

  // Deletes every item and inserts the engine's root group with its whole
  // tree, then expands the top item. 201 without an engine or a tree.
  dcStatus_t rebuildTree();
  // Makes the top item the selected item (which notifies as a click does).
  // 201 without a tree.
  dcStatus_t selectRootItem();
  // Inserts group and its subtree after the last child of parentItem (the
  // top level when invalid). Always 0.
  dcStatus_t insertGroup(dcQsGroup_t* group, const QModelIndex& parentItem);
  // Empties the tree and forgets the selected object. The data load calls
  // it before it destroys the groups and clients the items point to.
  void detachTree();

  dcObject_t* selectedObject() const override { return selected; }

  // The tree control's items.
  dcHierarchyModel_t* model() const { return model_; }

  QSize sizeHint() const override;

  // --- fields, in this order ----------------------------------------------
  dcStatus_t status = dcStatus::OK;
  int treeLeft = 0;
  int treeTop = 10;
  QPixmap picture;
  int pictureWidth = 0;
  int pictureHeight = 0;
  dcObject_t* selected = nullptr;
  // 16 x 16 item images; white is transparent.
  std::vector<QPixmap> imageList;
  int rootImage = -1, rootSelectedImage = -1;
  int groupImage = -1, groupSelectedImage = -1;
  int clientImage = -1, clientSelectedImage = -1;
  std::uint32_t backgroundColour = 0xFFFFFF;
  QTreeView* tree = nullptr;
  QLabel* pictureControl = nullptr;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void OnInitialUpdate();
  void OnSelchangedTree1(const QModelIndex& current);

  dcHierarchyModel_t* model_ = nullptr;
};

// The one tree form, while it exists.
extern dcObjectHierarchyForm_t* theObjectHierarchyForm;
