#include "app/texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdlib>
#include <memory>

// The translations are built into the program's library.
static void loadTranslations() { Q_INIT_RESOURCE(translations); }

namespace nw::app {
namespace {
// Global, as Qt's translators are: one language for the whole process,
// chosen at start-up.
std::unique_ptr<QTranslator>& ours() {
    static std::unique_ptr<QTranslator> t;
    return t;
}
std::unique_ptr<QTranslator>& qts() { // Qt's own texts
    static std::unique_ptr<QTranslator> t;
    return t;
}
void drop(std::unique_ptr<QTranslator>& t) {
    if (t && QCoreApplication::instance())
        QCoreApplication::removeTranslator(t.get());
    t.reset();
}
QString& installed() { // which translation ours() holds
    static QString which;
    return which;
}
constexpr char kContext[] = "Namewright";
} // namespace

QString zh(const char* text) {
    // Before (or without) an application, Qt's installed translators are
    // not asked: ours is, directly.
    if (ours() && !QCoreApplication::instance()) {
        const QString t = ours()->translate(kContext, text);
        if (!t.isEmpty())
            return t;
    }
    return QCoreApplication::translate(kContext, text);
}

bool traditional() { return !installed().isEmpty(); }

QString installedTranslation() { return installed(); }

QString translationFor(const QString& locale) {
    // "zh_TW.UTF-8", "zh_HK", "zh_Hant_TW", "zh-MO": the language, then a
    // region or a script.
    QString name = locale.section(QLatin1Char('.'), 0, 0).section(QLatin1Char('@'), 0, 0);
    name.replace(QLatin1Char('-'), QLatin1Char('_'));
    const QStringList parts = name.split(QLatin1Char('_'));
    if (parts.value(0).compare(QLatin1String("zh"), Qt::CaseInsensitive) != 0)
        return {};
    for (const QString& p : parts.mid(1)) {
        const QString up = p.toUpper();
        if (up == QLatin1String("HK") || up == QLatin1String("MO"))
            return QStringLiteral("zh_HK");
        if (up == QLatin1String("TW") || up == QLatin1String("HANT"))
            return QStringLiteral("zh_TW");
    }
    return {};
}

QString messagesLocale() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* v = std::getenv(var); v && *v)
            return QString::fromLocal8Bit(v);
    return {};
}

QString installTranslations(const QString& locale) {
    const QString which = translationFor(locale);
    QCoreApplication* app = QCoreApplication::instance();
    drop(ours());
    drop(qts());
    if (!which.isEmpty()) {
        loadTranslations();
        auto t = std::make_unique<QTranslator>();
        if (t->load(QStringLiteral(":/i18n/namewright_%1.qm").arg(which))) {
            ours() = std::move(t);
            if (app)
                QCoreApplication::installTranslator(ours().get());
        }
    }
    if (app) {
        // Qt's own texts (a box's buttons, a text box's menu) in the same
        // Chinese, whatever else the locale is; Qt has no Hong Kong one.
        auto qt = std::make_unique<QTranslator>();
        const QLocale chinese = which.isEmpty() ? QLocale(QLocale::Chinese, QLocale::China)
                                                : QLocale(QLocale::Chinese, QLocale::Taiwan);
        if (qt->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            qts() = std::move(qt);
            QCoreApplication::installTranslator(qts().get());
        }
    }
    installed() = ours() ? which : QString();
    return installed();
}

} // namespace nw::app
