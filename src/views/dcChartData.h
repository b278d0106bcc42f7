// What the chart pane draws for the selected group or PC, as values: the
// Windows versions with their PCs, the programs installed on most PCs and
// the programs used longest in a period. Labels are CP949; the order is the
// chart's, largest first (ties keep the order of first contribution).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "dcListViews.h"

class dcObject_t;

struct dcChartBar_t {
  std::string label;
  std::int64_t value = 0;
  bool operator==(const dcChartBar_t&) const = default;
};

enum class dcChartKind_t { WINDOWS_VERSIONS, MOST_INSTALLED, MOST_USED };

namespace dccharts {

// How many programs the two program charts show.
constexpr std::size_t TOP_COUNT = 20;

// Each Windows version of the group's PCs (the whole subtree) with the
// number of PCs having it, largest first; a PC without a version counts
// nowhere. For a PC, its own version with 1.
std::vector<dcChartBar_t> windowsVersions(dcObject_t* selected);
// The programs installed on most PCs of the group: each program (one file
// name, in any letter case) once, under the name the group lists it by,
// with the number of PCs that have it.
std::vector<dcChartBar_t> mostInstalled(dcObject_t* selected, std::size_t limit = TOP_COUNT);
// The programs with the most minutes of use in the period, as the usage
// view sums them (a start after the end counts as the end day).
std::vector<dcChartBar_t> mostUsed(dcObject_t* selected, dcViewPeriod_t period,
                                   std::size_t limit = TOP_COUNT);

// One of the three for the chart kind; nothing for an object that is
// neither a group nor a PC.
std::vector<dcChartBar_t> chartData(dcChartKind_t kind, dcObject_t* selected, const dcViewPeriod_t& period);

}  // namespace dccharts
