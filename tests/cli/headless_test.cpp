// The headless console: option parsing, and whole runs on the bundled demo
// site (tree, every view, failures with their exit codes).
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cp949.h"
#include "dcHeadlessConsole.h"
#include "listreaders.h"
#include "testutil.h"

namespace {

using namespace dccli;
using Args = std::vector<std::string>;
const std::string DEMO_SITE = std::string(DESKTALLY_SOURCE_DIR) + "/examples/demo-site";

struct CliRun {
  std::string out, err;
};

// Runs the console with drive C: at the site and checks its exit code.
CliRun run(const Args& args, int code = EXIT_OK, const std::string& site = DEMO_SITE) {
  testutil::DriveMapping drive('C', site);
  std::ostringstream out, err;
  EXPECT_EQ(consoleMain(args, out, err), code) << testing::PrintToString(args) << '\n' << err.str();
  return {out.str(), err.str()};
}

// The pieces of a text between single separators: by default the words of
// a command line written with one blank between them. Lines lose their "\r"
// as well as their "\n".
Args split(const std::string& text, char separator = ' ') {
  Args pieces;
  std::istringstream in(text);
  for (std::string piece; std::getline(in, piece, separator);)
    pieces.push_back(separator == '\n' ? piece.substr(0, piece.find_last_not_of('\r') + 1) : piece);
  return pieces;
}
Args lines(const std::string& text) { return split(text, '\n'); }

// The output of a run that must succeed, of words or of a command line.
std::string output(const Args& args) { return run(args).out; }
std::string output(const std::string& line) { return output(split(line)); }

// A run that fails with the code, prints nothing, and says so on the error stream.
CliRun failure(const Args& args, int code, const std::string& said, const std::string& site = DEMO_SITE) {
  CliRun r = run(args, code, site);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
  return r;
}

// The records of a tab-separated list; the added tab ends the last field,
// so an empty one is kept too.
testutil::Records tsvRecords(const std::string& text) {
  testutil::Records records;
  for (const std::string& line : lines(text)) records.push_back(split(line + '\t', '\t'));
  return records;
}

TEST(CliOptions, ParsingAndCommandLine) {
  Options o;
  EXPECT_FALSE(parseOptions(split("--view usage --client PC-0001 --from 2024.01.02 --to=2024.02.03 "
                                  "--utf8 -o out.txt ignore item --tree"),
                            o));
  // After the first word everything is a command word.
  EXPECT_EQ(std::tie(o.view, o.client, o.to, o.tree, o.words),
            std::make_tuple(dcViewKind_t::USAGE, "PC-0001", dcViewDate_t{2024, 2, 3}, false,
                            Args{"ignore", "item", "--tree"}));

  // Names and words arrive in UTF-8 and are kept in CP949.
  EXPECT_FALSE(parseOptions({"--view=software", "--group", "개발팀", "--", "-x", "하드 디스크"}, o));
  EXPECT_EQ(o.group, "\xB0\xB3\xB9\xDF\xC6\xC0");  // 개발팀
  EXPECT_EQ(o.words, (Args{"-x", "하드 디스크"}));
  EXPECT_EQ(rawCommandLine(o.words).line, "-x \"\xC7\xCF\xB5\xE5 \xB5\xF0\xBD\xBA\xC5\xA9\"");

  // Unknown options and values, options that do not go together, names
  // CP949 cannot carry, and formats the run cannot give.
  for (const char* bad :
       {"--bogus", "--view", "--view printers", "--view usage --from 2024.13.01",
        "--view windows --from 2024.01.01", "--view windows --group A --client B", "--group A", "--tree=yes",
        "--site=", "--view software --format pdf", "--view software --format xlsx",
        "--tree --view software --format json", "--tree --filter x", "--view windows --client PC😀"})
    run(split(bad), EXIT_BAD_OPTION);
  const std::string help = output("--help");
  for (const char* option : {"--view KIND", "--filter TEXT", "--format FORMAT", "RFC 4180", "xlsx", "json"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(CliDemoSite, TreeEveryViewFilterAndFormatsReadBack) {
  // The tree: the root renamed, sub-groups before clients, two blanks a level.
  const std::string out = output("--tree --utf8");
  const Args tree = lines(out);
  ASSERT_EQ(tree.size(), 47u);  // 7 groups, 40 PCs
  EXPECT_TRUE(out.starts_with("전체 그룹\n  본사\n    생산부\n      PC-0004\n"));
  EXPECT_EQ(Args(tree.end() - 2, tree.end()), (Args{"  PC-0012", "  PC-0016"}));  // the root's own clients

  // Windows information by PC of the root: every PC, the root's own first.
  const Args rows = lines(output("--view windows --utf8"));
  ASSERT_EQ(rows.size(), 41u);  // header, 40 PCs
  EXPECT_TRUE(rows[0].starts_with("PC 이름\tWindowsVersion\t서비스 팩\t제품 ID\t"));
  EXPECT_TRUE(rows[1].starts_with("PC-0012\tWindows 7 Professional SP1\t"));

  // A client's hardware and Windows information; CP949 unless --utf8.
  EXPECT_TRUE(mb::toUtf8(output("--view hardware --client PC-0022"))
                  .starts_with("하드웨어\t상세 정보\r\n프로세서\tx86 Family 6 Model 165 2.90GHz\r\n"));
  EXPECT_NE(output("--view windows --client PC-0022 --utf8").find("\r\nIP 주소\t10.0.0.22\r\n"),
            std::string::npos);

  // Usage minutes over a fixed period, a client's and a group's.
  const std::string november = " --from 2026.11.01 --to 2026.11.30 --utf8";
  EXPECT_TRUE(
      output("--view usage --client PC-0022" + november)
          .starts_with("소프트웨어\t사용 시간\r\ncapture.exe\t   1896 min\r\napproval.exe\t   2070 min\r\n"));
  EXPECT_EQ(lines(output("--view usage --group 개발팀" + november))[1], "capture.exe\t   5430 min");

  // -o writes the same bytes as standard output.
  testutil::TempDir dir;
  EXPECT_EQ(output("--view hardware -o " + dir.str() + "/hw.txt"), "");
  EXPECT_EQ(testutil::readFile(dir.path() / "hw.txt"), output("--view hardware"));

  // The filtered list, as tab-separated text: the rows holding the text.
  const std::string software = "--view software --group 개발팀 --filter 편집 ";
  const testutil::Records tsv = tsvRecords(output(software + "--utf8"));
  ASSERT_EQ(tsv.size(), 12u);  // header and 11 of the group's programs
  for (std::size_t k = 1; k < tsv.size(); ++k) EXPECT_NE(tsv[k][0].find("편집"), std::string::npos);
  EXPECT_EQ(tsv[1], (Args{"사진 편집기 1.2", "PC-0022, PC-0025, "}));

  // CSV, in CP949 unless --utf8, holds the same records.
  EXPECT_EQ(testutil::parseCsv(mb::toUtf8(output(software + "--format csv"))), tsv);
  // JSON: one object per row keyed by the headers, always UTF-8.
  nlohmann::json json = nlohmann::json::array();
  for (auto k = 1u; k < tsv.size(); ++k) json.push_back({{tsv[0][0], tsv[k][0]}, {tsv[0][1], tsv[k][1]}});
  EXPECT_EQ(nlohmann::json::parse(output(software + "--format=json")), json);

  // A workbook of the filtered usage list: the same cells, minutes as numbers
  // (a minutes text read back as text would not match).
  const std::string usage = "--view usage --group 개발팀 --from 2026.11.01 --to 2026.11.30 --filter S ";
  testutil::Records minutes = tsvRecords(output(usage + "--utf8"));
  ASSERT_GT(minutes.size(), 2u);
  for (std::size_t k = 1; k < minutes.size(); ++k)
    minutes[k][1] = std::to_string(dclistfile::usageMinutes(minutes[k][1]).value_or(-1));
  EXPECT_EQ(output(usage + "--format xlsx -o " + dir.str() + "/usage.xlsx"), "");
  EXPECT_EQ(testutil::readWorkbook(dir.str() + "/usage.xlsx").value().texts(), minutes);

  // A filter that keeps nothing leaves the header.
  const std::string none = output({"--view", "software", "--filter", "no such program", "--format", "csv"});
  EXPECT_EQ(testutil::parseCsv(mb::toUtf8(none))->size(), 1u);
  run(split(usage + "--format xlsx -o " + dir.str() + "/no/such/folder.xlsx"), EXIT_OUTPUT);
}

TEST(CliDemoSite, CommandWordsFailuresAndSiteOption) {
  // A start-up command reaches the engine before the load: the ignored
  // category is left out of every client.
  const std::string out = output({"--view", "hardware", "--client", "PC-0022", "--utf8", "ignore", "hardware",
                                  "하드 디스크", "in", "hardware", "list"});
  EXPECT_TRUE(out.find("하드 디스크") == std::string::npos && out.find("프로세서") != std::string::npos);

  // Every word reaches the engine as it was given: an empty one too; one
  // that the command language cannot carry is named, not changed.
  output({"--tree", "ignore", "hardware", "", "in", "hardware", "list"});
  for (const char* word : {"a\"b c", "\"quoted", "😀"}) {
    const std::string said = std::string("desktally-cli: the command word '") + word + "'";
    EXPECT_TRUE(
        failure({"--tree", "ignore", "hardware", word, "in", "hardware", "list"}, EXIT_COMMAND_LINE, said)
            .err.starts_with(said));
  }
  failure(split("--tree no such command"), EXIT_COMMAND_LINE, "'no such command' was refused (status 102)");
  failure(split("--view windows --client PC-9999"), EXIT_NO_NODE, "no client named 'PC-9999'");
  testutil::TempDir empty;
  run({"--tree", "-o", empty.str() + "/missing/folder/out.txt"}, EXIT_OUTPUT);

  // --site wins over the environment, only while the run lasts; a folder
  // without qss/qslook.xml is refused before anything is loaded.
  EXPECT_EQ(run({"--site", DEMO_SITE, "--tree"}, EXIT_OK, empty.str()).out, output("--tree"));
  run({"--tree"}, EXIT_BAD_SITE, empty.str());
  EXPECT_EQ(failure({"--site=" + empty.str(), "--tree"}, EXIT_BAD_SITE, "not a site folder").err,
            "desktally-cli: " + empty.str() + " is not a site folder: it holds no qss/qslook.xml\n");
}

TEST(CliDemoSite, MissingPiecesLoadWhatThereIsThenExit4) {
  // The console reads its start-up script and writes its listing in the
  // current folder. "help" writes its file into the work folder: the script
  // has run.
  testutil::WorkFolder work;
  testutil::writeFile(work.dir.path() / "qsAssetConsole.ini", "help\r\n");
  testutil::TempDir copy;
  std::filesystem::copy(DEMO_SITE, copy.path(), std::filesystem::copy_options::recursive);
  const auto qss = copy.path() / "qss";
  auto missing = [](const std::string& err) {
    Args pieces;
    for (const std::string& line : lines(err))
      if (line.starts_with("desktally-cli: cannot read the ")) pieces.push_back(line.substr(31));
    return pieces;
  };

  // No data folder: groups and clients, nothing gathered.
  std::filesystem::remove_all(qss / "data");
  CliRun r = run({"--tree", "--utf8"}, EXIT_BAD_SITE, copy.str());
  EXPECT_EQ(lines(r.out).size(), 47u);
  EXPECT_EQ(missing(r.err), Args{"data folder C:\\QSS\\data (" + (qss / "data").string() + ")"});
  EXPECT_EQ(testutil::namesIn(work.dir.path()),
            (Args{"dcCommanderHelp.txt", "qsAssetConsole.ini", "qsHierarchy.log"}));

  // A group file that ends early: the groups read before the cut are
  // printed, and 3 wins over the missing folder.
  const auto group = qss / "qsgroup.dat";
  std::filesystem::resize_file(group, std::filesystem::file_size(group) / 2);
  r = run({"--tree", "--utf8"}, EXIT_ARCHIVE_ERROR, copy.str());
  EXPECT_TRUE(r.out.starts_with("전체 그룹\n  본사\n"));
  EXPECT_NE(r.err.find("the group file ended early"), std::string::npos);

  // No group file either: the root alone, also as a list; a missing node
  // and a refused command line are named, and the lowest code wins.
  std::filesystem::remove(group);
  std::filesystem::remove(work.dir.path() / "qsHierarchy.log");
  r = run({"--tree", "--view", "hardware", "--utf8"}, EXIT_BAD_SITE, copy.str());
  EXPECT_EQ(r.out, "전체 그룹\nPC 이름\r\n");
  EXPECT_EQ(missing(r.err).size(), 2u);
  EXPECT_TRUE(missing(r.err)[0].starts_with("group file C:\\QSS\\qsgroup.dat ("));
  EXPECT_FALSE(testutil::readFile(work.dir.path() / "qsHierarchy.log").empty());
  failure(split("--view hardware --client PC-0022"), EXIT_BAD_SITE, "no client named 'PC-0022'", copy.str());
  r = failure(split("--tree no such command"), EXIT_COMMAND_LINE, "'no such command' was refused",
              copy.str());
  EXPECT_EQ(missing(r.err).size(), 2u);

  // No settings file: every setting empty; the load still runs.
  std::filesystem::remove(qss / "qslook.xml");
  r = run({"--tree", "--utf8"}, EXIT_BAD_SITE, copy.str());
  EXPECT_EQ(r.out, "전체 그룹\n");
  EXPECT_TRUE(missing(r.err).at(0).starts_with("settings file C:\\qss\\qslook.xml ("));
}

}  // namespace
