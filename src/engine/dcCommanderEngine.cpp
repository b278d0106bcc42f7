#include "dcCommanderEngine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "cp949.h"
#include "dcFileUtil.h"
#include "dcLog.h"
#include "process.h"
#include "sys.h"
#include "winfs.h"

dcCommanderEngine_t* theCommanderEngine = nullptr;

namespace {

using Token = dcCommandList_t::Token;

constexpr char HELP_FILE[] = "dcCommanderHelp.txt";
constexpr char ENGINE_SCRIPT[] = "dcCommander.ini";
// The longest interval a timer accepts.
constexpr std::int64_t MAX_INTERVAL_MS = 0x7FFFFFFF;
// The longest sleep: what fits the platform's milliseconds.
constexpr std::int32_t MAX_SLEEP_SECONDS = 4294967;

// The engine a handler works on: none when there is no engine or the
// handler was called without its list or line.
dcCommanderEngine_t* engineFor(dcCommandList_t* list, const char* line) {
  return (list && line) ? theCommanderEngine : nullptr;
}

void traceCall(dcCommanderEngine_t* engine, const char* handler, dcCommandList_t* list, const char* line) {
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::%s] instance=0x%x, pCommandLine=%s", handler,
                 dcTraceTag(list), line);
}

std::int32_t integerOrZero(const char* text) {
  std::int32_t value = 0;
  return dcCommandList_t::scanInteger(text, &value) ? value : 0;
}

// Starts a command line for "execute" and for events that start programs.
dcStatus_t startProgram(dcCommanderEngine_t* engine, const char* caller, const char* commandLine) {
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::%s] executing %s", caller, commandLine);
  if (proc::startDetached(commandLine)) return dcStatus::OK;
  theLog.pfWrite(engine, 0, "[dcCommanderEngine_t::%s] WinExec failed %d", caller, sys::lastError());
  return dcStatus::CANNOT_START;
}

dcStatus_t _cmd_accept(dcCommandList_t*, const char*) { return dcStatus::OK; }

dcStatus_t _cmd_nameThisApplication(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_nameThisApplication", list, line);
  Token words[4];
  if (list->readTokens(line, words, 4) != dcStatus::OK) return dcStatus::BAD_ARGUMENT;
  mb::copyBounded(engine->applicationName, words[3]);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_nameThisApplication] name this application %s.",
                 engine->applicationName);
  return dcStatus::OK;
}

dcStatus_t _cmd_hideProcess(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_hideProcess", list, line);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_hideProcess] Not implemented.");
  return dcStatus::OK;
}

dcStatus_t _cmd_enableUi(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_enableUi", list, line);
  engine->uiEnabled = 1;
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_enableUi] UI is enabled.");
  return dcStatus::OK;
}

dcStatus_t _cmd_disableUi(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_disableUi", list, line);
  engine->uiEnabled = 0;
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_disableUi] UI is disabled.");
  return dcStatus::OK;
}

dcStatus_t _cmd_exit(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_exit", list, line);
  winsvc::current().sendMessage(engine->window, winsvc::MESSAGE_CLOSE, 0, 0);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_exit] Exit signaled.");
  return dcStatus::OK;
}

dcStatus_t _cmd_help(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_help", list, line);
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openTextFile(HELP_FILE, "w"));
  if (!file) return dcStatus::FILE_ERROR;
  for (const dcCommandEntry_t* entry = list->first; entry; entry = entry->next) {
    std::fputs(entry->help, file.get());
    std::fputc('\n', file.get());
  }
  return dcStatus::OK;
}

dcStatus_t _cmd_sleep(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_sleep", list, line);
  Token words[2];
  if (const dcStatus_t result = list->readTokens(line, words, 2); result != dcStatus::OK) return result;
  const std::int32_t seconds = integerOrZero(words[1]);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_sleep] Sleeping %d sec.", seconds);
  // A negative count waits not at all.
  const std::int32_t bounded = std::clamp(seconds, 0, MAX_SLEEP_SECONDS);
  sys::sleepMilliseconds(static_cast<std::uint32_t>(bounded) * 1000u);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_sleep] --done.");
  return dcStatus::OK;
}

std::int64_t unitFactor(const char* unit) {
  if (std::strcmp(unit, "sec") == 0 || std::strcmp(unit, "second") == 0) return 1000;
  if (std::strcmp(unit, "min") == 0 || std::strcmp(unit, "minute") == 0) return 60000;
  if (std::strcmp(unit, "hour") == 0) return 3600000;
  return 1;
}

// "set timer event every N unit named NAME executing|interpreting TEXT".
dcStatus_t setTimerEvent(dcCommandList_t* list, const char* line, bool executing) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, executing ? "_cmd_setTimerEventExecuting" : "_cmd_setTimerEventInterpreting", list, line);
  Token words[10];
  if (const dcStatus_t result = list->readTokens(line, words, 10); result != dcStatus::OK) return result;

  const std::int64_t count = integerOrZero(words[4]);
  const std::int64_t factor = executing ? 1000 : unitFactor(words[5]);
  // A negative count gives a timer that ticks as often as it can.
  const std::int64_t interval = std::clamp<std::int64_t>(count * factor, 0, MAX_INTERVAL_MS);

  dcTimerTrigger_t trigger;
  trigger.kind = dcTimerTrigger_t::TIMER;
  trigger.timerId = engine->nextTimerId++;
  trigger.intervalMs = static_cast<std::uint32_t>(interval);
  dcTimerAction_t action;
  action.kind = executing ? dcTimerAction_t::EXECUTE : dcTimerAction_t::INTERPRET;
  mb::copyBounded(action.text, words[9]);

  dcTimerEvent_t* event = engine->addTimerEvent(words[7], &trigger, &action);
  if (!event) return dcStatus::EVENT_FAILED;
  if (!winsvc::current().setTimer(engine->window, event->trigger.timerId, event->trigger.intervalMs)) {
    theLog.pfWrite(engine, 0, "[dcCommanderEngine_t::_cmd_setTimerEventExecuting] SetTimer failed %d",
                   sys::lastError());
    return dcStatus::TIMER_FAILED;
  }
  event->trigger.active = 1;
  return dcStatus::OK;
}

dcStatus_t _cmd_setTimerEventExecuting(dcCommandList_t* list, const char* line) {
  return setTimerEvent(list, line, true);
}

dcStatus_t _cmd_setTimerEventInterpreting(dcCommandList_t* list, const char* line) {
  return setTimerEvent(list, line, false);
}

dcStatus_t _cmd_doEvent(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_doEvent", list, line);
  Token words[3];
  if (const dcStatus_t result = list->readTokens(line, words, 3); result != dcStatus::OK) return result;
  return engine->doEvent(words[2]);
}

dcStatus_t _cmd_execute(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_execute", list, line);
  Token words[2];
  if (const dcStatus_t result = list->readTokens(line, words, 2); result != dcStatus::OK) return result;
  return startProgram(engine, "_cmd_execute", words[1]);
}

dcStatus_t _cmd_deleteFiles(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_deleteFiles", list, line);
  Token words[2];
  if (const dcStatus_t result = list->readTokens(line, words, 2); result != dcStatus::OK) return result;

  // A list of one path, ended by two zeros.
  char files[dcCommandList_t::TOKEN_SIZE + 1] = {};
  mb::copyBounded(files, dcCommandList_t::TOKEN_SIZE, words[1]);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_deleteFiles] deleting %s", files);
  const dcStatus_t result = fuDeleteFiles(engine->window, files, engine->applicationName);
  if (result != dcStatus::OK) {
    theLog.pfWrite(engine, 0, "[dcCommanderEngine_t::_cmd_deleteFiles] fuDeleteFiles failed %d",
                   static_cast<int>(result));
  }
  return result;
}

dcStatus_t _cmd_sendWindowMessage(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_sendWindowMessage", list, line);
  Token words[9];
  if (const dcStatus_t result = list->readTokens(line, words, 9); result != dcStatus::OK) return result;

  // The class word "NULL" stands for any class.
  const char* className = std::strcmp(words[7], "NULL") == 0 ? nullptr : words[7];
  const winsvc::WindowHandle target = winsvc::current().findWindow(className, words[8]);
  if (!target) return dcStatus::NOT_FOUND;

  std::int32_t message = 0;
  std::int32_t firstParam = 0;
  std::int32_t secondParam = 0;
  if (!dcCommandList_t::scanInteger(words[3], &message) ||
      !dcCommandList_t::scanInteger(words[4], &firstParam) ||
      !dcCommandList_t::scanInteger(words[5], &secondParam))
    return dcStatus::BAD_ARGUMENT;

  theLog.pfWrite(engine, 1,
                 "[dcCommanderEngine_t::_cmd_sendWindowMessage] Sending message %d %d %d to %s %s...",
                 message, firstParam, secondParam, words[7], words[8]);
  const std::intptr_t answer =
      winsvc::current().sendMessage(target, static_cast<std::uint32_t>(message), firstParam, secondParam);
  theLog.pfWrite(engine, 1, "[dcCommanderEngine_t::_cmd_execute] SendMessage returned %d",
                 static_cast<int>(answer));
  return dcStatus::OK;
}

dcStatus_t _cmd_interpretOnEngineStart(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_interpretOnEngineStart", list, line);
  Token words[5];
  if (const dcStatus_t result = list->readTokens(line, words, 5); result != dcStatus::OK) return result;
  mb::copyBounded(engine->startingCommand, words[4]);
  return dcStatus::OK;
}

dcStatus_t _cmd_interpretOnEngineClose(dcCommandList_t* list, const char* line) {
  dcCommanderEngine_t* engine = engineFor(list, line);
  if (!engine) return dcStatus::MISSING_OBJECT;
  traceCall(engine, "_cmd_interpretOnEngineClose", list, line);
  Token words[5];
  if (const dcStatus_t result = list->readTokens(line, words, 5); result != dcStatus::OK) return result;
  mb::copyBounded(engine->closingCommand, words[4]);
  return dcStatus::OK;
}

struct BuiltInCommand {
  const char* pattern;
  const char* help;
  dcCommandHandler_t handler;
};

// In registration order; the empty pattern first, so that an empty line is
// accepted.
constexpr BuiltInCommand BUILT_IN_COMMANDS[] = {
    {"", "", _cmd_accept},
    {"name this application _string", "[command] name this application $appName", _cmd_nameThisApplication},
    {"hide process", "[command] hide process", _cmd_hideProcess},
    {"enable ui", "[command] enable ui", _cmd_enableUi},
    {"disable ui", "[command] disable ui", _cmd_disableUi},
    {"exit", "[command] exit : exit dcCommander", _cmd_exit},
    {"help", "[command] help", _cmd_help},
    {"sleep _integer", "[command] sleep $sec", _cmd_sleep},
    {"set timer event every _integer _string named _string executing _string",
     "[command] set timer event every $sec sec named $eventName executing $exeName",
     _cmd_setTimerEventExecuting},
    {"set timer event every _integer _string named _string interpreting _string",
     "[command] set timer event every $sec sec named $eventName interpreting $command",
     _cmd_setTimerEventInterpreting},
    {"do event _string", "[command] do event $eventName", _cmd_doEvent},
    {"execute _string", "[command] execute $exeName", _cmd_execute},
    {"delete _string", "[command] delete $fileSpec", _cmd_deleteFiles},
    {"send window message _integer _integer _integer to _string _string",
     "[command] send window message $message $wParam $lParam to $className $windowTitle",
     _cmd_sendWindowMessage},
    {"interpret on engine start _string", "[command] interpret on engine start $command",
     _cmd_interpretOnEngineStart},
    {"interpret on engine close _string", "[command] interpret on engine close $command",
     _cmd_interpretOnEngineClose},
};

}  // namespace

void dcTimerAction_t::setOperation(dcEventOperation_t op) { std::memcpy(text, &op, sizeof op); }

dcEventOperation_t dcTimerAction_t::operation() const {
  dcEventOperation_t op = nullptr;
  std::memcpy(&op, text, sizeof op);
  return op;
}

dcCommanderEngine_t::dcCommanderEngine_t() {
  theCommanderEngine = this;
  mb::copyBounded(applicationName, "dcCommanderEngine_t");
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::dcCommanderEngine_t] Starting...");
  registerCommands();
}

dcCommanderEngine_t::~dcCommanderEngine_t() {
  stopTimerEvents();
  if (theCommanderEngine == this) theCommanderEngine = nullptr;
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::~dcCommanderEngine_t] Closed.");
}

dcStatus_t dcCommanderEngine_t::registerCommands() {
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::registerCommands]");
  status = dcStatus::OK;
  for (const BuiltInCommand& command : BUILT_IN_COMMANDS) {
    const dcStatus_t result = commands.addCommand(command.handler, command.pattern, command.help);
    if (result != dcStatus::OK && status == dcStatus::OK) status = result;
  }
  return status;
}

dcStatus_t dcCommanderEngine_t::loadIni(const char* path) {
  if (!path) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::loadIni] fileName=%s", path);
  std::unique_ptr<std::FILE, winfs::FileCloser> file(winfs::openFile(path, "r"));
  if (!file) return status = dcStatus::FILE_ERROR;

  char line[SCRIPT_LINE_SIZE];
  for (;;) {
    line[0] = '\0';
    const dcStatus_t read = readLine(file.get(), line, sizeof line);
    if (read != dcStatus::OK && read != dcStatus::END_OF_FILE) break;
    theLog.pfWrite(this, 1, "[dcCommanderEngine_t::loadIni] Parsing '%s'", line);
    commands.dispatch(line);
    if (read == dcStatus::END_OF_FILE) break;
  }
  return status = dcStatus::OK;
}

dcStatus_t dcCommanderEngine_t::initialize(winsvc::WindowHandle mainWindow) {
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::initialize] initializing...");
  window = mainWindow;
  const dcStatus_t result = loadIni(ENGINE_SCRIPT);
  interpret(startingCommand);
  return status = result;
}

dcStatus_t dcCommanderEngine_t::deinitialize() {
  stopTimerEvents();
  interpret(closingCommand);
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::initialize] deinitialized.");
  return status = dcStatus::OK;
}

dcStatus_t dcCommanderEngine_t::interpret(const char* line) {
  if (!line) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::interpret] Parsing '%s'", line);
  // dispatch removes a repeat count in place; the caller's text (an event's
  // action, the starting command) stays as it was. A text longer than the
  // copy is longer than any command line, so it fits nothing either way.
  char copy[COMMAND_SIZE];
  mb::copyBounded(copy, line);
  return commands.dispatch(copy);
}

dcStatus_t dcCommanderEngine_t::react(dcTimerEvent_t* event) {
  if (!event) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::react] event=0x%x, name=%s", dcTraceTag(event), event->name);
  switch (event->action.kind) {
    case dcTimerAction_t::INTERPRET:
      return status = interpret(event->action.text);
    case dcTimerAction_t::EXECUTE:
      return status = startProgram(this, "react", event->action.text);
    case dcTimerAction_t::CALL: {
      const dcEventOperation_t operation = event->action.operation();
      if (!operation) return status = dcStatus::NULL_ARGUMENT;
      return status = operation(this, event);
    }
    default:
      return status = dcStatus::NOT_FOUND;
  }
}

dcStatus_t dcCommanderEngine_t::doEvent(const char* name) {
  if (!name) return status = dcStatus::NULL_ARGUMENT;
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::doEvent] name=%s", name);
  for (dcTimerEvent_t* event = events; event; event = event->next)
    if (std::strcmp(event->name, name) == 0) return react(event);
  return status = dcStatus::OK;
}

dcTimerEvent_t* dcCommanderEngine_t::addTimerEvent(const char* name, const dcTimerTrigger_t* trigger,
                                                   const dcTimerAction_t* action) {
  if (!name || !trigger || !action) {
    status = dcStatus::NULL_ARGUMENT;
    return nullptr;
  }
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::addTimerEvent] name=%s", name);
  auto* event = new (std::nothrow) dcTimerEvent_t;
  if (!event) {
    status = dcStatus::NO_MEMORY;
    return nullptr;
  }
  event->number = nextEventNumber++;
  mb::copyBounded(event->name, name);
  event->trigger = *trigger;
  event->action.kind = action->kind;
  std::memcpy(event->action.text, action->text, sizeof event->action.text);
  event->action.text[sizeof event->action.text - 1] = '\0';

  dcTimerEvent_t** link = &events;
  while (*link) link = &(*link)->next;
  *link = event;
  status = dcStatus::OK;
  return event;
}

dcStatus_t dcCommanderEngine_t::stopTimerEvents() {
  theLog.pfWrite(this, 1, "[dcCommanderEngine_t::stopTimerEvents]");
  while (events) {
    dcTimerEvent_t* event = events;
    if (event->trigger.kind == dcTimerTrigger_t::TIMER && event->trigger.active != 0) {
      winsvc::current().killTimer(window, event->trigger.timerId);
      event->trigger.active = 0;
    }
    events = event->next;
    delete event;
  }
  return status = dcStatus::OK;
}

dcStatus_t fuDeleteFiles(winsvc::WindowHandle owner, const char* list, const char* title) {
  if (!list) return dcStatus::NULL_ARGUMENT;
  int firstError = 0;
  for (const char* entry = list; *entry != '\0'; entry += std::strlen(entry) + 1) {
    const int error = proc::deleteFiles(entry);
    if (error != 0 && firstError == 0) firstError = error;
  }
  return static_cast<dcStatus_t>(firstError);
}
