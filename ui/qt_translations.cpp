#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

struct Installed {
    std::unique_ptr<QTranslator> pTranslator;
    std::string strLocale;
};

Installed& Current() {
    static Installed installed;
    return installed;
}

} // namespace

bool UseQtTranslation(const std::string& strLocale) {
    Installed& current = Current();
    if (current.pTranslator) {
        QCoreApplication::removeTranslator(current.pTranslator.get());
        current.pTranslator.reset();
        current.strLocale.clear();
    }
    const bool bEnglish = strLocale.empty() || strLocale == "en" || strLocale.rfind("en_", 0) == 0;
    const QLocale locale = bEnglish ? QLocale(QLocale::English, QLocale::UnitedStates)
                                    : QLocale(QString::fromStdString(strLocale));
    QLocale::setDefault(locale);
    if (bEnglish) {
        return true;
    }
    auto pTranslator = std::make_unique<QTranslator>();
    if (!pTranslator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    if (!QCoreApplication::installTranslator(pTranslator.get())) {
        return false;
    }
    current.pTranslator = std::move(pTranslator);
    current.strLocale = strLocale;
    return true;
}

std::string QtTranslationLocale() {
    return Current().strLocale;
}
