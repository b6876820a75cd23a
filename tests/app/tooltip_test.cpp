#include "app_test_support.h"

#include <QScrollBar>

namespace nw::app::test {

class TooltipTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheEntryUnderThePointer();
    void emptyListAndOutside();
};

// The pointer at the middle of row `row` of the view, in twips.
float rowY(FileListBox& list, int row) {
    const int h = list.sizeHintForRow(0);
    return float((row * h + h / 2) * 15);
}

const QString kLong = QStringLiteral("b very long file name that never fits the narrow list.txt");

void TooltipTest::followsTheEntryUnderThePointer() {
    Harness h;
    file(h.work.path(), "a.txt");
    file(h.work.path(), kLong.toStdString());
    for (int i = 0; i < 60; ++i)
        file(h.work.path(), "z" + std::to_string(i));
    h.click("cmdSelect(3)");
    FileListBox& list = h.list();
    const QFont fontBefore = h.form->font();
    QCOMPARE(h.names().value(1), kLong);

    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 0));
    QCOMPARE(list.toolTip(), QString()); // fits
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 1));
    QCOMPARE(list.toolTip(), kLong);
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 2));
    QCOMPARE(list.toolTip(), QString());

    // Real mouse moves over the viewport reach the handler too.
    const int rowPx = list.sizeHintForRow(0);
    QTest::mouseMove(list.viewport(), QPoint(20, rowPx + rowPx / 2));
    QCOMPARE(list.toolTip(), kLong);

    // Scrolled by one: the row under the pointer is entry 1 + top.
    list.verticalScrollBar()->setValue(1);
    QCOMPARE(list.topIndex(), 1);
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 0));
    QCOMPARE(list.toolTip(), kLong);
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 1));
    QCOMPARE(list.toolTip(), QString());

    // Dragged above the list: an index below 0 gives no tooltip.
    list.verticalScrollBar()->setValue(0);
    h.form->File1_MouseMove(Qt::LeftButton, Qt::NoModifier, 10, -float(rowPx * 15 * 3));
    QCOMPARE(list.toolTip(), QString());
    QCOMPARE(h.form->font(), fontBefore);
}

void TooltipTest::emptyListAndOutside() {
    Harness h;
    FileListBox& list = h.list();
    QCOMPARE(list.ListCount(), 0);
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, 100);
    QCOMPARE(list.toolTip(), QString());
    file(h.work.path(), kLong.toStdString());
    h.click("cmdSelect(3)");
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 0));
    QCOMPARE(list.toolTip(), kLong);
    h.form->File1_MouseMove(Qt::NoButton, Qt::NoModifier, 10, rowY(list, 3)); // below the last
    QCOMPARE(list.toolTip(), QString());
}

NW_APP_TEST(TooltipTest)

} // namespace nw::app::test

#include "tooltip_test.moc"
