#include "dcUiText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>
#include <string>

#include "cp949.h"
#include "dcDisplayText.h"

QString dcUiString(const char* cp949) { return cp949 ? dcUiString(std::string_view(cp949)) : QString(); }

QString dcUiString(std::string_view cp949) {
  const std::string utf8 = mb::toUtf8(cp949);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont dcUiFont(int pixelHeight, int weight) {
  // The face name comes from the display text table ("굴림"); the two
  // fall-backs carry the Korean glyphs on machines without it.
  const char* face = dcGetDisplayText(DST_MENUS, 11);
  QFont font;
  font.setFamilies(
      QStringList{dcUiString(face), QStringLiteral("NanumGothic"), QStringLiteral("Noto Sans CJK KR")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : 13);
  // QFont's weights share the 100-900 scale of the console's font weights.
  font.setWeight(static_cast<QFont::Weight>(weight > 0 ? weight : 400));
  return font;
}

QLocale dcKoreanLocale() { return QLocale(QLocale::Korean, QLocale::SouthKorea); }

bool dcInstallQtKorean() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  static constexpr const char* kTranslatorName = "dcQtKorean";
  if (app->findChild<QTranslator*>(QLatin1String(kTranslatorName), Qt::FindDirectChildrenOnly)) return true;
  // Named by file, not by the session's locale.
  auto* translator = new QTranslator(app);
  translator->setObjectName(QLatin1String(kTranslatorName));
  if (!translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return false;
  }
  return true;
}
