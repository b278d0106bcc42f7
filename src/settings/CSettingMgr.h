// The site settings: one XML file read at start-up, answering lookups by
// key (the name of an element in the file).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class dcXmlDocument_t;
struct dcXmlNode_t;

class CSettingMgr {
 public:
  static constexpr std::size_t PATH_SIZE = 260;
  // Where the console reads its settings from.
  static constexpr const char* DEFAULT_PATH = "C:\\qss\\qslook.xml";
  // The same file within the folder of drive C:.
  static constexpr const char* SITE_RELATIVE_PATH = DEFAULT_PATH + 3;

  // True when hostFolder can be drive C:: it holds the settings file.
  static bool isSiteFolder(const std::string& hostFolder);

  // A manager without a document: every lookup yields none.
  CSettingMgr();
  // Reads the settings file at path (environment references expanded). A
  // file that cannot be read leaves an empty document and reports
  // "[CSettingMgr]parse xml files fails" on the debugger output.
  explicit CSettingMgr(const char* path);
  ~CSettingMgr();
  CSettingMgr(const CSettingMgr&) = delete;
  CSettingMgr& operator=(const CSettingMgr&) = delete;

  // The manager theSettingMgr designates; one without a document is made
  // (and kept) when there is none.
  static CSettingMgr* GetInstance();

  // The text of the first element (depth-first, document order) whose name
  // matches key: nullptr when none does, "" when that element has no
  // content, else the value of its first child whatever its kind. The text
  // stays valid as long as the manager.
  const char* GetValue(const char* key);

  // The file on this machine that path named when the manager read it.
  const std::string& hostPath() const { return hostPath_; }

  dcXmlDocument_t* document = nullptr;
  char path[PATH_SIZE] = {};

 private:
  struct KeyHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  void buildNameIndex();

  // The document never changes after construction, so each key's answer is
  // kept once found.
  std::unordered_map<std::string, const char*, KeyHash, std::equal_to<>> answers_;
  // First node, in the order findFirst walks, for every exact name.
  std::unordered_map<std::string_view, dcXmlNode_t*> firstByName_;
  bool indexed_ = false;
  std::string hostPath_;
};

// The manager of the run: created during static initialisation with
// CSettingMgr::DEFAULT_PATH and never destroyed.
extern CSettingMgr* theSettingMgr;

// Installs another manager as theSettingMgr for the object's lifetime and
// puts the previous one back afterwards (for tests and tools that read a
// settings file of their own).
class CSettingMgrOverride {
 public:
  explicit CSettingMgrOverride(CSettingMgr* manager) : previous_(theSettingMgr) { theSettingMgr = manager; }
  ~CSettingMgrOverride() { theSettingMgr = previous_; }
  CSettingMgrOverride(const CSettingMgrOverride&) = delete;
  CSettingMgrOverride& operator=(const CSettingMgrOverride&) = delete;

 private:
  CSettingMgr* previous_;
};
