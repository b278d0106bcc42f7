// A named picture with its size: the title pane keeps one per view.
#pragma once

#include <QPixmap>
#include <cstdint>

#include "dcObject.h"

class dcBanner_t : public dcObject_t {
 public:
  static constexpr const char* CLASS_NAME = "dcBanner_t";

  explicit dcBanner_t(const char* name);

  // Paints the picture with that number into the banner and takes its size.
  // A number without a picture leaves an empty banner, 0 by 0.
  dcStatus_t load(int resourceId);

  std::int32_t width = 0;
  std::int32_t height = 0;
  QPixmap bitmap;
};
