#include "app/remembered.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <cstdio>

namespace nw::app {

QString rememberedFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/namewright/namewright.conf");
}

Remembered readRemembered(int standards) {
    Remembered r;
    const QString path = rememberedFile();
    if (!QFileInfo::exists(path))
        return r;
    QSettings s(path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        std::fprintf(stderr, "namewright: %s cannot be read; the settings in it are not used\n",
                     qPrintable(path));
        return r;
    }
    auto passOver = [&path](const char* key) {
        std::fprintf(stderr, "namewright: %s: %s makes no sense here; not used\n", qPrintable(path),
                     key);
    };
    if (s.contains(QStringLiteral("window/geometry")))
        r.geometry = s.value(QStringLiteral("window/geometry")).toByteArray();
    bool ok = false;
    if (s.contains(QStringLiteral("other/standard"))) {
        const int i = s.value(QStringLiteral("other/standard")).toInt(&ok);
        if (ok && i >= 0 && i < standards)
            r.standard = i;
        else
            passOver("other/standard");
    }
    if (s.contains(QStringLiteral("list/sort"))) {
        const int k = s.value(QStringLiteral("list/sort")).toInt(&ok);
        if (ok && k >= static_cast<int>(SortKey::Natural) && k <= static_cast<int>(SortKey::Taken))
            r.sort = SortOrder{static_cast<SortKey>(k),
                               s.value(QStringLiteral("list/reversed")).toBool()};
        else
            passOver("list/sort");
    }
    if (s.contains(QStringLiteral("facts/template")))
        r.factsTemplate = s.value(QStringLiteral("facts/template")).toString();
    return r;
}

void writeRemembered(const Remembered& r) {
    QSettings s(rememberedFile(), QSettings::IniFormat);
    if (r.geometry)
        s.setValue(QStringLiteral("window/geometry"), *r.geometry);
    if (r.standard)
        s.setValue(QStringLiteral("other/standard"), *r.standard);
    if (r.sort) {
        s.setValue(QStringLiteral("list/sort"), static_cast<int>(r.sort->key));
        s.setValue(QStringLiteral("list/reversed"), r.sort->reversed);
    }
    if (r.factsTemplate)
        s.setValue(QStringLiteral("facts/template"), *r.factsTemplate);
    s.sync();
    if (s.status() != QSettings::NoError)
        std::fprintf(stderr, "namewright: the settings could not be written to %s\n",
                     qPrintable(rememberedFile()));
}

} // namespace nw::app
