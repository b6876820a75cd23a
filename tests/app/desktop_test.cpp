// What a desktop user and a screen reader meet: Qt's own texts in Chinese,
// names never taken for markup, the filter's whole items, no sideways scroll
// bar, dropped folders and file:// addresses, buttons told apart.
#include "app_test_support.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>

namespace nw::app::test {

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void qtTextsAreChinese();
    void namesArePlainText();
    void wholeFilterItemsAndNoSidewaysScrolling();
    void droppedFoldersAndFileAddresses();
    void buttonsWithOneCaptionAreToldApart();
};

void DesktopTest::qtTextsAreChinese() {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Namewright"), QStringLiteral("x"),
                    QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
}

void DesktopTest::namesArePlainText() {
    Harness h;
    for (QLabel* l : h.form->findChildren<QLabel*>())
        QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
    h.find<QLineEdit>("Text1")->setText(QStringLiteral("<b>x</b>&lt;"));
    auto* target = h.find<QLabel>("lblTarget(0)");
    QCOMPARE(target->text(), QStringLiteral("<b>x</b>&lt;1.gif"));
    QCOMPARE(target->textFormat(), Qt::PlainText);
}

void DesktopTest::wholeFilterItemsAndNoSidewaysScrolling() {
    Harness h;
    auto* combo = h.find<QComboBox>("Combo1");
    for (int i = 0; i < combo->count(); ++i)
        QVERIFY2(combo->view()->minimumWidth() >
                     combo->view()->fontMetrics().horizontalAdvance(combo->itemText(i)),
                 qPrintable(combo->itemText(i)));
    file(h.work.path(), std::string(200, 'n') + ".txt");
    h.click("cmdSelect(3)");
    QVERIFY(!h.list().horizontalScrollBar()->isVisible());
    QCOMPARE(h.list().horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void DesktopTest::droppedFoldersAndFileAddresses() {
    Harness h;
    TempFolder other;
    file(other.path(), "dropped.txt");
    h.form->goToDropped(QString::fromStdString(other.path() + "/dropped.txt")); // a file: its folder
    QCOMPARE(h.list().Path(), other.path());
    QCOMPARE(h.names(), QStringList({"dropped.txt"}));
    h.form->goToDropped(QString::fromStdString(h.work.path()));
    QCOMPARE(h.list().Path(), h.work.path());
    h.find<QLineEdit>("txtPath")->setText(QStringLiteral("file://") + QString::fromStdString(other.path()));
    h.click("cmdGoPath");
    QCOMPARE(h.list().Path(), other.path());
    QCOMPARE(h.takeMessages(), QString());
}

void DesktopTest::buttonsWithOneCaptionAreToldApart() {
    Harness h;
    QSet<QString> names;
    for (QPushButton* b : h.form->findChildren<QPushButton*>()) {
        const QString name = b->accessibleName().isEmpty() ? b->text() : b->accessibleName();
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
    }
}

NW_APP_TEST(DesktopTest)

} // namespace nw::app::test

#include "desktop_test.moc"
