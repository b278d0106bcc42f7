// Reading ahead: while a load works through the inventory files of a data
// folder one after the other, a second thread opens, reads and parses the
// files it is about to ask for, so that the loading thread finds each file
// ready instead of waiting for the disk and the parser.
//
// Nothing observable changes: a file is read and parsed exactly as
// dcXmlDocument_t::load would (readWholeFile with 4096-byte chunks, a fresh
// document node, XOPT_INVENTORY, the document's growth step); a usage file
// is read as its loader reads it. A file that the load asks for out of the
// announced order, or that was not announced, is read by the loading thread
// as before. The reader runs at most `depth` files ahead.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class dcXmlDocument_t;
struct dcXmlNode_t;

class dcXmlReadAhead_t {
 public:
  enum class Kind {
    Document,  // read whole and parsed, for dcXmlDocument_t::load
    Text,      // read up to its first NUL, for the usage loader
  };
  struct File {
    std::string path;
    Kind kind;
  };

  // Starts reading the files in this order; the calling thread is the one
  // whose loads take them (see current).
  explicit dcXmlReadAhead_t(std::vector<File> files, std::size_t depth = 48);
  // Stops the reader and frees whatever was read and not taken.
  ~dcXmlReadAhead_t();
  dcXmlReadAhead_t(const dcXmlReadAhead_t&) = delete;
  dcXmlReadAhead_t& operator=(const dcXmlReadAhead_t&) = delete;

  // The read-ahead started by the calling thread, or nullptr.
  static dcXmlReadAhead_t* current();

  // What a take found.
  enum class Taken {
    NotReady,  // not read ahead: the caller reads the file itself
    Failed,    // read ahead, and the file could not be opened or read
    Done,      // read ahead: the result was handed over
  };
  // A document read ahead for path, moved into doc (cleared first) exactly
  // as doc.load(path) would have left it. Failed leaves errno as the failed
  // read left it, as a read on this thread would.
  Taken takeDocument(const char* path, dcXmlDocument_t& doc);
  // A text read ahead for path: its bytes up to the first NUL.
  Taken takeText(const char* path, std::string& text);

 private:
  struct Slot {
    bool ready = false;
    bool opened = false;
    int error = 0;  // errno of a file that could not be read
    std::uint32_t growBy = 0;
    char* buffer = nullptr;
    char* textEnd = nullptr;
    dcXmlNode_t* root = nullptr;
    std::string text;
  };
  void run();
  void read(const File& file, Slot& slot) const;
  static void release(Slot& slot);
  // The slot for path among the next `depth` files, waited for; earlier
  // files the load passed over are let go. nullptr when path is not there.
  Slot* claim(const char* path, Kind kind);

  std::vector<File> files_;
  std::vector<Slot> slots_;
  const std::size_t depth_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::size_t next_ = 0;  // the first file not taken or passed over
  bool stop_ = false;
  dcXmlReadAhead_t* previous_;
  std::thread reader_;
};
