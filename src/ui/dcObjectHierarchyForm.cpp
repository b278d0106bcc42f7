#include "dcObjectHierarchyForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QTreeView>

#include "CMainFrame.h"
#include "dcArtwork.h"
#include "dcAssetConsoleEngine.h"
#include "dcCommandIds.h"
#include "dcObject.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"
#include "dcTreeStyle.h"
#include "dcUiText.h"

dcObjectHierarchyForm_t* theObjectHierarchyForm = nullptr;

namespace {
constexpr int kTreeFontHeight = 12;  // 9 points
}  // namespace

// --- dcHierarchyModel_t -----------------------------------------------------

dcHierarchyModel_t::dcHierarchyModel_t(QObject* parent) : QAbstractItemModel(parent) {
  nodes_.emplace_back();
}

void dcHierarchyModel_t::setImages(const QIcon (&icons)[IMAGE_KIND_COUNT]) {
  for (int k = 0; k < IMAGE_KIND_COUNT; ++k) icons_[k] = icons[k];
  if (itemCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void dcHierarchyModel_t::removeAll() {
  beginResetModel();
  nodes_.clear();
  nodes_.emplace_back();
  endResetModel();
}

int dcHierarchyModel_t::appendNode(int parent, dcObject_t* object, ImageKind image) {
  const int number = static_cast<int>(nodes_.size());
  Node node;
  node.object = object;
  node.parent = parent;
  node.row = static_cast<int>(nodes_[parent].children.size());
  node.image = image;
  nodes_.push_back(std::move(node));
  nodes_[parent].children.push_back(number);
  return number;
}

int dcHierarchyModel_t::buildSubtree(dcQsGroup_t* group, int parent, const dcQsGroup_t* rootGroup) {
  auto imageOf = [rootGroup](const dcQsGroup_t* g) { return g == rootGroup ? ROOT_IMAGE : GROUP_IMAGE; };
  struct Frame {
    dcQsGroup_t* group;
    int node;
    dcQsGroupNode_t* nextChild;
  };
  const int top = appendNode(parent, group, imageOf(group));
  std::vector<Frame> stack{{group, top, group->children}};
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (dcQsGroupNode_t* link = frame.nextChild) {
      frame.nextChild = link->next;
      if (!link->pGroup) continue;
      const int node = appendNode(frame.node, link->pGroup, imageOf(link->pGroup));
      stack.push_back({link->pGroup, node, link->pGroup->children});
      continue;
    }
    // Sub-groups are all in; the group's own clients follow them.
    for (dcQsClientNode_t* link = frame.group->clients; link; link = link->next)
      if (link->pClient) appendNode(frame.node, link->pClient, CLIENT_IMAGE);
    stack.pop_back();
  }
  return top;
}

QModelIndex dcHierarchyModel_t::insertGroup(dcQsGroup_t* group, const QModelIndex& parent,
                                            const dcQsGroup_t* rootGroup) {
  if (!group) return QModelIndex();
  const int parentNode = nodeOf(parent);
  const int row = static_cast<int>(nodes_[parentNode].children.size());
  // One notification for the whole subtree: the view lays it out once.
  beginInsertRows(parent, row, row);
  const int node = buildSubtree(group, parentNode, rootGroup);
  endInsertRows();
  return createIndex(row, 0, static_cast<quintptr>(node));
}

int dcHierarchyModel_t::nodeOf(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return 0;
  const quintptr id = index.internalId();
  return id < nodes_.size() ? static_cast<int>(id) : 0;
}

dcObject_t* dcHierarchyModel_t::objectAt(const QModelIndex& index) const {
  const int node = nodeOf(index);
  return node ? nodes_[node].object : nullptr;
}

QModelIndex dcHierarchyModel_t::index(int row, int column, const QModelIndex& parent) const {
  const Node& p = nodes_[nodeOf(parent)];
  if (column != 0 || row < 0 || row >= static_cast<int>(p.children.size())) return QModelIndex();
  return createIndex(row, 0, static_cast<quintptr>(p.children[row]));
}

QModelIndex dcHierarchyModel_t::parent(const QModelIndex& child) const {
  const int node = nodeOf(child);
  if (node == 0) return QModelIndex();
  const int up = nodes_[node].parent;
  if (up == 0) return QModelIndex();
  return createIndex(nodes_[up].row, 0, static_cast<quintptr>(up));
}

int dcHierarchyModel_t::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() && parent.column() != 0) return 0;
  return static_cast<int>(nodes_[nodeOf(parent)].children.size());
}

int dcHierarchyModel_t::columnCount(const QModelIndex&) const { return 1; }

bool dcHierarchyModel_t::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant dcHierarchyModel_t::data(const QModelIndex& index, int role) const {
  const int node = nodeOf(index);
  if (node == 0) return QVariant();
  const Node& n = nodes_[node];
  switch (role) {
    case Qt::DisplayRole:
      return n.object ? dcUiString(n.object->name) : QString();
    case Qt::DecorationRole:
      return icons_[n.image];
    case ObjectRole:
      return QVariant::fromValue(reinterpret_cast<quintptr>(n.object));
    case ImageKindRole:
      return static_cast<int>(n.image);
    default:
      return QVariant();
  }
}

// --- dcObjectHierarchyForm_t ------------------------------------------------

dcObjectHierarchyForm_t::dcObjectHierarchyForm_t(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("treePane"));
  pictureControl = new QLabel(this);
  pictureControl->setObjectName(QString::number(PICTURE_CONTROL_ID));

  // Lines, buttons and lines at the root; the selection stays visible when
  // the tree loses the focus.
  tree = new QTreeView(this);
  tree->setObjectName(QString::number(TREE_CONTROL_ID));
  auto* branches = new dcTreeStyle_t;
  branches->setParent(this);
  tree->setStyle(branches);
  tree->setHeaderHidden(true);
  tree->setRootIsDecorated(true);
  tree->setUniformRowHeights(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setFont(dcUiFont(kTreeFontHeight, 400));
  QPalette palette = tree->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  tree->setPalette(palette);

  model_ = new dcHierarchyModel_t(this);
  tree->setModel(model_);
  connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current, const QModelIndex&) { OnSelchangedTree1(current); });

  theObjectHierarchyForm = this;
  dcRegisterPane(theTreePane, static_cast<dcTreePane_t*>(this));
  OnInitialUpdate();
}

dcObjectHierarchyForm_t::~dcObjectHierarchyForm_t() {
  dcUnregisterPane(theTreePane, static_cast<dcTreePane_t*>(this));
  if (theObjectHierarchyForm == this) theObjectHierarchyForm = nullptr;
}

void dcObjectHierarchyForm_t::OnInitialUpdate() {
  imageList.reserve(IMAGE_LIST_SIZE);
  auto addImage = [this](int art) {
    imageList.push_back(dcWhiteTransparent(dcLoadBitmap(art)));
    return static_cast<int>(imageList.size()) - 1;
  };
  rootImage = rootSelectedImage = addImage(dcArt::TREE_ROOT);
  groupImage = groupSelectedImage = addImage(dcArt::TREE_GROUP);
  clientImage = clientSelectedImage = addImage(dcArt::TREE_CLIENT);

  if (!tree) {
    status = dcStatus::MISSING_OBJECT;
    return;
  }
  const std::pair<int, int> images[dcHierarchyModel_t::IMAGE_KIND_COUNT] = {
      {rootImage, rootSelectedImage}, {groupImage, groupSelectedImage}, {clientImage, clientSelectedImage}};
  QIcon icons[dcHierarchyModel_t::IMAGE_KIND_COUNT];
  for (int k = 0; k < dcHierarchyModel_t::IMAGE_KIND_COUNT; ++k) {
    // The selected picture is given explicitly so that the style does not
    // tint it.
    icons[k].addPixmap(imageList[static_cast<std::size_t>(images[k].first)], QIcon::Normal);
    icons[k].addPixmap(imageList[static_cast<std::size_t>(images[k].second)], QIcon::Selected);
  }
  model_->setImages(icons);
  tree->setIconSize(QSize(dcArt::TREE_IMAGE_SIZE, dcArt::TREE_IMAGE_SIZE));

  if (pictureControl) {
    picture = dcLoadBitmap(dcArt::TREE_PICTURE);
    pictureControl->setPixmap(picture);
    pictureWidth = picture.width();
    pictureHeight = picture.height();
    pictureControl->setGeometry(0, 0, pictureWidth, pictureHeight);
  }
}

QSize dcObjectHierarchyForm_t::sizeHint() const {
  return QSize(pictureWidth > 0 ? pictureWidth : dcArt::TREE_PICTURE_WIDTH, 10);
}

void dcObjectHierarchyForm_t::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!tree) return;
  // With the initial offsets the tree starts right below the picture.
  tree->setGeometry(treeLeft, treeTop + pictureHeight - 10, width(), height() - pictureHeight);
  tree->update();
}

void dcObjectHierarchyForm_t::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), dcUiColour(backgroundColour));
}

dcStatus_t dcObjectHierarchyForm_t::rebuildTree() {
  if (!theAssetConsoleEngine || !tree) return status = dcStatus::MISSING_OBJECT;
  model_->removeAll();
  insertGroup(&theAssetConsoleEngine->root, QModelIndex());
  tree->expand(model_->index(0, 0));
  return dcStatus::OK;
}

dcStatus_t dcObjectHierarchyForm_t::insertGroup(dcQsGroup_t* group, const QModelIndex& parentItem) {
  model_->insertGroup(group, parentItem, theAssetConsoleEngine ? &theAssetConsoleEngine->root : nullptr);
  return dcStatus::OK;
}

dcStatus_t dcObjectHierarchyForm_t::selectRootItem() {
  if (!tree) return status = dcStatus::MISSING_OBJECT;
  tree->setCurrentIndex(model_->index(0, 0));
  return dcStatus::OK;
}

void dcObjectHierarchyForm_t::detachTree() {
  model_->removeAll();
  selected = nullptr;
}

void dcObjectHierarchyForm_t::OnSelchangedTree1(const QModelIndex& current) {
  // Emptying the tree moves the caret to no item; only a newly selected
  // item counts as a selection change.
  if (!current.isValid()) return;
  selected = model_->objectAt(current);
  if (!selected) {
    status = dcStatus::NO_TEXT;
    return;
  }
  // Routed through the main window to the document's redraw.
  CMainFrame::sendToMainWindow(dcCmd::REDRAW);
}
