// A folder for data files and a settings file installed as the console's
// settings while the site exists; usage set as if read from a file.
#pragma once

#include "CSettingMgr.h"
#include "dcSoftwareUsage.h"
#include "dcXml.h"
#include "testutil.h"

class InventorySite {
 public:
  explicit InventorySite(std::string_view settingsXml) {
    settings_ = std::make_unique<CSettingMgr>(write("qslook.xml", settingsXml).c_str());
    use_.emplace(settings_.get());
  }

  std::string write(const std::string& name, std::string_view content) {
    testutil::writeFile(dir_.path() / name, content);
    return (dir_.path() / name).string();
  }
  std::string path(const std::string& name) const { return (dir_.path() / name).string(); }

 private:
  testutil::TempDir dir_;
  std::unique_ptr<CSettingMgr> settings_;
  std::optional<CSettingMgrOverride> use_;
};

// Merges "<softwareusage>units</softwareusage>" into a document, as a
// gathering merges a client's file.
inline void setUsage(dcSoftwareUsageDocument_t& usage, const std::string& units) {
  const std::string text = "<softwareusage>" + units + "</softwareusage>";
  dcXmlDocument_t doc;
  doc.loadText(text.c_str(), text.size());
  usage.merge(dcXmlHandle_t(doc.root));
}
