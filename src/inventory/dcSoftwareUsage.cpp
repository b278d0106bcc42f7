#include "dcSoftwareUsage.h"

#include <sys/stat.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string_view>

#include "cp949.h"
#include "dcLog.h"
#include "winfs.h"

namespace {

constexpr const char* CLOSING_TAG = "</softwareusage>";
constexpr const char* PROGRAM_NAME = "progname";
constexpr const char* DAY_NAME = "date";

// A node named exactly name: what xmlNameMatch answers for a name without
// wildcard characters, without running the pattern matcher.
bool isNamed(const dcXmlNode_t* node, const char* name) {
  return node->name && std::strcmp(node->name, name) == 0;
}

bool hasWildcards(const char* pattern) {
  for (const char* p = pattern; *p; ++p)
    if (*p == '*' || *p == '?' || *p == '[') return true;
  return false;
}

dcXmlNode_t* childAt(const dcXmlNode_t* node, std::uint32_t i) {
  return (node->children && i < node->childCount) ? node->children[i] : nullptr;
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

// A decimal integer as the agents write ticks: leading blanks and a sign
// allowed, reading stops at the first other character, no digits count 0.
// With length: also the length of the whole text.
std::int64_t readTicks(const char* text, std::size_t* length = nullptr) {
  const char* p = text;
  while (mb::isAsciiSpace(static_cast<unsigned char>(*p))) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  std::int64_t value = 0;
  for (; mb::isAsciiDigit(static_cast<unsigned char>(*p)); ++p)
    if (value < (std::int64_t{1} << 40)) value = value * 10 + (*p - '0');
  if (length) {
    while (*p) ++p;
    *length = static_cast<std::size_t>(p - text);
  }
  return negative ? -value : value;
}

std::int32_t clampToInt32(std::int64_t v) {
  if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

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

// The order of the name-and-text search: the children of parent from child
// `from` on; a node called `name` is offered to onMatch and not entered, any
// other node with children is entered. onMatch returns true to stop.
template <class F>
void forEachNamed(dcXmlNode_t* parent, std::uint32_t from, const char* name, F&& onMatch) {
  std::vector<std::pair<dcXmlNode_t*, std::uint32_t>> stack{{parent, from}};
  while (!stack.empty()) {
    auto& [node, next] = stack.back();
    dcXmlNode_t* child = childAt(node, next);
    if (next++ >= node->childCount) {
      stack.pop_back();
      continue;
    }
    if (!child) continue;
    if (child->name && std::strcmp(child->name, name) == 0) {
      if (onMatch(child)) return;
    } else if (child->childCount > 0 && child->children) {
      stack.emplace_back(child, 0);
    }
  }
}

// The element called `name` under parent with a child whose value matches
// the pattern text; nullptr when there is none.
dcXmlNode_t* nameTextSearch(dcXmlNode_t* parent, const char* name, const char* text) {
  dcXmlNode_t* found = nullptr;
  forEachNamed(parent, 0, name, [&](dcXmlNode_t* element) {
    for (std::uint32_t i = 0; i < element->childCount; ++i) {
      const dcXmlNode_t* c = childAt(element, i);
      if (c && c->value && xmlNameMatch(text, c->value)) {
        found = element;
        return true;
      }
    }
    return false;
  });
  return found;
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

}  // namespace

// ---------------------------------------------------------------------------

// mergeUsage for the days of one program in a row. The tree only grows by
// days and by programs appended after everything else, so the first
// program a name without wildcard characters finds stays the first for all
// its days and is looked up once; a name that finds none is looked up again
// after its program was appended. A name with wildcard characters goes
// through mergeUsage day by day.
struct dcSoftwareUsageDocument_t::ProgramCursor {
  explicit ProgramCursor(const char* programName) : name(programName), plain(!hasWildcards(programName)) {}
  const char* name;
  bool plain;
  dcXmlNode_t* program = nullptr;
};

namespace {

// A day text as a key: its first 16 bytes in two words (zero-padded), its
// length and a hash of all of it, so that a look-up compares words and only
// texts longer than 16 bytes compare the rest.
struct DayKey {
  std::uint64_t head[2];
  std::uint64_t hash;
  const char* text;
  std::size_t length;
};

std::uint64_t load64(const char* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
std::uint32_t load32(const char* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

DayKey dayKey(const char* text, std::size_t length) {
  DayKey key{{0, 0}, 0, text, length};
  if constexpr (std::endian::native == std::endian::little) {
    // The head words from loads of fixed size inside the text: a shorter
    // text loads its last bytes overlapping the first and shifts them in.
    if (length >= 16) {
      key.head[0] = load64(text);
      key.head[1] = load64(text + 8);
    } else if (length >= 8) {
      key.head[0] = load64(text);
      if (length > 8) key.head[1] = load64(text + length - 8) >> (8 * (16 - length));
    } else if (length >= 4) {
      key.head[0] = load32(text) | std::uint64_t{load32(text + length - 4)} << (8 * (length - 4));
    } else {
      for (std::size_t i = 0; i < length; ++i)
        key.head[0] |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    }
  } else {
    std::memcpy(key.head, text, length < sizeof key.head ? length : sizeof key.head);
  }
  std::uint64_t h = key.head[0] * 0x9E3779B97F4A7C15ull ^ (key.head[1] + length) * 0xC2B2AE3D27D4EB4Full;
  for (std::size_t i = sizeof key.head; i < length; ++i)
    h = (h ^ static_cast<unsigned char>(text[i])) * 0x100000001B3ull;
  h ^= h >> 29;
  h *= 0xBF58476D1CE4E5B9ull;
  h ^= h >> 32;
  key.hash = h;
  return key;
}

}  // namespace

// The days under one parent: day text -> the first "date" element in
// search order with a child holding that text. The texts stay in the tree.
class dcSoftwareUsageDocument_t::DayTable {
 public:
  // A date element and its tick sum (NO_SUM when it has no attribute),
  // kept beside the key so that adding ticks needs no visit to the element.
  struct Slot {
    std::uint64_t head[2];
    const char* text;
    dcXmlNode_t* date;
    std::uint32_t length;
    std::uint32_t hash;
    std::uint32_t sum;
    bool filled() const { return date != nullptr; }
  };

  const Slot* find(const DayKey& key) const {
    return table_.find(key.hash, [&](const Slot& slot) { return same(slot, key); });
  }
  // Stores date under key unless the key is present; false when memory
  // runs out or the text is too long to be a key.
  bool insertFirst(const DayKey& key, dcXmlNode_t* date, std::uint32_t sum) {
    if (key.length > UINT32_MAX) return false;
    const Slot slot{
        {key.head[0], key.head[1]},           key.text, date, static_cast<std::uint32_t>(key.length),
        static_cast<std::uint32_t>(key.hash), sum};
    return table_.insertFirst(key.hash, slot, [&](const Slot& at) { return same(at, key); });
  }

 private:
  static bool same(const Slot& slot, const DayKey& key) {
    return slot.hash == static_cast<std::uint32_t>(key.hash) && slot.length == key.length &&
           slot.head[0] == key.head[0] && slot.head[1] == key.head[1] &&
           (key.length <= sizeof key.head ||
            std::memcmp(slot.text + sizeof key.head, key.text + sizeof key.head,
                        key.length - sizeof key.head) == 0);
  }

  dcinv::ProbeTable<Slot, 16, 75> table_;
};

namespace {

// No tick sum: the date element has no attribute.
constexpr std::uint32_t NO_SUM = UINT32_MAX;
// The date element was found by walking the tree, not by the index.
constexpr std::uint32_t TREE_SEARCH = UINT32_MAX - 1;

// Writes count with "%d" as the tick attribute's text: in place when the
// present text is at least as long (what setValue does), else through
// setValue, which gives the attribute a copy of its own.
void writeTicks(dcXmlNode_t* date, dcXmlAttribute_t* tick, std::int32_t count) {
  char text[16] = {};
  const auto digits = static_cast<std::size_t>(std::to_chars(text, text + sizeof text - 1, count).ptr - text);
  if (tick->value && std::strlen(tick->value) >= digits)
    std::memcpy(tick->value, text, digits + 1);
  else
    dcXmlAttrHandle_t(tick).setValue(text);
}

}  // namespace

void dcSoftwareUsageDocument_t::flushTicks() const {
  for (const std::uint32_t at : dirtyTicks_) {
    TickSum& total = tickSums_[at];
    total.dirty = false;
    writeTicks(total.date, total.attribute, clampToInt32(total.value));
  }
  dirtyTicks_.clear();
}

dcSoftwareUsageDocument_t::dcSoftwareUsageDocument_t() = default;

dcSoftwareUsageDocument_t::~dcSoftwareUsageDocument_t() { dropTree(); }

void dcSoftwareUsageDocument_t::resetIndexes() {
  dropProgramIndex();
  dropDayIndex();
}

// The tree borrows its texts from pText, so it goes first.
void dcSoftwareUsageDocument_t::dropTree() {
  resetIndexes();
  treePending_ = false;
  delete document;
  document = nullptr;
  std::free(pText);
  pText = nullptr;
}

void dcSoftwareUsageDocument_t::freeStreamTree(StreamTree& tree) {
  delete tree.document;
  tree.document = nullptr;
  std::free(tree.text);
  tree.text = nullptr;
}

// Whatever follows the first closing tag (another document appended, say)
// is not read; the stream's first NUL ends the text the same way. What is
// made before memory runs out stays in tree, as the caller's state.
bool dcSoftwareUsageDocument_t::parseStream(StreamTree& tree) const {
  if (firstTextEnd_ == std::string::npos || firstTextEnd_ > textStream.size()) return false;
  const std::size_t length = firstTextEnd_;
  tree.text = static_cast<char*>(std::malloc(length + 1));
  if (!tree.text) return false;
  std::memcpy(tree.text, textStream.data(), length);
  tree.text[length] = '\0';
  tree.document = new (std::nothrow) dcXmlDocument_t();
  if (!tree.document) return false;
  dcXmlNode_t* root = xmlNewNode(XN_DOCUMENT);
  if (!root) return false;
  root->parent = root;
  tree.document->root = root;
  tree.document->options = XOPT_INVENTORY;
  tree.document->textEnd = xmlParse(tree.text, root, tree.document->growBy, tree.document->options);
  return tree.document->textEnd != nullptr;
}

void dcSoftwareUsageDocument_t::buildPendingTree() const {
  if (!treePending_) return;
  treePending_ = false;
  StreamTree tree;
  parseStream(tree);
  document = tree.document;
  pText = tree.text;
}

dcXmlHandle_t dcSoftwareUsageDocument_t::getRootNode() const {
  buildPendingTree();
  flushTicks();
  return document ? dcXmlHandle_t(document->root) : dcXmlHandle_t();
}

std::string dcSoftwareUsageDocument_t::readUsageFile(const char* fileName) {
  std::string text;
  std::unique_ptr<std::FILE, winfs::FileCloser> file(fileName ? winfs::openFile(fileName, "r") : nullptr);
  if (!file) return text;
  // One read of the file's size and one byte more, which finds the end at
  // once; a file that grew or tells no size goes on in pieces.
  struct stat info {};
  std::size_t piece = 64 * 1024;
  if (::fstat(::fileno(file.get()), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
    piece = static_cast<std::size_t>(info.st_size) + 1;
  std::size_t at = 0;
  for (;;) {
    text.resize(at + piece);
    char* into = text.data() + at;
    const std::size_t got = std::fread(into, 1, piece, file.get());
    if (const void* nul = std::memchr(into, '\0', got)) {
      at += static_cast<std::size_t>(static_cast<const char*>(nul) - into);
      break;
    }
    at += got;
    if (got < piece) break;
    piece = 64 * 1024;
  }
  text.resize(at);
  return text;
}

std::uint32_t dcSoftwareUsageDocument_t::LoadUsageData(const char* fileName) {
  return LoadUsageText(readUsageFile(fileName));
}

std::uint32_t dcSoftwareUsageDocument_t::LoadUsageText(const std::string& text) {
  const bool firstLoad = textStream.empty();
  textStream.reserve(textStream.size() + text.size() + 1);
  textStream.append(text);
  const std::size_t at = textStream.size();
  textStream.push_back('\0');

  dropTree();
  // Only the stream's first text is ever parsed: what later loads append
  // lies behind its NUL. Where its closing tag ends is found once.
  if (firstLoad) {
    const char* first = textStream.data();
    const void* tag = ::memmem(first, at, CLOSING_TAG, std::strlen(CLOSING_TAG));
    firstTextEnd_ =
        tag ? static_cast<std::size_t>(static_cast<const char*>(tag) - first) + std::strlen(CLOSING_TAG)
            : std::string::npos;
  }
  // Without a closing tag the document stays empty: later merges into it
  // add nothing.
  if (firstTextEnd_ == std::string::npos) {
    document = new (std::nothrow) dcXmlDocument_t();
    return 0;
  }
  treePending_ = true;
  return 1;
}

std::uint32_t dcSoftwareUsageDocument_t::mergeFrom(const dcSoftwareUsageDocument_t& other) {
  if (!other.treePending_ || &other == this) {
    const dcXmlHandle_t root = other.getRootNode();
    return root.valid() ? merge(root) : 0;
  }
  buildPendingTree();
  if (document && mergeText(other)) return 1;
  StreamTree tree;
  std::uint32_t result = 0;
  if (other.parseStream(tree)) result = merge(dcXmlHandle_t(tree.document->root));
  freeStreamTree(tree);
  return result;
}

namespace {

// The program-days of a text in the layout the agents write, read straight
// from the text: each name, day and tick value trimmed as the parser trims
// them and kept NUL-terminated in texts (offset 0 is the empty text).
struct ScannedProgram {
  std::size_t name;
  std::size_t firstDay;
  std::size_t dayCount;
};
struct ScannedDay {
  std::size_t day;
  std::size_t dayLength;
  std::size_t ticks;
};
struct UsageScan {
  std::string texts;
  std::vector<ScannedProgram> programs;
  std::vector<ScannedDay> days;
};

bool isBlank(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 1 && u <= 32;
}
bool isNameByte(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == ':' ||
         u == '-' || u == '.';
}

// Accepts exactly this layout, blanks (bytes 1 to 32) allowed between tags:
//   [<?xml name="value" ...?>] <softwareusage>
//     <unit><progname>text</progname><date tick="value">text</date>...</unit>...
//   </softwareusage>
// In that layout the tree's programs are the "progname" elements of the
// units in order and a program's days are the "date" elements of its unit.
// Anything else (comments, other names, nesting, text between tags, a "?"
// in the declaration) is left to the parser: scan() then returns false.
class UsageScanner {
 public:
  UsageScanner(const char* text, const char* end, UsageScan& out) : p_(text), end_(end), out_(out) {
    // Every kept text is a part of [text, end) with a NUL after it, and no
    // two parts touch, so the texts fit in the text's length and one more.
    const std::size_t room = static_cast<std::size_t>(end - text) + 1;
    if (out_.texts.size() < room) out_.texts.resize(room);
    out_.texts[0] = '\0';
    out_.programs.clear();
    out_.days.clear();
  }

  bool scan() {
    skipBlanks();
    if (take("<?xml")) {
      if (!declaration()) return false;
      skipBlanks();
    }
    if (!take("<softwareusage>")) return false;
    for (;;) {
      skipBlanks();
      if (take(CLOSING_TAG)) return p_ == end_;
      if (!take("<unit>")) return false;
      skipBlanks();
      ScannedProgram program{0, out_.days.size(), 0};
      if (!take("<progname>") || !content(program.name) || !take("</progname>")) return false;
      for (;;) {
        skipBlanks();
        if (take("</unit>")) break;
        ScannedDay day{};
        if (!take("<date tick=\"")) return false;
        const char* quote = find('"');
        if (!quote) return false;
        day.ticks = keep(p_, quote);
        p_ = quote + 1;
        if (!take(">") || !content(day.day, &day.dayLength) || !take("</date>")) return false;
        out_.days.push_back(day);
        ++program.dayCount;
      }
      out_.programs.push_back(program);
    }
  }

 private:
  void skipBlanks() {
    while (p_ < end_ && isBlank(*p_)) ++p_;
  }
  bool take(std::string_view literal) {
    if (static_cast<std::size_t>(end_ - p_) < literal.size() ||
        std::memcmp(p_, literal.data(), literal.size()) != 0)
      return false;
    p_ += literal.size();
    return true;
  }
  // The next c: most are a few bytes away (a day, a tick count, a name).
  const char* find(char c) const {
    const char* q = p_;
    for (const char* near = end_ - q > 32 ? q + 32 : end_; q < near; ++q)
      if (*q == c) return q;
    return static_cast<const char*>(std::memchr(q, c, static_cast<std::size_t>(end_ - q)));
  }
  // [s, e) without its leading and trailing blanks, kept; 0 when nothing is
  // left. length: the length kept.
  std::size_t keep(const char* s, const char* e, std::size_t* length = nullptr) {
    while (s < e && isBlank(*s)) ++s;
    while (e > s && isBlank(e[-1])) --e;
    if (length) *length = static_cast<std::size_t>(e - s);
    if (s == e) return 0;
    const std::size_t at = used_;
    std::memcpy(out_.texts.data() + at, s, static_cast<std::size_t>(e - s));
    used_ += static_cast<std::size_t>(e - s);
    out_.texts[used_++] = '\0';
    return at;
  }
  // An element's text up to the next "<": blank gives no child (offset 0).
  bool content(std::size_t& at, std::size_t* length = nullptr) {
    const char* lt = find('<');
    if (!lt) return false;
    at = keep(p_, lt, length);
    p_ = lt;
    return true;
  }
  // After "<?xml": blank-separated name="value" pairs, then "?>". The
  // parser ends the declaration at its first "?", so values hold none.
  bool declaration() {
    for (;;) {
      if (take("?>")) return true;
      if (p_ == end_ || !isBlank(*p_)) return false;
      skipBlanks();
      if (take("?>")) return true;
      const char* name = p_;
      while (p_ < end_ && isNameByte(*p_)) ++p_;
      if (p_ == name || !take("=\"")) return false;
      const char* quote = find('"');
      if (!quote || std::memchr(p_, '?', static_cast<std::size_t>(quote - p_))) return false;
      p_ = quote + 1;
    }
  }

  const char* p_;
  const char* end_;
  UsageScan& out_;
  std::size_t used_ = 1;  // bytes of out_.texts in use
};

}  // namespace

// Merges other's pending text without building its tree, when the text has
// the agents' layout; false (and nothing merged) when it has not.
bool dcSoftwareUsageDocument_t::mergeText(const dcSoftwareUsageDocument_t& other) {
  if (other.firstTextEnd_ == std::string::npos || other.firstTextEnd_ > other.textStream.size()) return false;
  thread_local UsageScan scan;
  const char* text = other.textStream.data();
  if (!UsageScanner(text, text + other.firstTextEnd_, scan).scan()) return false;
  dcXmlNode_t* own = document->root;
  if (!own) return true;
  const char* texts = scan.texts.data();
  for (const ScannedProgram& program : scan.programs) {
    ProgramCursor cursor(texts + program.name);
    for (std::size_t i = 0; i < program.dayCount; ++i) {
      const ScannedDay& day = scan.days[program.firstDay + i];
      mergeDay(own, cursor, texts + day.day, day.dayLength, texts + day.ticks);
    }
  }
  return true;
}

std::uint32_t dcSoftwareUsageDocument_t::merge(const dcXmlHandle_t& root) {
  buildPendingTree();
  if (!document) return copyTree(root.valid() ? root.node() : nullptr) ? 1 : 0;

  dcXmlNode_t* own = document->root;
  // A merge of this tree into itself reads counts as it writes them.
  const bool self = own && root.valid() && documentNodeOf(root.node()) == own;
  if (self) flushTicks();
  writeThrough_ = self;
  for (dcXmlNode_t* program : programsOf(root.valid() ? root.node() : nullptr)) {
    if (!own) continue;
    ProgramCursor cursor(firstChildValue(program));
    forEachDayOf(program, [&](dcXmlNode_t* day) {
      const char* text = firstChildValue(day);
      mergeDay(own, cursor, text, std::strlen(text), firstAttributeValue(day));
    });
  }
  writeThrough_ = false;
  return 1;
}

// The program index holds, for every text of a child of a "progname"
// element, the first such element in search order (owner: none).
bool dcSoftwareUsageDocument_t::indexProgram(dcXmlNode_t* program) {
  for (std::uint32_t i = 0; i < program->childCount; ++i)
    if (const dcXmlNode_t* c = childAt(program, i); c && c->value)
      if (!programs_.insertFirst(nullptr, c->value, program)) return false;
  return true;
}

// Every text of a child of a "date" element below a parent, with the first
// such element in search order. A merge looks up the days of one program
// after another, so each parent keeps a table of its own and the last one
// used is at hand.
bool dcSoftwareUsageDocument_t::indexDay(DayTable& table, dcXmlNode_t* date) {
  std::uint32_t sum = NO_SUM;
  if (!tickSumOf(date, sum)) return false;
  for (std::uint32_t i = 0; i < date->childCount; ++i)
    if (const dcXmlNode_t* c = childAt(date, i); c && c->value)
      if (!table.insertFirst(dayKey(c->value, std::strlen(c->value)), date, sum)) return false;
  return true;
}

// The tick sum of a date element with attributes, made from its first
// attribute's text on first use; one per element, whatever tables hold it.
bool dcSoftwareUsageDocument_t::tickSumOf(dcXmlNode_t* date, std::uint32_t& sum) {
  sum = NO_SUM;
  if (date->attributeCount == 0 || !date->attributes || !date->attributes[0]) return true;
  try {
    const auto [at, made] = tickSumAt_.try_emplace(date, static_cast<std::uint32_t>(tickSums_.size()));
    if (made) {
      dcXmlAttribute_t* tick = date->attributes[0];
      tickSums_.push_back(TickSum{tick, date, readTicks(tick->value ? tick->value : ""), false});
    }
    sum = at->second;
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

dcSoftwareUsageDocument_t::DayTable* dcSoftwareUsageDocument_t::dayTable(const dcXmlNode_t* parent) {
  if (parent == lastParent_) return lastTable_;
  auto it = dayTables_.find(parent);
  if (it == dayTables_.end()) return nullptr;
  lastParent_ = parent;
  lastTable_ = it->second.get();
  return lastTable_;
}

void dcSoftwareUsageDocument_t::dropProgramIndex() {
  programsIndexed_ = false;
  programs_.clear();
  lastProgName_.clear();
  lastProgram_ = nullptr;
}

void dcSoftwareUsageDocument_t::dropDayIndex() {
  flushTicks();
  tickSums_.clear();
  tickSumAt_.clear();
  dayTables_.clear();
  lastParent_ = nullptr;
  lastTable_ = nullptr;
}

dcXmlNode_t* dcSoftwareUsageDocument_t::findProgram(dcXmlNode_t* root, const char* progName) {
  if (!document || root != document->root || hasWildcards(progName))
    return nameTextSearch(root, PROGRAM_NAME, progName);
  if (!programsIndexed_) {
    programsIndexed_ = true;
    bool complete = true;
    forEachNamed(root, 0, PROGRAM_NAME,
                 [&](dcXmlNode_t* program) { return !(complete = indexProgram(program)); });
    if (!complete) {
      dropProgramIndex();
      return nameTextSearch(root, PROGRAM_NAME, progName);
    }
  }
  if (lastProgram_ && lastProgName_ == progName) return lastProgram_;
  dcXmlNode_t* program = programs_.find(nullptr, progName);
  // Only answers that were found stay true as the tree grows at its end.
  if (program) {
    lastProgName_ = progName;
    lastProgram_ = program;
  }
  return program;
}

dcXmlNode_t* dcSoftwareUsageDocument_t::findDay(dcXmlNode_t* parent, const char* day, std::size_t dayLength,
                                                bool ownTree, std::uint32_t& sum) {
  sum = TREE_SEARCH;
  if (!ownTree || hasWildcards(day) || dayLength > UINT32_MAX) return nameTextSearch(parent, DAY_NAME, day);
  DayTable* table = dayTable(parent);
  if (!table) {
    auto made = std::make_unique<DayTable>();
    bool complete = true;
    forEachNamed(parent, 0, DAY_NAME, [&](dcXmlNode_t* date) { return !(complete = indexDay(*made, date)); });
    if (!complete) {
      dropDayIndex();
      return nameTextSearch(parent, DAY_NAME, day);
    }
    table = dayTables_.emplace(parent, std::move(made)).first->second.get();
    lastParent_ = parent;
    lastTable_ = table;
  }
  const DayTable::Slot* slot = table->find(dayKey(day, dayLength));
  if (!slot) return nullptr;
  sum = slot->sum;
  return slot->date;
}

// A subtree was appended as the last child of parent. It comes last in every
// search that starts at parent, so its entries only add where a key is new;
// the index of an ancestor would see it in the middle and is dropped.
void dcSoftwareUsageDocument_t::noteAppended(dcXmlNode_t* parent) {
  const std::uint32_t at = parent->childCount - 1;
  if (programsIndexed_) {
    forEachNamed(parent, at, PROGRAM_NAME, [&](dcXmlNode_t* program) {
      if (parent == document->root && indexProgram(program)) return false;
      dropProgramIndex();
      return true;
    });
  }
  if (dayTables_.empty()) return;
  bool holdsDays = false;
  DayTable* table = dayTable(parent);
  forEachNamed(parent, at, DAY_NAME, [&](dcXmlNode_t* date) {
    holdsDays = true;
    if (!table || indexDay(*table, date)) return false;
    dropDayIndex();
    return true;
  });
  if (!holdsDays || dayTables_.empty()) return;
  for (dcXmlNode_t* a = parent; a->parent && a->parent != a;) {
    a = a->parent;
    if (dayTables_.count(a)) {
      dropDayIndex();
      return;
    }
  }
}

namespace {

// Appends <date tick="ticks">day</date> to parent; the new element or nullptr.
dcXmlNode_t* appendDay(dcXmlHandle_t parent, const char* day, const char* ticks) {
  dcXmlHandle_t date = parent.appendChild(XN_ELEMENT);
  if (!date.valid()) return nullptr;
  date.setName(DAY_NAME);
  date.appendAttribute("tick", ticks);
  dcXmlHandle_t text = date.appendChild(XN_TEXT);
  if (text.valid()) text.setValue(day);
  return date.node();
}

}  // namespace

std::uint32_t dcSoftwareUsageDocument_t::mergeUsage(const dcXmlHandle_t& root, const char* progName,
                                                    const char* day, const char* ticks) {
  buildPendingTree();
  if (!root.valid()) return 1;
  if (!progName) progName = "";
  if (!day) day = "";
  if (!ticks) ticks = "";

  if (dcXmlNode_t* program = findProgram(root.node(), progName))
    addToProgram(program, day, std::strlen(day), ticks, document && root.node() == document->root);
  else
    appendProgram(root.node(), progName, day, ticks);
  return 1;
}

// The day of a program found: its ticks added, or a new day appended.
void dcSoftwareUsageDocument_t::addToProgram(dcXmlNode_t* program, const char* day, std::size_t dayLength,
                                             const char* ticks, bool ownTree) {
  dcXmlNode_t* unit = program->parent;
  std::uint32_t sum = TREE_SEARCH;
  if (dcXmlNode_t* date = findDay(unit, day, dayLength, ownTree, sum)) {
    if (sum != TREE_SEARCH && sum != NO_SUM && !writeThrough_) {
      TickSum& total = tickSums_[sum];
      total.value = clampToInt32(total.value + readTicks(ticks));
      if (!total.dirty) {
        total.dirty = true;
        dirtyTicks_.push_back(sum);
      }
    } else if (date->attributeCount > 0 && date->attributes && date->attributes[0]) {
      // Read from the text and written at once; a sum kept for the element
      // takes the new count.
      flushTicks();
      dcXmlAttribute_t* tick = date->attributes[0];
      const std::int32_t value = clampToInt32(readTicks(tick->value ? tick->value : "") + readTicks(ticks));
      writeTicks(date, tick, value);
      if (const auto at = tickSumAt_.find(date); at != tickSumAt_.end()) tickSums_[at->second].value = value;
    }
  } else if (appendDay(dcXmlHandle_t(unit), day, ticks)) {
    noteAppended(unit);
  }
}

// A new program goes to the document node itself.
void dcSoftwareUsageDocument_t::appendProgram(dcXmlNode_t* root, const char* progName, const char* day,
                                              const char* ticks) {
  dcXmlNode_t* top = documentNodeOf(root);
  dcXmlHandle_t unit = dcXmlHandle_t(top).appendChild(XN_ELEMENT);
  if (!unit.valid()) return;
  unit.setName("unit");
  dcXmlHandle_t name = unit.appendChild(XN_ELEMENT);
  if (name.valid()) {
    name.setName(PROGRAM_NAME);
    dcXmlHandle_t text = name.appendChild(XN_CDATA);
    if (text.valid()) text.setValue(progName);
  }
  appendDay(unit, day, ticks);
  noteAppended(top);
}

void dcSoftwareUsageDocument_t::mergeDay(dcXmlNode_t* root, ProgramCursor& cursor, const char* day,
                                         std::size_t dayLength, const char* ticks) {
  if (!cursor.plain) {
    mergeUsage(dcXmlHandle_t(root), cursor.name, day, ticks);
    return;
  }
  if (!cursor.program) cursor.program = findProgram(root, cursor.name);
  if (cursor.program)
    addToProgram(cursor.program, day, dayLength, ticks, true);
  else
    appendProgram(root, cursor.name, day, ticks);
}

std::vector<dcUsageSummaryLine_t> dcSoftwareUsageDocument_t::summarize(const char* firstDay,
                                                                       const char* lastDay) const {
  std::vector<dcUsageSummaryLine_t> lines;
  if (!firstDay || !lastDay) return lines;
  flushTicks();
  // A tree not built yet is parsed for the summary only.
  StreamTree pending;
  const dcXmlDocument_t* tree = document;
  if (treePending_) {
    parseStream(pending);
    tree = pending.document;
  }
  if (tree && tree->root) summarizeTree(tree->root, firstDay, lastDay, lines);
  freeStreamTree(pending);
  return lines;
}

void dcSoftwareUsageDocument_t::summarizeTree(dcXmlNode_t* root, const char* firstDay, const char* lastDay,
                                              std::vector<dcUsageSummaryLine_t>& lines) {
  for (dcXmlNode_t* program : programsOf(root)) {
    std::int64_t total = 0;
    forEachDayOf(program, [&](dcXmlNode_t* day) {
      const char* text = firstChildValue(day);
      if (mb::compareNoCase(text, firstDay) >= 0 && mb::compareNoCase(text, lastDay) <= 0)
        total += clampToInt32(readTicks(firstAttributeValue(day)));
    });
    if (total <= 0) continue;
    char minutes[32];
    std::snprintf(minutes, sizeof minutes, "%7lld min", static_cast<long long>(total * 3));
    lines.push_back({firstChildValue(program), minutes});
  }
}

// ---------------------------------------------------------------------------
// The first merge: a deep copy of the other tree, every node as it is (an
// INCLUDE section holding a program's name, a declaration, a document type
// with its subset), so that later merges and the summary read the same
// names and values from the copy as from the original.

bool dcSoftwareUsageDocument_t::copyTree(dcXmlNode_t* source) {
  dropTree();
  document = new (std::nothrow) dcXmlDocument_t();
  if (!document) return false;
  document->options = XOPT_INVENTORY;
  dcXmlNode_t* top = xmlNewNode(XN_DOCUMENT);
  if (!top) return false;
  top->parent = top;
  document->root = top;
  return !source || xmlCopyChildren(source, top);
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
  for (dcSoftwareUsageCell_t* cell = head; cell; cell = cell->next)
    if (cell->record && cell->record->pBackwardLinks && pfFreeBackwardLinks) {
      pfFreeBackwardLinks(cell->record->pBackwardLinks);
      cell->record->pBackwardLinks = nullptr;
    }
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
