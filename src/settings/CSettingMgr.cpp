#include "CSettingMgr.h"

#include "cp949.h"
#include "dcPointerArray.h"
#include "dcXml.h"
#include "sys.h"
#include "winfs.h"

CSettingMgr* theSettingMgr = new CSettingMgr(CSettingMgr::DEFAULT_PATH);

CSettingMgr::CSettingMgr() = default;

bool CSettingMgr::isSiteFolder(const std::string& hostFolder) {
  return winfs::folderHoldsFile(hostFolder, SITE_RELATIVE_PATH);
}

CSettingMgr::CSettingMgr(const char* settingsPath) {
  if (settingsPath) sys::expandEnvironmentStrings(settingsPath, path, sizeof path);
  hostPath_ = winfs::hostPath(path);
  document = new dcXmlDocument_t();
  if (!document->load(path)) sys::outputDebugString("[CSettingMgr]parse xml files fails");
}

CSettingMgr::~CSettingMgr() { delete document; }

CSettingMgr* CSettingMgr::GetInstance() {
  if (!theSettingMgr) theSettingMgr = new CSettingMgr();
  return theSettingMgr;
}

// One walk over the whole tree in the order findFirst visits nodes (a node
// before its children, children before the following siblings), keeping the
// first node of every name. For a key without wildcard characters the first
// node of exactly that name is what findFirst returns.
void CSettingMgr::buildNameIndex() {
  indexed_ = true;
  if (!document || !document->root) return;
  dcPointerArray_t named(4);
  dcXmlHandle_t(document->root).findAll("*", &named);
  for (std::uint32_t i = 0; i < named.count; ++i) {
    auto* node = static_cast<dcXmlNode_t*>(named.get(i));
    firstByName_.emplace(std::string_view(node->name), node);
  }
}

static bool hasWildcards(const char* key) {
  for (const char* p = key; *p; ++p)
    if (*p == '*' || *p == '?' || *p == '[') return true;
  return false;
}

const char* CSettingMgr::GetValue(const char* key) {
  if (!key) return nullptr;
  if (auto known = answers_.find(std::string_view(key)); known != answers_.end()) return known->second;

  dcXmlNode_t* element = nullptr;
  if (document && document->root) {
    if (hasWildcards(key)) {
      element = dcXmlHandle_t(document->root).findFirst(key).node();
    } else {
      if (!indexed_) buildNameIndex();
      if (auto found = firstByName_.find(std::string_view(key)); found != firstByName_.end())
        element = found->second;
    }
  }

  const char* answer = nullptr;
  if (element) {
    answer = "";
    if (element->childCount > 0 && element->children && element->children[0] && element->children[0]->value)
      answer = element->children[0]->value;
  }
  answers_.emplace(key, answer);
  return answer;
}
