#include "dcDisplayText.h"

#include <cstring>

// One entry a line, in table order.
// clang-format off
const char dcDisplayTexts[DISPLAY_TEXT_COUNT][DISPLAY_TEXT_SIZE] = {
    "Not assigned",
    "[dstImports]",
    "Import data files...",
    "[dstExports]",
    "Export hierarchy",
    "Export data files to excel",
    "[dstTabs]",
    "Windows \xC1\xA4\xBA\xB8",                                                   // Windows 정보
    "\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE \xC1\xA4\xBA\xB8",                  // 소프트웨어 정보
    "\xC7\xCF\xB5\xE5\xBF\xFE\xBE\xEE \xC1\xA4\xBA\xB8",                          // 하드웨어 정보
    "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB \xB3\xBB\xBF\xAA",         // 프로그램 사용 내역
    "[dstButtons]",
    "\xB1\xE2\xB0\xA3\xBC\xB3\xC1\xA4",                                           // 기간설정
    "\xB0\xCB\xBB\xF6",                                                           // 검색
    "[dstMenus]",
    "\xB5\xA5\xC0\xCC\xC5\xCD\xC6\xC4\xC0\xCF \xC0\xD0\xB1\xE2",                  // 데이터파일 읽기
    "\xB0\xE8\xC3\xFE\xB5\xB5\xB8\xA6 ASCII \xC6\xC4\xC0\xCF\xB7\xCE \xC0\xFA\xC0\xE5",  // 계층도를 ASCII 파일로 저장
    "\xC7\xA5\xB8\xA6 Excel \xC6\xC4\xC0\xCF\xB7\xCE \xC0\xFA\xC0\xE5",           // 표를 Excel 파일로 저장
    "\xB3\xA1\xB3\xBB\xB1\xE2",                                                   // 끝내기
    "\xC7\xA5 \xB0\xBB\xBD\xC5",                                                  // 표 갱신
    "Windows \xC1\xA4\xBA\xB8",                                                   // Windows 정보
    "Software \xC1\xA4\xBA\xB8",                                                  // Software 정보
    "Hardware \xC1\xA4\xBA\xB8",                                                  // Hardware 정보
    "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5 \xBB\xE7\xBF\xEB \xB3\xBB\xBF\xAA",         // 프로그램 사용 내역
    "'%s'\xC0\xC7 %s",                                                            // '%s'의 %s
    "\xB1\xBC\xB8\xB2",                                                           // 굴림
    "\xC0\xFC\xC3\xBC \xB1\xD7\xB7\xEC",                                          // 전체 그룹
    "[dstTableColumns]",
    "\xC7\xD7\xB8\xF1",                                                           // 항목
    "\xBB\xF3\xBC\xBC \xC1\xA4\xBA\xB8",                                          // 상세 정보
    "[dstWindowsInfoColumns]",
    "\xC7\xD7\xB8\xF1",                                                           // 항목
    "\xBB\xF3\xBC\xBC \xC1\xA4\xBA\xB8",                                          // 상세 정보
    "[dstHardwareColumns]",
    "\xC7\xCF\xB5\xE5\xBF\xFE\xBE\xEE",                                           // 하드웨어
    "\xBB\xF3\xBC\xBC \xC1\xA4\xBA\xB8",                                          // 상세 정보
    "\xBB\xE7\xBF\xEB\xC0\xDA",                                                   // 사용자
    "[dstSoftwareColumns]",
    "\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE",                                   // 소프트웨어
    "\xC6\xC4\xC0\xCF \xC0\xCC\xB8\xA7",                                          // 파일 이름
    "\xBB\xE7\xBF\xEB\xC0\xDA",                                                   // 사용자
    "[dstSoftwareUsageColumns]",
    "\xBC\xD2\xC7\xC1\xC6\xAE\xBF\xFE\xBE\xEE",                                   // 소프트웨어
    "\xBB\xE7\xBF\xEB \xBD\xC3\xB0\xA3",                                          // 사용 시간
    "\xC6\xC4\xC0\xCF \xC0\xCC\xB8\xA7",                                          // 파일 이름
    "\xBB\xE7\xBF\xEB\xC0\xDA",                                                   // 사용자
};
// clang-format on

const char* dcGetDisplayText(const char* section, int entry) {
  if (!section || entry < 0) return nullptr;
  for (std::size_t i = 0; i < DISPLAY_TEXT_COUNT; ++i) {
    if (std::strcmp(dcDisplayTexts[i], section) != 0) continue;
    for (std::size_t j = i + 1; j < DISPLAY_TEXT_COUNT && j - i <= static_cast<std::size_t>(entry); ++j)
      if (dcDisplayTexts[j][0] == '[') return nullptr;
    const std::size_t at = i + static_cast<std::size_t>(entry);
    return at < DISPLAY_TEXT_COUNT ? dcDisplayTexts[at] : nullptr;
  }
  return nullptr;
}
