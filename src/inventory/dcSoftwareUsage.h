// Program usage per day: the usage document of a client (read from
// "totalsuinfo.xml") or of a group (merged from its clients and sub-groups),
// and the summary of a period that the viewer shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dcStatus.h"
#include "dcXml.h"

class dcpgBackwardLinks_t;

// One line of a usage summary: the program and its minutes ("%7d min").
struct dcUsageSummaryLine_t {
  std::string name;
  std::string minutes;
};

// A usage document: programs ("progname" elements at any depth), each with
// the "date" elements among its siblings (day text, attribute "tick":
// 3-minute ticks). A tree in the agents' layout, and whatever merging such
// trees makes of it, is held as numbers: programs in order, each day a
// number into the document's table of day texts and a tick count. Any other
// tree is held as a tree. getRootNode builds the tree from the numbers when
// asked, and that tree is the document's content from then on.
class dcSoftwareUsageDocument_t {
 public:
  struct Content;
  // A usage file read and parsed by prepareUsage, on any thread, for a
  // document to take on the loading thread.
  struct Prepared {
    std::shared_ptr<Content> content;
    std::uint32_t result = 0;
  };

  dcSoftwareUsageDocument_t();
  ~dcSoftwareUsageDocument_t();
  dcSoftwareUsageDocument_t(const dcSoftwareUsageDocument_t&) = delete;
  dcSoftwareUsageDocument_t& operator=(const dcSoftwareUsageDocument_t&) = delete;
  dcSoftwareUsageDocument_t(dcSoftwareUsageDocument_t&&) noexcept;
  dcSoftwareUsageDocument_t& operator=(dcSoftwareUsageDocument_t&&) noexcept;

  // A document that starts as this one is and from then on changes on its
  // own: the content is shared until either of them changes it.
  dcSoftwareUsageDocument_t fork() const;

  // Reads the file up to its first NUL byte and its first
  // "</softwareusage>" and parses that: 1 when a tree was parsed, 0
  // otherwise. Only the first load's file counts: a later load puts back
  // what the first made of its file and returns what the first returned.
  std::uint32_t LoadUsageData(const char* fileName);
  // LoadUsageData in two steps: the reading and parsing, which touches
  // nothing shared, then the taking.
  static Prepared prepareUsage(const char* fileName);
  static Prepared prepareUsage(winfs::ReadFile& file);
  std::uint32_t takeUsage(Prepared&& prepared);
  // The tree's document node; an empty handle while there is no tree.
  dcXmlHandle_t getRootNode() const;
  // Whether getRootNode gives a valid handle, without building the tree.
  bool hasTree() const;
  // Folds another document's tree into this one: the first merge copies it,
  // later ones add each program-day as mergeUsage does.
  std::uint32_t merge(const dcXmlHandle_t& root);
  // merge(other.getRootNode()), without building other's tree.
  std::uint32_t mergeFrom(const dcSoftwareUsageDocument_t& other);
  // Frees what merges into this document keep to find its programs and
  // days; a later merge makes it again. For a document whose merges are
  // done.
  void releaseLookups();
  // Adds ticks to the day of the program under root. progName and day are
  // patterns ("*", "?", "[...]") against the names and days present; a
  // missing day or program is appended. Always 1.
  std::uint32_t mergeUsage(const dcXmlHandle_t& root, const char* progName, const char* day,
                           const char* ticks);
  // One line per program with usage in the period firstDay to lastDay
  // ("YYYY.MM.DD", both included), in document order; programs without
  // usage there give no line.
  std::vector<dcUsageSummaryLine_t> summarize(const char* firstDay, const char* lastDay) const;

 private:
  // The content, first copied when the first load's content is shared.
  Content& own() const;

  mutable std::shared_ptr<Content> content_;  // nullptr: no document yet
  // What the first load made, never changed: content_ shares it until own()
  // copies it for a change.
  std::shared_ptr<Content> firstLoad_;
  std::uint32_t firstResult_ = 0;
};

// A record list of usage that nothing in the console fills; kept for the
// group's clear operations.
struct dcSoftwareUsageItem_t {
  dcSoftwareUsageItem_t* next;
};
// A record's back-links belong to the layer that defines them: the client
// or group holding the list frees them (freeUsageBackLinks) before the list
// frees its records.
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

  dcStatus_t status = dcStatus::OK;
  dcSoftwareUsageOwned_t* pOwned = nullptr;
  dcSoftwareUsageCell_t* head = nullptr;

 private:
  void freeCells();
};
