#include "app/user_messages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

#include <algorithm>
#include <deque>

namespace nw::app {
namespace {
// Global, as the boxes are: every message of the program, from any page, the
// runner or the window, goes through showMessage; tests catch them here.
MessageHook& hook() {
    static MessageHook h;
    return h;
}
std::deque<ExistsAnswer>& queuedAnswers() {
    static std::deque<ExistsAnswer> q;
    return q;
}
std::deque<bool>& queuedYesNo() {
    static std::deque<bool> q;
    return q;
}
// Word joiners (U+2060) between the characters of text, so that no line is
// broken inside it; never inside a character.
QString joined(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i > 0 && !text.at(i).isLowSurrogate())
            out += QChar(0x2060);
        out += text.at(i);
    }
    return out;
}

// The text as a box shows it: a short name in quotes is never broken across
// lines, and the last few characters of a line stay together, so that a
// wrapped line never leaves a lone "夹。" on a line of its own.
QString unbroken(const QString& text) {
    constexpr int kKeptTogether = 4;
    constexpr int kShortName = 24;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        QString out;
        qsizetype from = 0;
        for (;;) {
            const qsizetype open = line.indexOf(QChar(0x201C), from);
            const qsizetype close = open < 0 ? -1 : line.indexOf(QChar(0x201D), open + 1);
            if (close < 0)
                break;
            const QString quoted = line.mid(open, close - open + 1);
            out += line.mid(from, open - from) +
                   (quoted.size() <= kShortName ? joined(quoted) : quoted);
            from = close + 1;
        }
        const QString rest = line.mid(from);
        const qsizetype split = std::max<qsizetype>(0, rest.size() - kKeptTogether);
        const bool inside = split > 0 && rest.at(split).isLowSurrogate();
        out += inside ? rest : rest.left(split) + joined(rest.mid(split));
        line = out;
    }
    return lines.join(QLatin1Char('\n'));
}

// A box opened before its window is on screen would open at the top left.
void place(QMessageBox& box, QWidget* parent) {
    if (parent && parent->window()->isVisible())
        return; // Qt centres it over its window
    box.adjustSize();
    box.move(boxPlace(parent, box.frameSize()));
}

} // namespace

QPoint boxPlace(const QWidget* parent, QSize box) {
    if (parent && parent->window()->isVisible()) {
        const QRect w = parent->window()->frameGeometry();
        return w.center() - QPoint(box.width() / 2, box.height() / 2);
    }
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect s = screen->availableGeometry();
    return s.center() - QPoint(box.width() / 2, box.height() / 2);
}

void queueExistsAnswer(ExistsAnswer answer) { queuedAnswers().push_back(answer); }

ExistsAnswer askAboutExistingName(QWidget* parent, const QString& text) {
    if (hook()) {
        hook()(MessageKind::Information, text);
        if (queuedAnswers().empty())
            return ExistsAnswer::Skip;
        const ExistsAnswer a = queuedAnswers().front();
        queuedAnswers().pop_front();
        return a;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Namewright"), unbroken(text),
                    QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* skip = box.addButton(QStringLiteral("跳过"), QMessageBox::AcceptRole);
    skip->setObjectName(QStringLiteral("cmdSkip"));
    QPushButton* skipAll = box.addButton(QStringLiteral("全部跳过"), QMessageBox::AcceptRole);
    skipAll->setObjectName(QStringLiteral("cmdSkipAll"));
    QPushButton* stop = box.addButton(QStringLiteral("停止改名"), QMessageBox::RejectRole);
    stop->setObjectName(QStringLiteral("cmdStop"));
    box.setDefaultButton(skip);
    box.setEscapeButton(stop);
    place(box, parent);
    box.exec();
    if (box.clickedButton() == skipAll)
        return ExistsAnswer::SkipAll;
    return box.clickedButton() == skip ? ExistsAnswer::Skip : ExistsAnswer::Stop;
}

void queueYesNoAnswer(bool yes) { queuedYesNo().push_back(yes); }

bool askYesNo(QWidget* parent, const QString& text, const QString& yes, const QString& no) {
    if (hook()) {
        hook()(MessageKind::Information, text);
        if (queuedYesNo().empty())
            return false;
        const bool answer = queuedYesNo().front();
        queuedYesNo().pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, QStringLiteral("Namewright"), unbroken(text),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (!yes.isEmpty())
        box.button(QMessageBox::Yes)->setText(yes);
    if (!no.isEmpty())
        box.button(QMessageBox::No)->setText(no);
    place(box, parent);
    return box.exec() == QMessageBox::Yes;
}

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (hook()) {
        hook()(kind, text);
        return;
    }
    QMessageBox box(kind == MessageKind::Information ? QMessageBox::Information
                                                     : QMessageBox::Warning,
                    QStringLiteral("Namewright"), unbroken(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // a name is never markup
    place(box, parent);
    box.exec();
}

} // namespace nw::app
