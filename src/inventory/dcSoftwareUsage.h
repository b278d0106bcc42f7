// Program usage per day: the usage document of a client (read from
// "totalsuinfo.xml") or of a group (merged from its clients and sub-groups),
// kept as an XML tree, and the summary of a period that the viewer shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dcStatus.h"
#include "dcXml.h"
#include "dcXmlTextIndex.h"

class dcpgBackwardLinks_t;

// One line of a usage summary: the program and its minutes ("%7d min").
struct dcUsageSummaryLine_t {
  std::string name;
  std::string minutes;
};

// Trees hold programs as elements with one "progname" and any number of
// "date" elements (day text, attribute "tick": 3-minute ticks).
class dcSoftwareUsageDocument_t {
 public:
  dcSoftwareUsageDocument_t();
  ~dcSoftwareUsageDocument_t();
  dcSoftwareUsageDocument_t(const dcSoftwareUsageDocument_t&) = delete;
  dcSoftwareUsageDocument_t& operator=(const dcSoftwareUsageDocument_t&) = delete;

  // Reads the file up to the first "</softwareusage>" (and up to a NUL byte)
  // and parses it: 1 when a tree was parsed, 0 otherwise. The tree is built
  // from the text on first use (getRootNode, merge, mergeUsage), so a site
  // of many PCs holds their usage as text until it is gathered or shown.
  std::uint32_t LoadUsageData(const char* fileName);
  // LoadUsageData in two steps: the file's text up to its first NUL (empty
  // when it cannot be opened), read on any thread; then what LoadUsageData
  // does with it.
  static std::string readUsageFile(const char* fileName);
  std::uint32_t LoadUsageText(const std::string& text);
  // The tree's document node; an empty handle while there is no tree.
  dcXmlHandle_t getRootNode() const;
  // Folds another document's tree into this one: the first merge copies it,
  // later ones add each program-day through mergeUsage.
  std::uint32_t merge(const dcXmlHandle_t& root);
  // merge(other.getRootNode()) when other has a tree, nothing otherwise. A
  // tree other has not built yet is not built: a text in the agents' layout
  // is read straight from the text, any other is parsed for the merge only.
  std::uint32_t mergeFrom(const dcSoftwareUsageDocument_t& other);
  // Adds ticks to the day of the program under root. progName and day are
  // patterns ("*", "?", "[...]") against the names and days present; a
  // missing day or program is appended. Always 1.
  std::uint32_t mergeUsage(const dcXmlHandle_t& root, const char* progName, const char* day,
                           const char* ticks);
  // One line per program element with usage in the period firstDay to
  // lastDay ("YYYY.MM.DD", both included), in tree order; programs without
  // usage there give no line.
  std::vector<dcUsageSummaryLine_t> summarize(const char* firstDay, const char* lastDay) const;

  // The tree, once built (see LoadUsageData). Tick counts merged into it
  // are written when the tree is handed out: read it through getRootNode.
  mutable dcXmlDocument_t* document = nullptr;
  // Receives the raw text of every load; only ever appended to.
  std::string textStream;
  // The text the current tree was parsed from (the tree points into it).
  mutable char* pText = nullptr;

 private:
  // A tree parsed from the stream's first text, and the text it points into.
  struct StreamTree {
    dcXmlDocument_t* document = nullptr;
    char* text = nullptr;
  };
  // Parses the stream's first text up to its first closing tag; false (and
  // nothing kept) when there is no closing tag or memory runs out.
  bool parseStream(StreamTree& tree) const;
  static void freeStreamTree(StreamTree& tree);
  static void summarizeTree(dcXmlNode_t* root, const char* firstDay, const char* lastDay,
                            std::vector<dcUsageSummaryLine_t>& lines);
  // Builds the tree LoadUsageData left to be built.
  void buildPendingTree() const;

  struct ProgramCursor;
  bool mergeText(const dcSoftwareUsageDocument_t& other);
  void mergeDay(dcXmlNode_t* root, ProgramCursor& cursor, const char* day, std::size_t dayLength,
                const char* ticks);
  void addToProgram(dcXmlNode_t* program, const char* day, std::size_t dayLength, const char* ticks,
                    bool ownTree);
  void appendProgram(dcXmlNode_t* root, const char* progName, const char* day, const char* ticks);

  void dropTree();
  void resetIndexes();
  bool copyTree(dcXmlNode_t* source);
  dcXmlNode_t* findProgram(dcXmlNode_t* root, const char* progName);
  class DayTable;
  // The "date" element of day under parent. sum: the index of its tick sum
  // when the day index found it (NO_SUM for an element without attributes),
  // TREE_SEARCH when the tree was walked.
  dcXmlNode_t* findDay(dcXmlNode_t* parent, const char* day, std::size_t dayLength, bool ownTree,
                       std::uint32_t& sum);
  bool tickSumOf(dcXmlNode_t* date, std::uint32_t& sum);
  // Writes every changed tick sum into its attribute.
  void flushTicks() const;
  void noteAppended(dcXmlNode_t* parent);

  bool indexProgram(dcXmlNode_t* program);
  bool indexDay(DayTable& table, dcXmlNode_t* date);
  DayTable* dayTable(const dcXmlNode_t* parent);
  void dropProgramIndex();
  void dropDayIndex();

  // Indexes of this document's own tree, answering exactly what the tree
  // searches of mergeUsage answer for texts without wildcard characters:
  // program name -> first "progname" element holding it, and per parent
  // searched, day -> first "date" element under it holding it.
  bool programsIndexed_ = false;
  dcinv::XmlTextIndex programs_;
  std::string lastProgName_;
  dcXmlNode_t* lastProgram_ = nullptr;
  std::unordered_map<const dcXmlNode_t*, std::unique_ptr<DayTable>> dayTables_;
  const dcXmlNode_t* lastParent_ = nullptr;
  DayTable* lastTable_ = nullptr;
  // Tick counts of the date elements the day index knows: ticks added to
  // them are summed here and written into the tree before anyone reads it
  // (getRootNode, summarize, a walk of the tree), so that the text of a
  // date that many clients share is written once, not once per client.
  // Attribute records stay where they are while the tree lives.
  struct TickSum {
    dcXmlAttribute_t* attribute;
    dcXmlNode_t* date;
    std::int64_t value;  // what the attribute's text reads as, once written
    bool dirty;
  };
  mutable std::vector<TickSum> tickSums_;
  std::unordered_map<const dcXmlNode_t*, std::uint32_t> tickSumAt_;
  mutable std::vector<std::uint32_t> dirtyTicks_;
  // Counts go straight into the tree (a merge of the tree into itself).
  bool writeThrough_ = false;
  // The last load found a closing tag and its tree is not built yet.
  mutable bool treePending_ = false;
  // Length of the stream's first text up to the end of its first closing
  // tag (npos when it has none): the text every parse of the stream reads.
  std::size_t firstTextEnd_ = std::string::npos;
};

// A record list of usage that nothing in the console fills; kept for the
// group's clear operations.
struct dcSoftwareUsageItem_t {
  dcSoftwareUsageItem_t* next;
};
struct dcSoftwareUsageRecord_t {
  dcSoftwareUsageItem_t* items;
  dcpgBackwardLinks_t* pBackwardLinks;
};
struct dcSoftwareUsageCell_t {
  dcSoftwareUsageRecord_t* record;
  dcSoftwareUsageCell_t* next;
};
class dcSoftwareUsageOwned_t {
 public:
  virtual ~dcSoftwareUsageOwned_t() = default;
};

class dcSoftwareUsage_t {
 public:
  dcSoftwareUsage_t();
  ~dcSoftwareUsage_t();
  dcSoftwareUsage_t(const dcSoftwareUsage_t&) = delete;
  dcSoftwareUsage_t& operator=(const dcSoftwareUsage_t&) = delete;

  // Frees every record and cell; status unchanged. Returns 0.
  dcStatus_t clear();

  // Frees a record's back-links on destruction; installed by the layer that
  // defines them (none: they are left to their owner).
  static inline void (*pfFreeBackwardLinks)(dcpgBackwardLinks_t*) = nullptr;

  dcStatus_t status = dcStatus::OK;
  dcSoftwareUsageOwned_t* pOwned = nullptr;
  dcSoftwareUsageCell_t* head = nullptr;

 private:
  void freeCells();
};
