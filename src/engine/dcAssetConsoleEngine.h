// The console's engine: the commander engine with the inventory commands
// (filters for the loaders, listing priorities), the owner of the filter set
// and of the root of the group tree, and the scan of the data folder.
//
// One engine exists per process; every other part reaches it, its root
// group and its filters through theAssetConsoleEngine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dcAssetFilters.h"
#include "dcCommanderEngine.h"
#include "dcQsGroup.h"
#include "dcStatus.h"
#include "windowservices.h"

class dcAssetConsoleEngine_t;

// Progress of a data-folder scan, for a window that shows it. onFile is
// called once with 0 of the files found before the first file is handled,
// then after every entry of the search (loaded, skipped or rejected alike),
// so filesRead reaches filesFound at the end. It only reports: the scan's
// order and results do not depend on it.
struct dcDataLoadProgress_t {
  std::function<void(std::size_t filesRead, std::size_t filesFound)> onFile;
};

// A data file a scan hands to a client: its "<PC> <data type>" name in the
// scan's folder, which the scan holds open (its path as the disk spells
// it). Both belong to the scan and outlive its preparer.
struct dcDataFile_t {
  const winfs::Folder* folder;
  const char* name;
};

// Prepares a scan's data files (dcQsClient_t::prepareAssetData) ahead of
// the loading thread. Started with the list of files the scan will hand
// over, in order; next() returns their prepared data in that order, one
// call per file.
class dcFilePreparer_t {
 public:
  virtual ~dcFilePreparer_t() = default;
  virtual dcPreparedAssetData_t next() = 0;
};

class dcAssetConsoleEngine_t : public dcCommanderEngine_t {
 public:
  static constexpr const char* VERSION = "alpha0,20041121630";
  static constexpr const char* ROOT_START_NAME = "root";

  // hardwareListing and windowsInfoListing.
  static constexpr std::uint32_t LISTING_BY_PC = 2;
  static constexpr std::uint32_t LISTING_BY_ITEM = 1;     // hardware: by item
  static constexpr std::uint32_t LISTING_BY_VERSION = 1;  // Windows information: by version

  // Reads the group file into the engine's root before a scan; 0 or a status.
  using GroupLoader = dcStatus_t (*)(dcAssetConsoleEngine_t* engine);
  // Starts preparing the files of a scan; see dcFilePreparer_t.
  using PreparerStart = std::unique_ptr<dcFilePreparer_t> (*)(std::vector<dcDataFile_t> files);

  // The commander part with its built-in commands, an empty filter set, the
  // root group "root"; then theAssetConsoleEngine and the inventory commands.
  dcAssetConsoleEngine_t();
  // Clears theAssetConsoleEngine if it still designates this engine; the
  // root group with its whole tree goes, then the filter set.
  ~dcAssetConsoleEngine_t() override;

  // Reads and parses a data file as the client of its PC would
  // (dcQsClient_t::prepareAssetData), through reader; touches nothing shared.
  static dcPreparedAssetData_t prepareDataFile(const dcDataFile_t& file, winfs::FileReader& reader);
  // Whether prepareDataFile reads the file at all.
  static bool readsDataFile(const dcDataFile_t& file);

  // Appends the eighteen inventory commands after the built-in ones.
  dcStatus_t _ceNative_registerCommand();
  // Keeps the main window only: no script, no starting command (the
  // application runs "qsAssetConsole.ini" with loadIni itself).
  dcStatus_t initialize(winsvc::WindowHandle mainWindow) override;
  // Does nothing but trace.
  dcStatus_t deinitialize() override;

  // The data-folder scan: runs groupLoader when it is set, then hands every
  // "<PC> <data type>" file of folder\*.xml to the root's client of that PC.
  // With a preparer, the files of clients that exist are listed first and
  // read and parsed by it; results, traces and progress are the same.
  // folder has no trailing backslash. Always 1. A group file that ends too
  // early raises dcArchiveException_t out of groupLoader, which ends the scan.
  std::uint32_t Test_loadfromFile(const char* folder);
  std::uint32_t Test_loadfromFile(const char* folder, const dcDataLoadProgress_t* progress);

  // --- fields after the commander's, in this order -------------------------
  dcAssetFilters_t filters;
  dcQsGroup_t root;
  GroupLoader groupLoader = nullptr;
  PreparerStart preparer = nullptr;
  std::uint32_t hardwareListing = LISTING_BY_PC;
  std::uint32_t windowsInfoListing = LISTING_BY_PC;
};

// The engine of the console, or nullptr.
extern dcAssetConsoleEngine_t* theAssetConsoleEngine;
