// One managed PC: its name and the four inventories its agent reported.
#pragma once

#include <string>

#include "dcHardwareList.h"
#include "dcObject.h"
#include "dcSoftwareList.h"
#include "dcSoftwareUsage.h"
#include "dcWindowsInfo.h"

// One inventory file read and parsed away from the loading thread
// (dcQsClient_t::prepareAssetData): the values of a hardware, Windows
// information or software file, or the usage of a usage file.
struct dcPreparedAssetData_t {
  dcInventoryValues_t values;
  dcSoftwareUsageDocument_t::Prepared usage;
};

class dcQsClient_t : public dcObject_t {
 public:
  static constexpr const char* CLASS_NAME = "dcQsClient_t";

  // Created by its group only; the name is fixed from then on. texts: the
  // group tree's text table for the inventories (each keeps its own without).
  explicit dcQsClient_t(const char* name, dcTextTable_t* texts = nullptr);
  ~dcQsClient_t();
  dcQsClient_t(const dcQsClient_t&) = delete;
  dcQsClient_t& operator=(const dcQsClient_t&) = delete;

  // Loads one inventory file, chosen by its data-type word (the file name
  // proper, e.g. "HardwareInfo.xml"). With pcName or dataType null the word
  // is taken from fileName itself: the latter of two blank-separated words.
  dcStatus_t LoadAssetDataFromFile(const char* fileName, const char* pcName, const char* dataType);
  // LoadAssetDataFromFile in two steps. prepareAssetData reads and parses
  // the file and touches nothing shared, so it may run on any thread;
  // applyAssetData does everything else on the loading thread, with the
  // same traces, results and errno.
  static dcPreparedAssetData_t prepareAssetData(const char* fileName, const char* pcName,
                                                const char* dataType);
  // prepareAssetData for the file name (as the folder's listing gives it)
  // in a folder held open, of the given data type: what prepareAssetData
  // makes of the path folder\name. The file is read through reader.
  static dcPreparedAssetData_t prepareAssetData(const winfs::Folder& folder, const char* name,
                                                const char* dataType, winfs::FileReader& reader);
  dcStatus_t applyAssetData(const char* fileName, const char* pcName, const char* dataType,
                            dcPreparedAssetData_t&& prepared);
  // Whether prepareAssetData reads a file of that data-type word.
  static bool readsDataType(const char* dataType);

  dcHardwareList_t hardwareList;
  dcWindowsInfo_t windowsInfo;
  dcSoftwareList_t softwareList;
  dcSoftwareUsage_t softwareUsage;  // kept empty
  dcSoftwareUsageDocument_t usageDocument;
};
