// The load path: group file, data folder, hierarchy listing and gathering.
//
// Usage, the same in the console window and the headless console:
//
//   dcAssetConsoleEngine_t engine;            // registers its commands
//   engine.interpret(commandLine);            // non-zero: stop
//   engine.initialize(mainWindow);            // nullptr without a window
//   engine.loadIni("qsAssetConsole.ini");
//   try {
//     dcDataLoadProgress_t progress{[](size_t read, size_t found) { ... }};
//     runDataLoad(&engine, &progress);        // or runDataLoad(&engine)
//   } catch (const dcArchiveException_t& e) {
//     // the group file ends too early: report e.what(); groups and clients
//     // read before the error stay in engine.root, nothing was gathered
//   }
//
// The settings come from theSettingMgr ("logdata": the data folder,
// "qssgrp": the group file); both go through the path rule of
// buildDataPath, so they always name something under "C:\QSS\".
#pragma once

#include <cstddef>
#include <cstdint>

#include "archive.h"
#include "dcAssetConsoleEngine.h"
#include "dcStatus.h"

// Size of the paths the load path builds (259 characters and a zero).
constexpr std::size_t DATA_PATH_SIZE = 260;

// The data load command, in this order: clear the root group; install
// loadGroupFile as the engine's group loader and the parse stage
// (dcParseStage_t) as its preparer; build the data folder from the
// setting "logdata"; engine->Test_loadfromFile(folder) (which reads the group
// file first); write "qsHierarchy.log" in the current folder; gather on the
// root. 201 without an engine (nothing changed), else 0. progress, when
// given, hears about every data file. dcArchiveException_t from a truncated
// group file propagates: the scan, listing and gathering are then not done.
dcStatus_t runDataLoad(dcAssetConsoleEngine_t* engine, const dcDataLoadProgress_t* progress = nullptr);

// The group loader that runDataLoad installs: renames the root to
// "전체 그룹" (all groups), builds the group file's path from the setting
// "qssgrp" and reads it. 203 for a null engine, else 0 (whatever the read
// gave).
dcStatus_t loadGroupFile(dcAssetConsoleEngine_t* engine);

// Reads the group file at path (a core path) into the root of
// theAssetConsoleEngine. 1 when the file cannot be opened (or there is no
// engine), else 0. Raises dcArchiveException_t when the file ends before its
// counts say; what was added before stays.
std::uint32_t readGroupFile(const char* path);

// 1 when the file opens and its first text is "!!QSDATFILE!!" in any case.
std::uint32_t isCurrentGroupFile(const char* path);

// The path rule: environment references in value expanded (at most 259
// bytes), the part after the last backslash kept, "C:\QSS\%s" formatted
// into path (pathSize bytes, at least 260). A null value gives the folder
// "C:\QSS\" itself. 203 for a missing path, else 0.
dcStatus_t buildDataPath(const char* value, char* path, std::size_t pathSize);
