#include "dcBanner.h"

#include "dcArtwork.h"

dcBanner_t::dcBanner_t(const char* name) : dcObject_t(name, CLASS_NAME, 0) {}

dcStatus_t dcBanner_t::load(int resourceId) {
  bitmap = dcLoadBitmap(resourceId);
  width = bitmap.width();
  height = bitmap.height();
  status = dcStatus::OK;
  return status;
}
