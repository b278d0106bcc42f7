#include "dcListViews.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>
#include <unordered_map>

#include "CSettingMgr.h"
#include "cp949.h"
#include "dcAssetConsoleEngine.h"
#include "dcDisplayText.h"
#include "dcNoCaseIndex.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"
#include "dcSoftwareUsage.h"

namespace {

// Header text of a column table entry; an absent entry gives no text.
std::string header(const char* section, int entry) {
  const char* text = dcGetDisplayText(section, entry);
  return text ? text : "";
}

// Appends text and then separator to cell while the cell stays within the
// limit; a text that does not fit is skipped.
void appendBounded(std::string& cell, const char* text, std::string_view separator) {
  const std::size_t length = std::strlen(text);
  if (cell.size() + length + separator.size() > dcviews::CELL_LIMIT) return;
  cell.append(text, length);
  cell.append(separator);
}

// The columns of every name, so that a client's own entries are placed by
// one look-up each. Names compare as the lists find them, without regard to
// case: names that differ in letter case only are distinct columns which all
// show the same entry. Keys point into the group's name list.
//
// Clients list their entries in much the same order, and an entry's name is
// the inventory's pooled text, so the entry at a given position usually has
// the very text (the same address) the previous client had there: that
// look-up is remembered per position and reused when the address is the
// same, which gives the same columns a full look-up would.
class ColumnIndex {
 public:
  using Columns = std::vector<std::size_t>;

  ColumnIndex(dcStringList_t& names, dcViewList_t& list, std::string firstHeader) {
    list.columns.push_back({std::move(firstHeader), dcviews::BY_PC_WIDTH});
    for (dcStringListItem_t* item = names.head; item; item = item->next) {
      byName_[item->text].push_back(list.columns.size());
      list.columns.push_back({item->text, dcviews::BY_PC_WIDTH});
    }
  }
  // The columns of the name of a client's entry at position (0 for its first
  // entry), or nullptr when no column has that name.
  const Columns* find(std::size_t position, const char* name) {
    if (position < recent_.size() && recent_[position].name == name) return recent_[position].columns;
    const auto it = byName_.find(name);
    const Columns* columns = it == byName_.end() ? nullptr : &it->second;
    if (position >= recent_.size()) recent_.resize(position + 1);
    recent_[position] = {name, columns};
    return columns;
  }

 private:
  struct NoCaseHash {
    std::size_t operator()(const char* text) const { return dcinv::noCaseHash(text); }
  };
  struct NoCaseEqual {
    bool operator()(const char* a, const char* b) const { return mb::compareNoCase(a, b) == 0; }
  };
  struct Recent {
    const char* name = nullptr;
    const Columns* columns = nullptr;
  };
  std::unordered_map<const char*, Columns, NoCaseHash, NoCaseEqual> byName_;
  std::vector<Recent> recent_;
};

// The clients of a subtree in collection order, freed on every way out.
class CollectedClients {
 public:
  explicit CollectedClients(dcQsGroup_t* group) { group->collectClients(head_); }
  ~CollectedClients() { dcQsGroup_t::freeClientNodes(head_); }
  CollectedClients(const CollectedClients&) = delete;
  CollectedClients& operator=(const CollectedClients&) = delete;
  dcQsClientNode_t* head() const { return head_; }

 private:
  dcQsClientNode_t* head_ = nullptr;
};

std::string pcNameHeader() {
  const char* text = CSettingMgr::GetInstance()->GetValue("pcname");
  return text ? text : "";
}

// The rows of a by-PC view: one per client of the subtree, in collection
// order up to a null client (status 203), each made from the client's
// inventory when asked for. Cells after the client's name are set at most
// once each: the client's first matching entry wins.
class ByPcRows : public dcRowMaker_t {
 public:
  enum class Kind { WINDOWS_INFO, HARDWARE };

  ByPcRows(Kind kind, dcQsGroup_t* group, dcViewList_t& list)
      : kind_(kind),
        columns_(kind == Kind::WINDOWS_INFO ? group->windowsInfoItems : group->hardwareNames, list,
                 pcNameHeader()),
        columnCount_(list.columns.size()) {
    const CollectedClients collected(group);
    for (dcQsClientNode_t* node = collected.head(); node; node = node->next) {
      if (!node->pClient) {
        status_ = dcStatus::NULL_ARGUMENT;
        break;
      }
      clients_.push_back(node->pClient);
    }
    // A hardware cell is built in one buffer that keeps its room from cell
    // to cell, and then copied at its final size.
    if (kind == Kind::HARDWARE) cell_.reserve(dcviews::CELL_LIMIT);
  }

  dcStatus_t status() const { return status_; }
  std::size_t rowCount() const override { return clients_.size(); }

  std::vector<std::string> makeRow(std::size_t index) override {
    std::vector<std::string> row(columnCount_);
    if (index >= clients_.size()) return row;
    dcQsClient_t* client = clients_[index];
    row[0] = client->name;
    filled_.assign(columnCount_, false);
    if (kind_ == Kind::WINDOWS_INFO)
      windowsInfoCells(client, row);
    else
      hardwareCells(client, row);
    return row;
  }

  // Every row, appended to list.
  void makeAll(dcViewList_t& list) {
    list.rows.reserve(list.rows.size() + clients_.size());
    for (std::size_t i = 0; i < clients_.size(); ++i) list.rows.push_back(makeRow(i));
  }

 private:
  template <class Text>
  void setCell(const ColumnIndex::Columns& at, std::vector<std::string>& row, const Text& text) {
    for (std::size_t column : at) {
      if (filled_[column]) continue;
      filled_[column] = true;
      row[column] = text;
    }
  }

  void windowsInfoCells(dcQsClient_t* client, std::vector<std::string>& row) {
    std::size_t position = 0;
    for (dcWindowsInfoItem_t* item = client->windowsInfo.items; item; item = item->next)
      if (const ColumnIndex::Columns* at = columns_.find(position++, item->name))
        setCell(*at, row, item->description);
  }

  // The descriptions of all the category's items, each followed by a blank.
  void hardwareCells(dcQsClient_t* client, std::vector<std::string>& row) {
    std::size_t position = 0;
    for (dcHardwareListNode_t* node = client->hardwareList.categories; node; node = node->next) {
      if (!node->pInfo) continue;
      const ColumnIndex::Columns* at = columns_.find(position++, node->pInfo->name);
      if (!at) continue;
      cell_.clear();
      for (dcHardwareItem_t* item = node->pInfo->items; item; item = item->next)
        appendBounded(cell_, item->description, " ");
      setCell(*at, row, cell_);
    }
  }

  const Kind kind_;
  ColumnIndex columns_;
  const std::size_t columnCount_;
  std::vector<dcQsClient_t*> clients_;
  dcStatus_t status_ = dcStatus::OK;
  std::vector<bool> filled_;
  std::string cell_;
};

// A by-PC view: its rows made now into list, or left to a maker in later.
dcStatus_t byPc(ByPcRows::Kind kind, dcQsGroup_t* group, dcViewList_t& list,
                std::unique_ptr<dcRowMaker_t>* later) {
  auto rows = std::make_unique<ByPcRows>(kind, group, list);
  const dcStatus_t status = rows->status();
  if (later)
    *later = std::move(rows);
  else
    rows->makeAll(list);
  return status;
}

}  // namespace

std::string dcViewDate_t::text() const {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.4d.%.2d.%.2d", year, month, day);
  return buffer;
}

dcViewDate_t dcViewDate_t::today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<dcViewDate_t> dcViewDate_t::parse(const char* text) {
  if (!text) return std::nullopt;
  dcViewDate_t date;
  char rest = 0;
  if (std::sscanf(text, "%4d.%2d.%2d%c", &date.year, &date.month, &date.day, &rest) != 3) return std::nullopt;
  static constexpr int DAYS[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1 || date.day > DAYS[date.month - 1])
    return std::nullopt;
  return date;
}

namespace dcviews {

dcViewKind_t viewOfTitle(const char* title) {
  if (!title) return dcViewKind_t::NONE;
  static constexpr dcViewKind_t ORDER[] = {dcViewKind_t::WINDOWS_INFO, dcViewKind_t::SOFTWARE,
                                           dcViewKind_t::HARDWARE, dcViewKind_t::USAGE};
  for (int entry = 1; entry <= 4; ++entry) {
    const char* tab = dcGetDisplayText(DST_TABS, entry);
    if (tab && std::strcmp(tab, title) == 0) return ORDER[entry - 1];
  }
  return dcViewKind_t::NONE;
}

const char* titleOfView(dcViewKind_t kind) {
  switch (kind) {
    case dcViewKind_t::WINDOWS_INFO:
      return dcGetDisplayText(DST_TABS, 1);
    case dcViewKind_t::SOFTWARE:
      return dcGetDisplayText(DST_TABS, 2);
    case dcViewKind_t::HARDWARE:
      return dcGetDisplayText(DST_TABS, 3);
    case dcViewKind_t::USAGE:
      return dcGetDisplayText(DST_TABS, 4);
    case dcViewKind_t::NONE:
      break;
  }
  return nullptr;
}

dcStatus_t clientWindowsInfo(dcQsClient_t* client, dcViewList_t& list) {
  list.reset();
  if (!client) return dcStatus::NULL_ARGUMENT;
  list.columns = {{header(DST_WINDOWS_INFO_COLUMNS, 1), ITEM_WIDTH},
                  {header(DST_WINDOWS_INFO_COLUMNS, 2), DETAILS_WIDTH}};
  for (dcWindowsInfoItem_t* item = client->windowsInfo.items; item; item = item->next)
    list.rows.push_back({item->name, item->description});
  return dcStatus::OK;
}

dcStatus_t clientSoftware(dcQsClient_t* client, dcViewList_t& list) {
  list.reset();
  if (!client) return dcStatus::NULL_ARGUMENT;
  list.columns = {{header(DST_SOFTWARE_COLUMNS, 1), CLIENT_SOFTWARE_WIDTH}};
  for (dcSoftwareInfo_t* entry = client->softwareList.entries; entry; entry = entry->next)
    list.rows.push_back({entry->packageName});
  return dcStatus::OK;
}

dcStatus_t clientHardware(dcQsClient_t* client, dcViewList_t& list) {
  list.reset();
  if (!client) return dcStatus::NULL_ARGUMENT;
  list.columns = {{header(DST_HARDWARE_COLUMNS, 1), ITEM_WIDTH},
                  {header(DST_HARDWARE_COLUMNS, 2), DETAILS_WIDTH}};
  for (dcHardwareListNode_t* node = client->hardwareList.categories; node; node = node->next) {
    if (!node->pInfo) continue;
    for (dcHardwareItem_t* item = node->pInfo->items; item; item = item->next)
      list.rows.push_back({node->pInfo->name, item->description});
  }
  return dcStatus::OK;
}

dcStatus_t windowsInfoByPc(dcQsGroup_t* group, dcViewList_t& list, std::unique_ptr<dcRowMaker_t>* later) {
  list.reset();
  if (later) later->reset();
  if (!theAssetConsoleEngine) return dcStatus::MISSING_OBJECT;
  if (!group) return dcStatus::NULL_ARGUMENT;
  return byPc(ByPcRows::Kind::WINDOWS_INFO, group, list, later);
}

dcStatus_t hardwareByPc(dcQsGroup_t* group, dcViewList_t& list, std::unique_ptr<dcRowMaker_t>* later) {
  list.reset();
  if (later) later->reset();
  if (!group) return dcStatus::NULL_ARGUMENT;
  return byPc(ByPcRows::Kind::HARDWARE, group, list, later);
}

dcStatus_t groupSoftware(dcQsGroup_t* group, dcViewList_t& list) {
  list.reset();
  if (!theAssetConsoleEngine) return dcStatus::MISSING_OBJECT;
  if (!group) return dcStatus::NULL_ARGUMENT;
  list.columns = {{header(DST_SOFTWARE_COLUMNS, 1), GROUP_SOFTWARE_WIDTH},
                  {header(DST_SOFTWARE_COLUMNS, 3), USERS_WIDTH}};
  for (dcSoftwareInfo_t* entry = group->softwareList.entries; entry; entry = entry->next) {
    std::string users;
    if (entry->pBackwardLinks)
      for (const dcpgBackwardLink_t& link : entry->pBackwardLinks->links()) {
        const bool named =
            link.kind == dcpgBackwardLinks_t::KIND_CLIENT || link.kind == dcpgBackwardLinks_t::KIND_GROUP;
        if (named && link.pObject) appendBounded(users, link.pObject->name, ", ");
      }
    list.rows.push_back({entry->packageName, std::move(users)});
  }
  return dcStatus::OK;
}

dcStatus_t usage(const dcSoftwareUsageDocument_t* document, dcViewPeriod_t& period, dcViewList_t& list) {
  list.reset();
  if (!document) return dcStatus::NULL_ARGUMENT;
  if (period.start > period.end) period.start = period.end;
  const std::string first = period.start.text();
  const std::string last = period.end.text();
  list.columns = {{header(DST_SOFTWARE_USAGE_COLUMNS, 1), USAGE_PROGRAM_WIDTH},
                  {header(DST_SOFTWARE_USAGE_COLUMNS, 2), USAGE_TIME_WIDTH}};
  for (dcUsageSummaryLine_t& line : document->summarize(first.c_str(), last.c_str()))
    list.rows.push_back({std::move(line.name), std::move(line.minutes)});
  return dcStatus::OK;
}

dcViewRefresh_t refresh(dcObject_t* selected, const char* title, dcViewPeriod_t& period, dcViewList_t& list,
                        std::unique_ptr<dcRowMaker_t>* later) {
  if (later) later->reset();
  if (!selected) return {dcStatus::NOTHING_SELECTED, dcViewKind_t::NONE};
  const bool isClient = selected->isA(dcQsClient_t::CLASS_NAME);
  const bool isGroup = !isClient && selected->isA(dcQsGroup_t::CLASS_NAME);
  if (!isClient && !isGroup) return {};
  const dcViewKind_t kind = viewOfTitle(title);
  auto* client = isClient ? static_cast<dcQsClient_t*>(selected) : nullptr;
  auto* group = isGroup ? static_cast<dcQsGroup_t*>(selected) : nullptr;
  switch (kind) {
    case dcViewKind_t::WINDOWS_INFO:
      return {client ? clientWindowsInfo(client, list) : windowsInfoByPc(group, list, later), kind};
    case dcViewKind_t::SOFTWARE:
      return {client ? clientSoftware(client, list) : groupSoftware(group, list), kind};
    case dcViewKind_t::HARDWARE:
      return {client ? clientHardware(client, list) : hardwareByPc(group, list, later), kind};
    case dcViewKind_t::USAGE:
      return {usage(client ? &client->usageDocument : &group->usageDocument, period, list), kind};
    case dcViewKind_t::NONE:
      break;
  }
  return {};
}

namespace {
// One line of the export: a tab after every cell but the last, "\r\n" after
// the last.
void appendRowLine(std::string& text, const std::vector<std::string>& row, std::size_t count) {
  for (std::size_t c = 0; c < count; ++c) {
    if (c < row.size()) text.append(row[c]);
    text.append(c + 1 < count ? "\t" : "\r\n");
  }
}
}  // namespace

std::string exportText(const dcViewList_t& list) {
  std::string text;
  if (list.columns.empty()) return text;
  std::size_t size = 0;
  for (const dcViewColumn_t& column : list.columns) size += column.header.size() + 1;
  for (const auto& row : list.rows)
    for (const std::string& cell : row) size += cell.size() + 1;
  text.reserve(size + list.rows.size() + 2);

  const std::size_t count = list.columns.size();
  for (std::size_t c = 0; c < count; ++c) {
    const std::string& h = list.columns[c].header;
    text.append(h.data(), mb::boundedLength(h.c_str(), EXPORT_HEADER_LIMIT));
    text.append(c + 1 < count ? "\t" : "\r\n");
  }
  for (const auto& row : list.rows) appendRowLine(text, row, count);
  return text;
}

std::string exportRows(const dcViewList_t& list, const std::vector<std::size_t>& rows) {
  std::string text;
  for (std::size_t r : rows)
    if (r < list.rows.size()) appendRowLine(text, list.rows[r], list.columns.size());
  return text;
}

std::string exportName(const char* objectName, const dcViewDate_t& date) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "_%d-%d-%d", date.year, date.month, date.day);
  return std::string(objectName ? objectName : "") + buffer;
}

}  // namespace dcviews
