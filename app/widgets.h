#pragma once
// Small factories: every control gets its name as objectName.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class QComboBox;

namespace nw::app {

template <typename W> W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}

inline QString indexed(const char* name, int i) {
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i);
}

QLabel* redLabel(QLabel* l);

// A drop-down list as wide as its longest item, whatever the box's width.
void widenDropDown(QComboBox& combo);

} // namespace nw::app
