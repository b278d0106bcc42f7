// The commander engine: a command interpreter an application embeds to be
// scripted from outside. It runs scripts and single command lines, keeps
// named events, and knows a fixed set of built-in commands (name the
// application, close the main window, sleep, start a program, delete files,
// send a window message, write a help file). An application's own engine
// derives from it and appends its commands after the built-in ones.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dcCommandList.h"
#include "dcStatus.h"
#include "windowservices.h"

class dcCommanderEngine_t;
struct dcTimerEvent_t;

struct dcTimerTrigger_t {
  static constexpr std::uint32_t TIMER = 1;

  std::uint32_t kind = 0;
  std::uint32_t timerId = 0;
  std::uint32_t intervalMs = 0;
  std::uint32_t active = 0;  // 1 once the timer was started
};

// An operation an event of kind CALL runs; its address is kept at the start
// of the action's text (setOperation / operation).
using dcEventOperation_t = dcStatus_t (*)(dcCommanderEngine_t* engine, dcTimerEvent_t* event);

struct dcTimerAction_t {
  static constexpr std::uint32_t INTERPRET = 0;
  static constexpr std::uint32_t CALL = 1;
  static constexpr std::uint32_t EXECUTE = 2;
  static constexpr std::size_t TEXT_SIZE = 1024;

  std::uint32_t kind = INTERPRET;
  char text[TEXT_SIZE] = {};

  void setOperation(dcEventOperation_t operation);
  dcEventOperation_t operation() const;
};

struct dcTimerEvent_t {
  static constexpr std::size_t NAME_SIZE = 256;

  std::uint32_t number = 0;
  char name[NAME_SIZE] = {};
  dcTimerTrigger_t trigger;
  dcTimerAction_t action;
  dcTimerEvent_t* next = nullptr;
};

class dcCommanderEngine_t {
 public:
  static constexpr std::size_t NAME_SIZE = 256;
  static constexpr std::size_t COMMAND_SIZE = 1024;
  static constexpr std::size_t SCRIPT_LINE_SIZE = 1024;

  // Sets theCommanderEngine and registers the built-in commands.
  dcCommanderEngine_t();
  // Stops the timers, frees the events, clears theCommanderEngine if it
  // still designates this engine.
  virtual ~dcCommanderEngine_t();
  dcCommanderEngine_t(const dcCommanderEngine_t&) = delete;
  dcCommanderEngine_t& operator=(const dcCommanderEngine_t&) = delete;

  // Appends the built-in commands to `commands`.
  virtual dcStatus_t registerCommands();
  // Runs a script: every line, the last one without a line end included, is
  // dispatched; lines that fit nothing are skipped. 203, 401 or 0.
  virtual dcStatus_t loadIni(const char* path);
  // Keeps the main window, runs "dcCommander.ini" and startingCommand;
  // returns the script's result.
  virtual dcStatus_t initialize(winsvc::WindowHandle mainWindow);
  // Frees the events and interprets closingCommand.
  virtual dcStatus_t deinitialize();

  // Dispatches one command line (copied first; the caller's text is left
  // as it is). 203 for a missing line.
  dcStatus_t interpret(const char* line);
  // Runs an event's action: interpret, call or start a program.
  dcStatus_t react(dcTimerEvent_t* event);
  // react on the first event named name; 0 when none has that name.
  dcStatus_t doEvent(const char* name);
  // Appends an event with copies of the three; nullptr with status 203 or 512.
  dcTimerEvent_t* addTimerEvent(const char* name, const dcTimerTrigger_t* trigger,
                                const dcTimerAction_t* action);
  // Stops every started timer and frees every event.
  dcStatus_t stopTimerEvents();

  dcStatus_t status = dcStatus::OK;
  char applicationName[NAME_SIZE] = {};
  winsvc::WindowHandle window = nullptr;
  std::uint32_t uiEnabled = 1;
  dcCommandList_t commands;
  std::uint32_t nextEventNumber = 0;
  std::uint32_t nextTimerId = 0;
  dcTimerEvent_t* events = nullptr;
  char startingCommand[COMMAND_SIZE] = {};
  char closingCommand[COMMAND_SIZE] = {};
};

// The engine of the process, or nullptr.
extern dcCommanderEngine_t* theCommanderEngine;

// Deletes every file that the entries of list name (entries ended by a zero,
// the list by a second zero; wildcards allowed in the last component),
// silently. owner and title name the window and title of a progress display,
// which this console never shows. 0, or the system's error code.
dcStatus_t fuDeleteFiles(winsvc::WindowHandle owner, const char* list, const char* title);
