#include "dcChartData.h"

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

#include "cp949.h"
#include "dcNoCaseIndex.h"
#include "dcQsClient.h"
#include "dcQsGroup.h"

namespace {

constexpr const char* kVersionItem = "WindowsVersion";

dcQsClient_t* asClient(dcObject_t* object) {
  return object && object->isA(dcQsClient_t::CLASS_NAME) ? static_cast<dcQsClient_t*>(object) : nullptr;
}
dcQsGroup_t* asGroup(dcObject_t* object) {
  return object && object->isA(dcQsGroup_t::CLASS_NAME) ? static_cast<dcQsGroup_t*>(object) : nullptr;
}

// The clients a chart counts: the PC itself, or every PC of the group's
// subtree.
std::vector<dcQsClient_t*> countedClients(dcObject_t* selected) {
  std::vector<dcQsClient_t*> clients;
  if (dcQsClient_t* client = asClient(selected)) {
    clients.push_back(client);
  } else if (dcQsGroup_t* group = asGroup(selected)) {
    dcQsClientNode_t* head = nullptr;
    group->collectClients(head);
    for (dcQsClientNode_t* node = head; node; node = node->next)
      if (node->pClient) clients.push_back(node->pClient);
    dcQsGroup_t::freeClientNodes(head);
  }
  return clients;
}

// Largest first; equal values keep their order.
std::vector<dcChartBar_t> ranked(std::vector<dcChartBar_t> bars, std::size_t limit) {
  std::stable_sort(bars.begin(), bars.end(),
                   [](const dcChartBar_t& a, const dcChartBar_t& b) { return a.value > b.value; });
  if (bars.size() > limit) bars.resize(limit);
  return bars;
}

// Keys compared as the software lists compare file names: ASCII letters
// folded, double-byte characters whole.
struct NoCaseHash {
  std::size_t operator()(const char* text) const { return dcinv::noCaseHash(text); }
};
struct NoCaseEqual {
  bool operator()(const char* a, const char* b) const { return dcinv::equalNoCase(a, b); }
};
using NoCaseIndex = std::unordered_map<const char*, std::size_t, NoCaseHash, NoCaseEqual>;

}  // namespace

namespace dccharts {

std::vector<dcChartBar_t> windowsVersions(dcObject_t* selected) {
  // A version is kept as gathering keeps it, cut to the entry's length; the
  // bars come in the group's order of versions, each PC counted under the
  // one version it reports.
  std::vector<dcChartBar_t> bars;
  std::unordered_map<std::string, std::size_t> barOf;
  if (dcQsGroup_t* group = asGroup(selected)) {
    for (dcWindowsVersionNode_t* node = group->windowsVersions; node; node = node->next)
      if (node->pVersion && barOf.emplace(node->pVersion->version, bars.size()).second)
        bars.push_back({node->pVersion->version, 0});
  }
  for (dcQsClient_t* client : countedClients(selected)) {
    const dcWindowsInfoItem_t* item = client->windowsInfo.find(kVersionItem);
    if (!item || !item->description) continue;
    char version[dcWindowsVersion_t::VERSION_SIZE];
    mb::copyBounded(version, item->description);
    const auto [at, added] = barOf.emplace(version, bars.size());
    if (added) bars.push_back({version, 0});
    ++bars[at->second].value;
  }
  std::erase_if(bars, [](const dcChartBar_t& bar) { return bar.value == 0; });
  const std::size_t all = bars.size();
  return ranked(std::move(bars), all);
}

std::vector<dcChartBar_t> mostInstalled(dcObject_t* selected, std::size_t limit) {
  // One bar per file name: the group's gathered entries name them; a PC's
  // own list names its programs for a PC. Every PC adds one to each program
  // it has, however many entries it lists for it.
  std::vector<dcChartBar_t> bars;
  std::vector<const dcQsClient_t*> lastCounted;
  NoCaseIndex barOf;
  auto addName = [&](const dcSoftwareInfo_t* entry) {
    const auto [at, added] = barOf.emplace(entry->fileName, bars.size());
    if (added) {
      bars.push_back({entry->packageName, 0});
      lastCounted.push_back(nullptr);
    }
    return at->second;
  };
  const dcQsGroup_t* group = asGroup(selected);
  if (group)
    for (const dcSoftwareInfo_t* entry = group->softwareList.entries; entry; entry = entry->next)
      addName(entry);
  for (dcQsClient_t* client : countedClients(selected)) {
    for (const dcSoftwareInfo_t* entry = client->softwareList.entries; entry; entry = entry->next) {
      const std::size_t bar = addName(entry);
      if (lastCounted[bar] == client) continue;
      lastCounted[bar] = client;
      ++bars[bar].value;
    }
  }
  std::erase_if(bars, [](const dcChartBar_t& bar) { return bar.value == 0; });
  return ranked(std::move(bars), limit);
}

std::vector<dcChartBar_t> mostUsed(dcObject_t* selected, dcViewPeriod_t period, std::size_t limit) {
  const dcSoftwareUsageDocument_t* document = nullptr;
  if (dcQsClient_t* client = asClient(selected)) document = &client->usageDocument;
  if (dcQsGroup_t* group = asGroup(selected)) document = &group->usageDocument;
  if (!document) return {};
  dcViewList_t list;
  dcviews::usage(document, period, list);
  std::vector<dcChartBar_t> bars;
  bars.reserve(list.rows.size());
  // The minutes cell is "%7d min".
  for (auto& row : list.rows) bars.push_back({std::move(row[0]), std::strtoll(row[1].c_str(), nullptr, 10)});
  return ranked(std::move(bars), limit);
}

std::vector<dcChartBar_t> chartData(dcChartKind_t kind, dcObject_t* selected, const dcViewPeriod_t& period) {
  switch (kind) {
    case dcChartKind_t::WINDOWS_VERSIONS:
      return windowsVersions(selected);
    case dcChartKind_t::MOST_INSTALLED:
      return mostInstalled(selected);
    case dcChartKind_t::MOST_USED:
      return mostUsed(selected, period);
  }
  return {};
}

}  // namespace dccharts
