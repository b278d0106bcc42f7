#include "dcSoftwareUsage.h"
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

#include "cp949.h"
#include "dcLog.h"
#include "dcProbeTable.h"
#include "dcXmlParser.h"
#include "winfs.h"

namespace dcusage {

constexpr const char* CLOSING_TAG = "</softwareusage>";
constexpr const char* ROOT_NAME = "softwareusage";
constexpr const char* UNIT_NAME = "unit";
constexpr const char* PROGRAM_NAME = "progname";
constexpr const char* DAY_NAME = "date";
constexpr const char* TICK_NAME = "tick";
constexpr const char* DECLARATION_NAME = "xml";
constexpr std::uint32_t NONE = UINT32_MAX;

struct TreeDeleter {
  void operator()(dcXmlNode_t* node) const { xmlFreeTree(node); }
};
// A document node with its tree, owned.
using Tree = std::unique_ptr<dcXmlNode_t, TreeDeleter>;

Tree newTree() {
  Tree top(xmlNewNode(XN_DOCUMENT));
  if (top) top->parent = top.get();
  return top;
}

// A node named exactly name: what xmlNameMatch answers for a name without
// wildcard characters.
bool isNamed(const dcXmlNode_t* node, const char* name) {
  return node->name && std::strcmp(node->name, name) == 0;
}

bool hasWildcards(const char* pattern) { return std::strpbrk(pattern, "*?[") != nullptr; }

dcXmlNode_t* childAt(const dcXmlNode_t* node, std::uint32_t i) {
  return (node && node->children && i < node->childCount) ? node->children[i] : nullptr;
}

// The value of a node's first child, or "" (no child, an empty one, no value).
const char* firstChildValue(const dcXmlNode_t* node) {
  const dcXmlNode_t* child = childAt(node, 0);
  return (child && child->kind != XN_NONE && child->value) ? child->value : "";
}

const char* firstAttributeValue(const dcXmlNode_t* node) {
  if (node->attributeCount == 0 || !node->attributes || !node->attributes[0] || !node->attributes[0]->value)
    return "";
  return node->attributes[0]->value;
}

std::int32_t clampToInt32(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// A decimal integer as the agents write ticks: leading blanks and a sign
// allowed, reading stops at the first other character, no digits count 0.
// Counts are 32-bit: a text beyond that reads as the nearest limit.
std::int32_t readTicks(const char* text) {
  const char* p = text;
  while (mb::isAsciiSpace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::int64_t value = 0;
  for (; mb::isAsciiDigit(static_cast<unsigned char>(*p)); ++p)
    if (value < (std::int64_t{1} << 40)) value = value * 10 + (*p - '0');
  return clampToInt32(negative ? -value : value);
}

// A tick count as "%d" writes it.
struct TickText {
  explicit TickText(std::int32_t count) { *std::to_chars(text, text + sizeof text - 1, count).ptr = '\0'; }
  char text[16] = {};
};

// A tick text exactly as "%d" writes its count: the count, or false. Like
// "%d", from_chars takes no plus sign or blank; "%d" also writes no leading
// zero and no "-0".
bool readCanonicalTicks(const char* text, std::int32_t& count) {
  const char* end = text + std::strlen(text);
  const char* digits = text + (*text == '-');
  const auto [at, error] = std::from_chars(text, end, count);
  return error == std::errc() && at == end && (*digits != '0' || (digits == text && end == text + 1));
}

void addSummaryLine(std::vector<dcUsageSummaryLine_t>& lines, const char* name, std::int64_t total) {
  if (total <= 0) return;
  char minutes[32];
  std::snprintf(minutes, sizeof minutes, "%7lld min", static_cast<long long>(total * 3));
  lines.push_back({name, minutes});
}

// ---------------------------------------------------------------------------
// Trees, searched and changed as the agents' layout is described: any
// names, any depth, first matches in document order.

// Every node below top, a node before its children (the order of findAll).
template <class F>
void forEachDescendant(dcXmlNode_t* top, F&& visit) {
  if (!top) return;
  std::vector<std::pair<dcXmlNode_t*, std::uint32_t>> stack{{top, 0}};
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    dcXmlNode_t* child = childAt(node, next);
    if (next++ >= node->childCount) {
      stack.pop_back();
      continue;
    }
    if (!child) continue;
    visit(child);
    if (child->childCount > 0 && child->children) stack.emplace_back(child, 0);
  }
}

// The element called `name` under parent with a child whose value matches
// the pattern text: a node called `name` is looked at and not entered, any
// other node with children is entered. nullptr when there is none.
dcXmlNode_t* nameTextSearch(dcXmlNode_t* parent, const char* name, const char* text) {
  std::vector<std::pair<dcXmlNode_t*, std::uint32_t>> stack{{parent, 0}};
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    dcXmlNode_t* child = childAt(node, next);
    if (next++ >= node->childCount) {
      stack.pop_back();
      continue;
    }
    if (!child) continue;
    if (isNamed(child, name)) {
      for (std::uint32_t i = 0; i < child->childCount; ++i)
        if (const dcXmlNode_t* c = childAt(child, i); c && c->value && xmlNameMatch(text, c->value))
          return child;
    } else if (child->childCount > 0 && child->children) {
      stack.emplace_back(child, 0);
    }
  }
  return nullptr;
}

// The days of a program element: its parent's first element (or processing
// instruction) called "date", then every later child called "date".
template <class F>
void forEachDayOf(dcXmlNode_t* program, F&& onDay) {
  dcXmlNode_t* parent = program->parent;
  if (!parent || parent == program || !parent->children) return;
  const std::uint32_t count = parent->childCount;
  std::int64_t at = -1;
  for (std::uint32_t i = 0; i < count; ++i) {
    dcXmlNode_t* c = childAt(parent, i);
    if (c && (c->kind == XN_ELEMENT || c->kind == XN_PI) && isNamed(c, DAY_NAME)) {
      onDay(c);
      at = i;
      break;
    }
  }
  if (at < 0) {
    for (std::uint32_t i = 0; i < count && at < 0; ++i)
      if (childAt(parent, i) == program) at = i;
    if (at < 0) return;
  }
  for (std::uint32_t i = static_cast<std::uint32_t>(at) + 1; i < count; ++i) {
    dcXmlNode_t* c = childAt(parent, i);
    if (c && isNamed(c, DAY_NAME)) onDay(c);
  }
}

// Every "progname" element below top, in document order.
std::vector<dcXmlNode_t*> programsOf(dcXmlNode_t* top) {
  std::vector<dcXmlNode_t*> programs;
  forEachDescendant(top, [&](dcXmlNode_t* n) {
    if (isNamed(n, PROGRAM_NAME)) programs.push_back(n);
  });
  return programs;
}

dcXmlNode_t* documentNodeOf(dcXmlNode_t* node) {
  while (node && node->parent && node->parent != node) node = node->parent;
  return node;
}

// Appends <date tick="ticks">day</date> to unit.
void appendDay(dcXmlHandle_t unit, const char* day, const char* ticks) {
  dcXmlHandle_t date = unit.appendChild(XN_ELEMENT);
  date.setName(DAY_NAME);
  date.appendAttribute(TICK_NAME, ticks);
  date.appendChild(XN_TEXT).setValue(day);
}

// Appends <unit><progname>name</progname></unit> to parent, the name a node
// of kind nameKind; the new unit.
dcXmlHandle_t appendUnit(dcXmlHandle_t parent, const char* name, std::int32_t nameKind) {
  dcXmlHandle_t unit = parent.appendChild(XN_ELEMENT);
  unit.setName(UNIT_NAME);
  dcXmlHandle_t program = unit.appendChild(XN_ELEMENT);
  program.setName(PROGRAM_NAME);
  program.appendChild(nameKind).setValue(name);
  return unit;
}

// One program-day added to the tree under root: ticks added to the first
// matching day of the first matching program, or the day appended to that
// program's parent, or a new unit appended to the document node.
void mergeIntoTree(dcXmlNode_t* root, const char* progName, const char* day, const char* ticks) {
  dcXmlNode_t* program = nameTextSearch(root, PROGRAM_NAME, progName);
  if (!program) {
    appendDay(appendUnit(dcXmlHandle_t(documentNodeOf(root)), progName, XN_CDATA), day, ticks);
    return;
  }
  dcXmlNode_t* date = nameTextSearch(program->parent, DAY_NAME, day);
  if (!date) {
    appendDay(dcXmlHandle_t(program->parent), day, ticks);
    return;
  }
  // A date element without attributes is left as it is.
  if (date->attributeCount == 0 || !date->attributes || !date->attributes[0]) return;
  dcXmlAttribute_t* tick = date->attributes[0];
  const std::int64_t sum = std::int64_t{readTicks(tick->value ? tick->value : "")} + readTicks(ticks);
  dcXmlAttrHandle_t(tick).setValue(TickText(clampToInt32(sum)).text);
}

void summarizeTree(dcXmlNode_t* root, const char* firstDay, const char* lastDay,
                   std::vector<dcUsageSummaryLine_t>& lines) {
  for (dcXmlNode_t* program : programsOf(root)) {
    std::int64_t total = 0;
    forEachDayOf(program, [&](dcXmlNode_t* day) {
      const char* text = firstChildValue(day);
      if (mb::compareNoCase(text, firstDay) >= 0 && mb::compareNoCase(text, lastDay) <= 0)
        total += readTicks(firstAttributeValue(day));
    });
    addSummaryLine(lines, firstChildValue(program), total);
  }
}

// ---------------------------------------------------------------------------
// The agents' layout as numbers.

// An incoming program name across the days of one incoming program. A name
// without wildcard characters finds the same first program for all its days
// (programs are only ever appended), so it is looked up once.
struct Cursor {
  explicit Cursor(const char* programName) : name(programName), plain(!hasWildcards(programName)) {}
  const char* name;
  bool plain;
  std::uint32_t program = NONE;
};

// An incoming day text: whether it holds wildcard characters is seen once,
// and its number in the table, once known, is kept for the next program
// that has the same day.
struct DayKey {
  explicit DayKey(const char* dayText) : text(dayText), plain(!hasWildcards(dayText)) {}
  const char* text;
  bool plain;
  std::uint32_t id = NONE;
};

// The tree a table stands for: the document node holding an optional
// declaration, then an optional "softwareusage" element holding the first
// rootPrograms programs, then the other programs, each
//   <unit><progname>name</progname><date tick="ticks">day</date>...</unit>
// with the name a text or CDATA node, each day a text node and each tick
// count as "%d" writes it. Every search of the tree answers the same from
// the table: programs in order, days in order under their program.
class UsageTable {
 public:
  struct Day {
    std::uint32_t text = NONE;  // day number
    std::int32_t ticks = 0;
  };
  struct Program {
    std::uint32_t name = 0;  // offset in texts
    bool cdata = false;
    std::vector<Day> days;
  };

  // Reads the children of top when they are such a tree; false otherwise.
  bool read(const dcXmlNode_t* top);
  // The steps of read, in document order, for a reader that meets the
  // parts one by one: the declaration's name, then each attribute; a
  // program's name; each of its days (false when the tick text is not what
  // "%d" writes, or without memory); the program once its days are read;
  // the end of the "softwareusage" element; the end of the document.
  // Nothing but the end may follow a false step.
  void addDeclaration(const char* name);
  void addDeclarationAttribute(const char* name, const char* value);
  bool startProgram(const char* name, bool cdata, Program& program);
  bool readDay(const char* ticks, const char* day, Day& entry);
  void addProgram(Program&& program) { programs_.push_back(std::move(program)); }
  void endRootElement();
  void endReading() { releaseIndexes(); }  // a loaded document is rarely merged into
  void releaseIndexes() { index_.built.reset(); }
  Tree build() const;
  // Adds ticks to the first day matching `day` of the first program
  // matching the cursor's name, or appends the day or a program, as the
  // tree search and its appends would; the day's number is looked up and
  // kept in it. False, with nothing changed, when the table
  // cannot hold the result: an appended day whose tick text is not what
  // "%d" writes (canonical false), texts beyond 4 GB, or no memory for the
  // look-ups.
  bool add(Cursor& cursor, DayKey& day, std::int64_t ticks, bool canonical);
  void summarize(const char* firstDay, const char* lastDay, std::vector<dcUsageSummaryLine_t>& lines) const;

  const char* text(std::uint32_t at) const { return texts_.data() + at; }
  const char* dayText(std::uint32_t day) const { return text(dayTexts_[day]); }
  std::size_t dayCount() const { return dayTexts_.size(); }
  const std::vector<Program>& programs() const { return programs_; }

 private:
  // Look-ups by text, built when a merge first needs them and not copied
  // with the table. Slots hold what they find plus 1.
  struct Slot {
    std::uint64_t hash;
    std::uint32_t item;
    bool filled() const { return item != 0; }
  };
  struct Indexes {
    dcinv::ProbeTable<Slot> programs;   // name -> first program
    dcinv::ProbeTable<Slot> days;       // text -> day number
    dcinv::ProbeTable<Slot> positions;  // (program, day number) -> its first place among the days
  };
  struct LazyIndexes {
    LazyIndexes() = default;
    LazyIndexes(const LazyIndexes&) {}
    LazyIndexes& operator=(const LazyIndexes&) {
      built.reset();
      return *this;
    }
    std::unique_ptr<Indexes> built;
  };

  static std::uint64_t hashText(const char* text);
  static std::uint64_t hashPosition(std::uint32_t program, std::uint32_t day);
  Indexes* indexes();
  bool indexProgram(Indexes& index, std::uint32_t program);
  bool indexDay(Indexes& index, std::uint32_t day);
  bool indexPosition(Indexes& index, std::uint32_t program, std::uint32_t at);
  bool keep(const char* text, std::uint32_t& at);
  bool dayNumber(const char* text, std::uint32_t& day);
  std::uint32_t findProgram(const Cursor& cursor);
  std::uint32_t findDay(std::uint32_t program, DayKey& day);
  bool readUnit(const dcXmlNode_t* unit);

  std::string prolog_;  // the declaration's name, attribute names and values, each ended by NUL
  bool rootElement_ = false;
  std::uint32_t rootPrograms_ = 0;
  std::vector<Program> programs_;
  std::string texts_;                    // program names and day texts, each ended by NUL
  std::vector<std::uint32_t> dayTexts_;  // day number -> offset in texts_
  LazyIndexes index_;
};

namespace {

// An element called name without a value: what the parser and the handles
// make of a tag.
bool isElement(const dcXmlNode_t* node, const char* name) {
  return node && node->kind == XN_ELEMENT && isNamed(node, name) && !node->value;
}
bool isBareElement(const dcXmlNode_t* node, const char* name) {
  return isElement(node, name) && node->attributeCount == 0;
}
bool isTextLeaf(const dcXmlNode_t* node, std::int32_t kind) {
  return node && node->kind == kind && !node->name && node->value && node->attributeCount == 0 &&
         node->childCount == 0;
}
bool isDeclaration(const dcXmlNode_t* node) {
  if (!node || node->kind != XN_PI || !isNamed(node, DECLARATION_NAME) || node->value ||
      node->childCount != 0)
    return false;
  for (std::uint32_t i = 0; i < node->attributeCount; ++i) {
    const dcXmlAttribute_t* a = node->attributes ? node->attributes[i] : nullptr;
    if (!a || !a->name || !a->value) return false;
  }
  return true;
}

}  // namespace

bool UsageTable::read(const dcXmlNode_t* top) {
  std::uint32_t i = 0;
  const dcXmlNode_t* node = childAt(top, 0);
  if (isDeclaration(node)) {
    addDeclaration(node->name);
    for (std::uint32_t a = 0; a < node->attributeCount; ++a)
      addDeclarationAttribute(node->attributes[a]->name, node->attributes[a]->value);
    node = childAt(top, ++i);
  }
  if (isBareElement(node, ROOT_NAME)) {
    for (std::uint32_t u = 0; u < node->childCount; ++u)
      if (!readUnit(childAt(node, u))) return false;
    endRootElement();
    ++i;
  }
  for (; top && i < top->childCount; ++i)
    if (!readUnit(childAt(top, i))) return false;
  endReading();
  return true;
}

bool UsageTable::readUnit(const dcXmlNode_t* unit) {
  const dcXmlNode_t* name = childAt(unit, 0);
  if (!isBareElement(unit, UNIT_NAME) || !isBareElement(name, PROGRAM_NAME) || name->childCount != 1)
    return false;
  const dcXmlNode_t* text = childAt(name, 0);
  const bool cdata = isTextLeaf(text, XN_CDATA);
  Program program;
  if ((!cdata && !isTextLeaf(text, XN_TEXT)) || !startProgram(text->value, cdata, program)) return false;
  program.days.reserve(unit->childCount - 1);
  for (std::uint32_t i = 1; i < unit->childCount; ++i) {
    const dcXmlNode_t* date = childAt(unit, i);
    if (!isElement(date, DAY_NAME) || date->attributeCount != 1 || date->childCount != 1) return false;
    const dcXmlAttribute_t* tick = date->attributes ? date->attributes[0] : nullptr;
    const dcXmlNode_t* day = childAt(date, 0);
    Day entry;
    if (!tick || !tick->name || std::strcmp(tick->name, TICK_NAME) != 0 || !isTextLeaf(day, XN_TEXT) ||
        !readDay(tick->value, day->value, entry))
      return false;
    program.days.push_back(entry);
  }
  addProgram(std::move(program));
  return true;
}

void UsageTable::addDeclaration(const char* name) { prolog_.append(name).push_back('\0'); }

void UsageTable::addDeclarationAttribute(const char* name, const char* value) {
  prolog_.append(name).append(1, '\0').append(value).push_back('\0');
}

bool UsageTable::startProgram(const char* name, bool cdata, Program& program) {
  program.cdata = cdata;
  program.days.clear();
  return keep(name, program.name);
}

bool UsageTable::readDay(const char* ticks, const char* day, Day& entry) {
  return ticks && readCanonicalTicks(ticks, entry.ticks) && dayNumber(day, entry.text);
}

void UsageTable::endRootElement() {
  rootElement_ = true;
  rootPrograms_ = static_cast<std::uint32_t>(programs_.size());
}

Tree UsageTable::build() const {
  Tree top = newTree();
  dcXmlHandle_t document(top.get());
  if (!prolog_.empty()) {
    dcXmlHandle_t declaration = document.appendChild(XN_PI);
    const char* p = prolog_.c_str();
    const char* end = p + prolog_.size();
    declaration.setName(p);
    for (p += std::strlen(p) + 1; p < end;) {
      const char* name = p;
      const char* value = name + std::strlen(name) + 1;
      declaration.appendAttribute(name, value);
      p = value + std::strlen(value) + 1;
    }
  }
  dcXmlHandle_t usage = document;
  if (rootElement_) {
    usage = document.appendChild(XN_ELEMENT);
    usage.setName(ROOT_NAME);
  }
  for (std::size_t i = 0; i < programs_.size(); ++i) {
    const Program& program = programs_[i];
    dcXmlHandle_t unit = appendUnit(i < rootPrograms_ ? usage : document, text(program.name),
                                    program.cdata ? XN_CDATA : XN_TEXT);
    for (const Day& day : program.days) appendDay(unit, dayText(day.text), TickText(day.ticks).text);
  }
  return top;
}

std::uint64_t UsageTable::hashText(const char* text) {
  std::uint64_t h = 1469598103934665603ull;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
    h = (h ^ *p) * 1099511628211ull;
  return h ^ (h >> 29);
}

// One to one: the product with an odd number and the shift-xor can both be
// undone, so two positions with the same hash are the same position.
std::uint64_t UsageTable::hashPosition(std::uint32_t program, std::uint32_t day) {
  std::uint64_t h = (std::uint64_t{program} << 32 | day) * 0x9e3779b97f4a7c15ull;
  return h ^ (h >> 31);
}

UsageTable::Indexes* UsageTable::indexes() {
  if (index_.built) return index_.built.get();
  auto made = std::make_unique<Indexes>();
  for (std::uint32_t p = 0; p < programs_.size(); ++p) {
    if (!indexProgram(*made, p)) return nullptr;
    for (std::uint32_t at = 0; at < programs_[p].days.size(); ++at)
      if (!indexPosition(*made, p, at)) return nullptr;
  }
  for (std::uint32_t d = 0; d < dayTexts_.size(); ++d)
    if (!indexDay(*made, d)) return nullptr;
  index_.built = std::move(made);
  return index_.built.get();
}

bool UsageTable::indexProgram(Indexes& index, std::uint32_t program) {
  const char* name = text(programs_[program].name);
  const std::uint64_t h = hashText(name);
  return index.programs.insertFirst(h, Slot{h, program + 1}, [&](const Slot& s) {
    return s.hash == h && std::strcmp(text(programs_[s.item - 1].name), name) == 0;
  });
}

bool UsageTable::indexDay(Indexes& index, std::uint32_t day) {
  const std::uint64_t h = hashText(dayText(day));
  return index.days.insertFirst(h, Slot{h, day + 1}, [](const Slot&) { return false; });
}

bool UsageTable::indexPosition(Indexes& index, std::uint32_t program, std::uint32_t at) {
  const std::vector<Day>& days = programs_[program].days;
  const std::uint64_t h = hashPosition(program, days[at].text);
  return index.positions.insertFirst(h, Slot{h, at + 1}, [h](const Slot& s) { return s.hash == h; });
}

bool UsageTable::keep(const char* text, std::uint32_t& at) {
  const std::size_t length = std::strlen(text);
  if (texts_.size() + length + 1 > UINT32_MAX) return false;
  at = static_cast<std::uint32_t>(texts_.size());
  texts_.append(text, length + 1);
  return true;
}

// The number of a day text, made when it is new; false when memory runs out.
bool UsageTable::dayNumber(const char* text, std::uint32_t& day) {
  Indexes* index = indexes();
  if (!index) return false;
  const std::uint64_t h = hashText(text);
  if (const Slot* s = index->days.find(
          h, [&](const Slot& s) { return s.hash == h && std::strcmp(dayText(s.item - 1), text) == 0; })) {
    day = s->item - 1;
    return true;
  }
  std::uint32_t at = 0;
  if (!keep(text, at)) return false;
  day = static_cast<std::uint32_t>(dayTexts_.size());
  dayTexts_.push_back(at);
  if (!indexDay(*index, day)) index_.built.reset();
  return true;
}

std::uint32_t UsageTable::findProgram(const Cursor& cursor) {
  if (!cursor.plain) {
    for (std::uint32_t p = 0; p < programs_.size(); ++p)
      if (xmlNameMatch(cursor.name, text(programs_[p].name))) return p;
    return NONE;
  }
  const std::uint64_t h = hashText(cursor.name);
  const Slot* s = index_.built->programs.find(h, [&](const Slot& s) {
    return s.hash == h && std::strcmp(text(programs_[s.item - 1].name), cursor.name) == 0;
  });
  return s ? s->item - 1 : NONE;
}

std::uint32_t UsageTable::findDay(std::uint32_t program, DayKey& day) {
  const std::vector<Day>& days = programs_[program].days;
  if (!day.plain) {
    for (std::uint32_t at = 0; at < days.size(); ++at)
      if (xmlNameMatch(day.text, dayText(days[at].text))) return at;
    return NONE;
  }
  if (day.id == NONE) {
    const std::uint64_t h = hashText(day.text);
    const Slot* s = index_.built->days.find(
        h, [&](const Slot& s) { return s.hash == h && std::strcmp(dayText(s.item - 1), day.text) == 0; });
    if (!s) return NONE;
    day.id = s->item - 1;
  }
  const std::uint64_t h = hashPosition(program, day.id);
  const Slot* s = index_.built->positions.find(h, [h](const Slot& s) { return s.hash == h; });
  return s ? s->item - 1 : NONE;
}

bool UsageTable::add(Cursor& cursor, DayKey& day, std::int64_t ticks, bool canonical) {
  if (!indexes()) return false;
  std::uint32_t program = cursor.plain ? cursor.program : NONE;
  if (program == NONE) program = findProgram(cursor);
  if (program != NONE) {
    if (cursor.plain) cursor.program = program;
    if (const std::uint32_t at = findDay(program, day); at != NONE) {
      Day& found = programs_[program].days[at];
      found.ticks = clampToInt32(found.ticks + ticks);
      return true;
    }
  }
  if (!canonical || texts_.size() + std::strlen(cursor.name) + std::strlen(day.text) + 2 > UINT32_MAX)
    return false;
  if (program == NONE) {
    std::uint32_t name = 0;
    keep(cursor.name, name);
    program = static_cast<std::uint32_t>(programs_.size());
    programs_.push_back(Program{name, true, {}});
    if (cursor.plain) cursor.program = program;
    if (!indexProgram(*index_.built, program)) index_.built.reset();
  }
  Day entry{day.id, static_cast<std::int32_t>(ticks)};
  if (entry.text == NONE && !dayNumber(day.text, entry.text)) return true;
  day.id = entry.text;
  std::vector<Day>& days = programs_[program].days;
  days.push_back(entry);
  if (index_.built && !indexPosition(*index_.built, program, static_cast<std::uint32_t>(days.size() - 1)))
    index_.built.reset();
  return true;
}

void UsageTable::summarize(const char* firstDay, const char* lastDay,
                           std::vector<dcUsageSummaryLine_t>& lines) const {
  std::vector<char> counts(dayTexts_.size());
  for (std::size_t d = 0; d < dayTexts_.size(); ++d) {
    const char* day = dayText(static_cast<std::uint32_t>(d));
    counts[d] = mb::compareNoCase(day, firstDay) >= 0 && mb::compareNoCase(day, lastDay) <= 0;
  }
  for (const Program& program : programs_) {
    std::int64_t total = 0;
    for (const Day& day : program.days)
      if (counts[day.text]) total += day.ticks;
    addSummaryLine(lines, text(program.name), total);
  }
}

// A usage text read straight into a table as the parser finds its parts,
// without a tree, while the text keeps to the agents' layout (what
// UsageTable::read takes from a tree). At the first part outside it the
// parse stops, and the text is read as a tree instead.
//
// Node numbers are depths: 0 the document, then the node open at each
// level. A node's part in the layout follows from its parent's part and its
// place among the siblings; the node is checked and taken into the table
// when it ends (at its end tag, at a next sibling or at the end of the
// text), its children before it.
class UsageReader final : public dcXmlEvents_t {
 public:
  explicit UsageReader(UsageTable& table) : table_(table) {}

  // At the end of the text: true when all of it kept to the layout, the
  // table then holding it as read would.
  bool finish() {
    endBelow(0);
    if (ok_) table_.endReading();
    return ok_;
  }

  Node add(Node parent, std::int32_t kind) {
    endBelow(parent);
    ok_ = ok_ && parent + 1 < DEPTHS && begin(parent + 1, kind);
    return ok_ ? parent + 1 : NO_NODE;
  }
  Node parentOf(Node node) {
    if (node == 0) return 0;
    endBelow(node - 1);
    return node - 1;
  }
  void setName(Node node, char* name) { open_[node].name = name; }
  void setValue(Node node, char* value) { open_[node].value = value; }
  Attribute addAttribute(Node node) {
    Open& open = open_[node];
    if (ok_ && open.part == Part::Declaration) {
      declaration_.emplace_back(nullptr, nullptr);
      return static_cast<Attribute>(declaration_.size() - 1);
    }
    // A day has one attribute; no other element of the layout has any.
    ok_ = ok_ && open.part == Part::Day && open.attributes++ == 0;
    return ok_ ? 0 : NO_ATTRIBUTE;
  }
  void setAttributeName(Attribute attribute, char* name) {
    if (open_[live_].part == Part::Declaration)
      declaration_[attribute].first = name;
    else
      open_[live_].attributeName = name;
  }
  void setAttributeValue(Attribute attribute, char* value) {
    if (open_[live_].part == Part::Declaration)
      declaration_[attribute].second = value;
    else
      open_[live_].attributeValue = value;
  }

 private:
  // The deepest part of the layout: document, root element, unit, day, text.
  static constexpr Node DEPTHS = 5;
  enum class Part : std::uint8_t { None, Document, Declaration, RootOrUnit, Root, Unit, Program, Day, Text };
  struct Open {
    Part part = Part::None;
    std::int32_t kind = XN_NONE;
    char* name = nullptr;
    char* value = nullptr;
    std::uint32_t children = 0;
    std::uint32_t attributes = 0;
    char* attributeName = nullptr;
    char* attributeValue = nullptr;
    char* text = nullptr;  // the value of its one text or CDATA child
    bool cdata = false;
  };

  static bool named(const Open& open, const char* name) {
    return open.name && std::strcmp(open.name, name) == 0 && !open.value;
  }
  // An element right after the declaration (or first) is the
  // "softwareusage" element when it is one without attributes, else a unit.
  static void resolve(Open& open) {
    if (open.part == Part::RootOrUnit) open.part = named(open, ROOT_NAME) ? Part::Root : Part::Unit;
  }
  // The part of a node of kind at the place-th child of parent, or None.
  Part partOf(Open& parent, std::uint32_t place, std::int32_t kind) {
    resolve(parent);
    const bool element = kind == XN_ELEMENT;
    switch (parent.part) {
      case Part::Document:
        if (place == 0 && kind == XN_PI) return Part::Declaration;
        if (place == 0 || (place == 1 && declared_)) return element ? Part::RootOrUnit : Part::None;
        return element ? Part::Unit : Part::None;
      case Part::Root:
        return element ? Part::Unit : Part::None;
      case Part::Unit:
        return element ? (place == 0 ? Part::Program : Part::Day) : Part::None;
      case Part::Program:
        return place == 0 && (kind == XN_TEXT || kind == XN_CDATA) ? Part::Text : Part::None;
      case Part::Day:
        return place == 0 && kind == XN_TEXT ? Part::Text : Part::None;
      default:
        return Part::None;
    }
  }
  bool begin(Node node, std::int32_t kind) {
    const Part part = partOf(open_[node - 1], open_[node - 1].children++, kind);
    if (part == Part::None) return false;
    open_[node] = Open{part, kind};
    live_ = node;
    return true;
  }
  // Ends every node deeper than node, the deepest first.
  void endBelow(Node node) {
    for (; live_ > node; --live_)
      if (ok_) ok_ = end(open_[live_], open_[live_ - 1]);
  }
  bool end(Open& open, Open& parent) {
    resolve(open);
    switch (open.part) {
      case Part::Declaration:
        if (!named(open, DECLARATION_NAME)) return false;
        for (const auto& [name, value] : declaration_)
          if (!name || !value) return false;
        table_.addDeclaration(open.name);
        for (const auto& [name, value] : declaration_) table_.addDeclarationAttribute(name, value);
        declared_ = true;
        return true;
      case Part::Root:
        table_.endRootElement();
        return true;
      case Part::Unit:
        if (!named(open, UNIT_NAME) || open.children == 0) return false;
        program_.days.assign(days_.begin(), days_.end());
        table_.addProgram(std::move(program_));
        return true;
      case Part::Program:
        days_.clear();
        return named(open, PROGRAM_NAME) && open.children == 1 &&
               table_.startProgram(open.text, open.cdata, program_);
      case Part::Day: {
        UsageTable::Day day;
        if (!named(open, DAY_NAME) || open.children != 1 || open.attributes != 1 || !open.attributeName ||
            std::strcmp(open.attributeName, TICK_NAME) != 0 ||
            !table_.readDay(open.attributeValue, open.text, day))
          return false;
        days_.push_back(day);
        return true;
      }
      case Part::Text:
        parent.text = open.value;
        parent.cdata = open.kind == XN_CDATA;
        return open.value != nullptr;
      default:
        return false;
    }
  }

  UsageTable& table_;
  bool ok_ = true;
  bool declared_ = false;
  Node live_ = 0;  // the deepest node not yet ended
  Open open_[DEPTHS] = {Open{Part::Document, XN_DOCUMENT}};
  std::vector<std::pair<char*, char*>> declaration_;  // its attributes' names and values
  UsageTable::Program program_;                       // the program of the open unit
  std::vector<UsageTable::Day> days_;                 // and its days so far
};

// The agents' own layout read straight from the text, without the parser:
// a declaration of plain attributes, the "softwareusage" element and its
// units (a program's name, then its days), every tag spelled as the agents
// write it, with blanks between tags. Such a text gives the table exactly
// what UsageReader gives it, call for call. At the first byte outside that
// layout the scan says no, and the text is read by UsageReader instead
// (into a table of its own). The scan ends each name and value it hands on
// with a NUL over the delimiter after it, for the call only: the text is
// left as it was.
class AgentLayoutScan {
 public:
  AgentLayoutScan(char* text, std::size_t size, UsageTable& table)
      : p_(text), end_(text + size), table_(table) {
    std::fill(std::begin(recent_), std::end(recent_), NONE);
  }

  bool run() {
    skipBlanks();
    if (literal("<?xml") && !declaration()) return false;
    skipBlanks();
    if (!literal("<softwareusage>")) return false;
    // The text ends with the first closing tag of that element.
    for (skipBlanks(); !literal("</softwareusage>"); skipBlanks())
      if (!unit()) return false;
    table_.endRootElement();
    table_.endReading();
    return true;
  }

 private:
  // A NUL over the delimiter at `at` while it lives.
  class Cut {
   public:
    explicit Cut(char* at) : at_(at), kept_(*at) { *at = '\0'; }
    ~Cut() { *at_ = kept_; }
    Cut(const Cut&) = delete;
    Cut& operator=(const Cut&) = delete;

   private:
    char* at_;
    char kept_;
  };

  // Steps over s when the text goes on with it.
  template <std::size_t N>
  bool literal(const char (&s)[N]) {
    if (static_cast<std::size_t>(end_ - p_) < N - 1 || std::memcmp(p_, s, N - 1) != 0) return false;
    p_ += N - 1;
    return true;
  }
  // The text ends in a NUL, which is no blank.
  bool skipBlanks() {
    const char* from = p_;
    p_ = dcxml::parse::skipSpace(p_);
    return p_ != from;
  }
  // Moves to the next c; false when there is none.
  bool skipTo(char c) {
    while (p_ < end_ && *p_ != c) ++p_;
    return p_ < end_;
  }
  // [from, to) as the parser keeps a text node's value, trimming it: not
  // empty, and no blank at either end for trimming to take off.
  static bool trimmed(const char* from, const char* to) {
    return from < to && !dcxml::parse::isSpace(*from) && !dcxml::parse::isSpace(to[-1]);
  }

  // After "<?xml": attributes name="value" up to "?>". A value holds no "?"
  // (the parser ends the instruction at the first one) and, when not empty,
  // no blank at either end (it trims them).
  bool declaration() {
    table_.addDeclaration(DECLARATION_NAME);
    for (;;) {
      const bool spaced = skipBlanks();
      if (literal("?>")) return true;
      char* name = p_;
      while (p_ < end_ && dcxml::parse::isName(*p_)) ++p_;
      char* nameEnd = p_;
      if (!spaced || name == nameEnd || !literal("=\"")) return false;
      char* value = p_;
      if (!skipTo('"')) return false;
      char* valueEnd = p_++;
      if (std::find(value, valueEnd, '?') != valueEnd || (value < valueEnd && !trimmed(value, valueEnd)))
        return false;
      const Cut nameCut(nameEnd), valueCut(valueEnd);
      table_.addDeclarationAttribute(name, value);
    }
  }

  // "<unit><progname>name</progname>", its days, "</unit>".
  bool unit() {
    UsageTable::Program program;
    if (!literal("<unit>")) return false;
    skipBlanks();
    if (!literal("<progname>")) return false;
    char* name = p_;
    if (!skipTo('<') || !trimmed(name, p_)) return false;
    char* nameEnd = p_;
    if (!literal("</progname>")) return false;
    if (const Cut cut(nameEnd); !table_.startProgram(name, false, program)) return false;
    days_.clear();
    for (skipBlanks(); !literal("</unit>"); skipBlanks()) {
      if (!literal("<date tick=\"")) return false;
      char* ticks = p_;
      if (!skipTo('"')) return false;
      char* ticksEnd = p_;
      if (!literal("\">")) return false;
      char* day = p_;
      if (!skipTo('<') || !trimmed(day, p_)) return false;
      char* dayEnd = p_;
      if (!literal("</date>")) return false;
      UsageTable::Day entry;
      const Cut ticksCut(ticksEnd), dayCut(dayEnd);
      if (!readDay(ticks, day, dayEnd, entry)) return false;
      days_.push_back(entry);
    }
    program.days.assign(days_.begin(), days_.end());
    table_.addProgram(std::move(program));
    return true;
  }

  // UsageTable::readDay, with the numbers of the day texts met so far kept
  // by their last two bytes (the day of the month, in the agents' dates):
  // the same days come back unit after unit, and a text found there needs
  // no look-up in the table.
  bool readDay(const char* ticks, const char* day, const char* dayEnd, UsageTable::Day& entry) {
    const unsigned last = static_cast<unsigned char>(dayEnd[-1]);
    const unsigned before = day < dayEnd - 1 ? static_cast<unsigned char>(dayEnd[-2]) : 0;
    std::uint32_t& recent = recent_[(before * 16 + last) % std::size(recent_)];
    if (recent != NONE && std::strcmp(table_.dayText(recent), day) == 0) {
      entry.text = recent;
      return readCanonicalTicks(ticks, entry.ticks);
    }
    if (!table_.readDay(ticks, day, entry)) return false;
    recent = entry.text;
    return true;
  }

  char* p_;
  char* const end_;
  UsageTable& table_;
  std::vector<UsageTable::Day> days_;
  std::uint32_t recent_[256];
};

}  // namespace dcusage

using namespace dcusage;

// ---------------------------------------------------------------------------

// A document's content: a table, a tree, or neither (a document without a
// tree, as a load that found no closing tag leaves it).
struct dcSoftwareUsageDocument_t::Content {
  std::optional<UsageTable> table;
  Tree tree;

  // A copy of the children of source (none: an empty document); false in
  // complete when memory ran out, what was copied by then kept.
  static Content copyOf(dcXmlNode_t* source, bool& complete) {
    Content content;
    UsageTable table;
    complete = true;
    if (table.read(source)) {
      content.table = std::move(table);
    } else {
      content.tree = newTree();
      complete = content.tree && xmlCopyChildren(source, content.tree.get());
    }
    return content;
  }
  Content clone() const {
    bool complete = true;
    if (tree) return copyOf(tree.get(), complete);
    Content content;
    content.table = table;
    return content;
  }
  // One program-day, in the table while it can hold it, else in the tree.
  void add(Cursor& cursor, DayKey& day, const char* ticks) {
    if (table) {
      std::int32_t count = 0;
      const bool canonical = readCanonicalTicks(ticks, count);
      if (table->add(cursor, day, canonical ? count : readTicks(ticks), canonical)) return;
      toTree();
    }
    if (tree) mergeIntoTree(tree.get(), cursor.name, day.text, ticks);
  }
  void add(Cursor& cursor, DayKey& day, std::int32_t ticks) {
    if (table && table->add(cursor, day, ticks, true)) return;
    add(cursor, day, TickText(ticks).text);
  }
  void toTree() {
    tree = table->build();
    table.reset();
  }
};

namespace {

// A usage file's text as the load reads it: up to its first NUL, and then
// only up to the end of its first closing tag, NUL-terminated, in a buffer
// of its own that the parse may write into.
struct UsageText {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
};

// The file's text, or nothing when it cannot be opened or holds no closing
// tag.
std::optional<UsageText> readUsageText(winfs::ReadFile& file) {
  if (!file.isOpen()) return std::nullopt;
  // One read of the file's size and one byte more, which finds the end at
  // once; a file that grew or tells no size goes on in pieces. The buffer
  // always keeps a byte beyond what was read, for the NUL.
  const std::size_t known = file.size();
  std::size_t piece = known ? known + 1 : 64 * 1024;
  std::size_t capacity = piece + 1;
  auto data = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t at = 0;
  for (;;) {
    char* into = data.get() + at;
    const std::size_t got = file.read(into, piece);
    if (const void* nul = std::memchr(into, '\0', got)) {
      at += static_cast<std::size_t>(static_cast<const char*>(nul) - into);
      break;
    }
    at += got;
    if (got < piece) break;
    piece = 64 * 1024;
    if (at + piece + 1 > capacity) {
      const std::size_t larger = std::max(capacity * 2, at + piece + 1);
      auto grown = std::make_unique_for_overwrite<char[]>(larger);
      std::memcpy(grown.get(), data.get(), at);
      data = std::move(grown);
      capacity = larger;
    }
  }
  const std::size_t tagLength = std::strlen(CLOSING_TAG);
  const void* tag = memmem(data.get(), at, CLOSING_TAG, tagLength);
  if (!tag) return std::nullopt;
  const std::size_t size = static_cast<std::size_t>(static_cast<const char*>(tag) - data.get()) + tagLength;
  data[size] = '\0';
  return UsageText{std::move(data), size};
}

}  // namespace

dcSoftwareUsageDocument_t::dcSoftwareUsageDocument_t() = default;
dcSoftwareUsageDocument_t::~dcSoftwareUsageDocument_t() = default;
dcSoftwareUsageDocument_t::dcSoftwareUsageDocument_t(dcSoftwareUsageDocument_t&&) noexcept = default;
dcSoftwareUsageDocument_t& dcSoftwareUsageDocument_t::operator=(dcSoftwareUsageDocument_t&&) noexcept =
    default;

dcSoftwareUsageDocument_t dcSoftwareUsageDocument_t::fork() const {
  dcSoftwareUsageDocument_t copy;
  copy.content_ = content_;
  copy.firstLoad_ = firstLoad_;
  copy.firstResult_ = firstResult_;
  return copy;
}

dcSoftwareUsageDocument_t::Content& dcSoftwareUsageDocument_t::own() const {
  if (content_.use_count() > 1) content_ = std::make_shared<Content>(content_->clone());
  return *content_;
}

std::uint32_t dcSoftwareUsageDocument_t::LoadUsageData(const char* fileName) {
  return takeUsage(prepareUsage(fileName));
}

// Whatever follows the first closing tag (another document appended, say)
// is not read. A tree in the agents' layout is kept as numbers, any other
// as a copy, so that nothing points into the file's text.
dcSoftwareUsageDocument_t::Prepared dcSoftwareUsageDocument_t::prepareUsage(const char* fileName) {
  winfs::ReadFile file(fileName);
  return prepareUsage(file);
}

dcSoftwareUsageDocument_t::Prepared dcSoftwareUsageDocument_t::prepareUsage(winfs::ReadFile& file) {
  Prepared prepared;
  prepared.content = std::make_shared<Content>();
  const std::optional<UsageText> text = readUsageText(file);
  if (!text) return prepared;
  UsageTable table;
  if (AgentLayoutScan(text->data.get(), text->size, table).run()) {
    prepared.content->table = std::move(table);
    prepared.result = 1;
    return prepared;
  }
  // The parse writes into the text it reads, so the reader parses a copy and
  // the text stays whole for the tree of a text in another layout.
  const auto scratch = std::make_unique_for_overwrite<char[]>(text->size + 1);
  std::memcpy(scratch.get(), text->data.get(), text->size + 1);
  table = UsageTable();
  UsageReader reader(table);
  xmlParseEvents(scratch.get(), reader, 0, XOPT_INVENTORY);
  if (reader.finish()) {
    prepared.content->table = std::move(table);
    prepared.result = 1;
    return prepared;
  }
  Tree parsed = newTree();
  if (!parsed) return prepared;
  prepared.result =
      xmlParse(text->data.get(), parsed.get(), dcXmlDocument_t::GROW_BY, XOPT_INVENTORY) ? 1 : 0;
  bool complete = true;
  *prepared.content = Content::copyOf(parsed.get(), complete);
  return prepared;
}

std::uint32_t dcSoftwareUsageDocument_t::takeUsage(Prepared&& prepared) {
  if (!firstLoad_) {
    firstLoad_ = prepared.content ? std::move(prepared.content) : std::make_shared<Content>();
    firstResult_ = prepared.result;
  }
  content_ = firstLoad_;
  return firstResult_;
}

bool dcSoftwareUsageDocument_t::hasTree() const { return content_ && (content_->table || content_->tree); }

// The numbers give way to the tree built from them, which from then on
// takes every change: whoever holds the handle sees the document as it is.
dcXmlHandle_t dcSoftwareUsageDocument_t::getRootNode() const {
  if (!hasTree()) return dcXmlHandle_t();
  if (content_->table) {
    auto built = std::make_shared<Content>();
    built->tree = content_->table->build();
    content_ = std::move(built);
  }
  return dcXmlHandle_t(own().tree.get());
}

std::uint32_t dcSoftwareUsageDocument_t::merge(const dcXmlHandle_t& root) {
  dcXmlNode_t* source = root.valid() ? root.node() : nullptr;
  if (!content_) {
    bool complete = true;
    content_ = std::make_shared<Content>(Content::copyOf(source, complete));
    return complete ? 1 : 0;
  }
  if (!hasTree()) return 1;
  Content& content = own();
  for (dcXmlNode_t* program : programsOf(source)) {
    Cursor cursor(firstChildValue(program));
    forEachDayOf(program, [&](dcXmlNode_t* date) {
      DayKey day(firstChildValue(date));
      content.add(cursor, day, firstAttributeValue(date));
    });
  }
  return 1;
}

// Numbers merge into numbers by number: each day text of other is looked at
// and looked up here once.
std::uint32_t dcSoftwareUsageDocument_t::mergeFrom(const dcSoftwareUsageDocument_t& other) {
  const Content* from = other.content_.get();
  if (&other == this) return merge(getRootNode());
  if (!from || !from->table) return merge(dcXmlHandle_t(from ? from->tree.get() : nullptr));
  if (!content_) {
    content_ = std::make_shared<Content>(from->clone());
    return 1;
  }
  if (!hasTree()) return 1;
  Content& content = own();
  const UsageTable& source = *from->table;
  std::vector<DayKey> days;
  days.reserve(source.dayCount());
  for (std::uint32_t d = 0; d < source.dayCount(); ++d) days.emplace_back(source.dayText(d));
  for (const UsageTable::Program& program : source.programs()) {
    Cursor cursor(source.text(program.name));
    for (const UsageTable::Day& day : program.days) content.add(cursor, days[day.text], day.ticks);
  }
  return 1;
}

// Only content this document alone holds: shared content may be read by
// another document's thread.
void dcSoftwareUsageDocument_t::releaseLookups() {
  if (content_ && content_.use_count() == 1 && content_->table) content_->table->releaseIndexes();
}

std::uint32_t dcSoftwareUsageDocument_t::mergeUsage(const dcXmlHandle_t& root, const char* progName,
                                                    const char* day, const char* ticks) {
  if (root.valid()) mergeIntoTree(root.node(), progName ? progName : "", day ? day : "", ticks ? ticks : "");
  return 1;
}

std::vector<dcUsageSummaryLine_t> dcSoftwareUsageDocument_t::summarize(const char* firstDay,
                                                                       const char* lastDay) const {
  std::vector<dcUsageSummaryLine_t> lines;
  if (!firstDay || !lastDay || !content_) return lines;
  if (content_->table) content_->table->summarize(firstDay, lastDay, lines);
  if (content_->tree) summarizeTree(content_->tree.get(), firstDay, lastDay, lines);
  return lines;
}

// ---------------------------------------------------------------------------
// dcSoftwareUsage_t

dcSoftwareUsage_t::dcSoftwareUsage_t() {
  theLog.pfWrite(this, 1, "[dcSoftwareUsage_t::dcSoftwareUsage_t] Starting...");
}

namespace {
void freeRecord(dcSoftwareUsageRecord_t* record) {
  if (!record) return;
  while (record->items) {
    dcSoftwareUsageItem_t* next = record->items->next;
    delete record->items;
    record->items = next;
  }
  delete record;
}
}  // namespace

dcSoftwareUsage_t::~dcSoftwareUsage_t() {
  theLog.pfWrite(this, 1, "[dcSoftwareUsage_t::~dcSoftwareUsage_t] Closed.");
  delete pOwned;
  pOwned = nullptr;
  status = dcStatus::OK;
  freeCells();
}

void dcSoftwareUsage_t::freeCells() {
  while (head) {
    dcSoftwareUsageCell_t* next = head->next;
    freeRecord(head->record);
    delete head;
    head = next;
  }
}

dcStatus_t dcSoftwareUsage_t::clear() {
  theLog.pfWrite(this, 1, "[dcSoftwareUsage_t::clear]");
  freeCells();
  return dcStatus::OK;
}
