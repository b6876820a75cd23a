#include "app/user_messages.h"
#include "app/texts.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <deque>
#include <vector>

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
// Whether the text may be broken into a new line at each position.
std::vector<bool> breaksAllowed(const QString& line) {
    constexpr int kKeptTogether = 4; // a line's last characters: never a lone "夹。"
    constexpr int kShortName = 24;   // a quoted name up to this long stays on one line
    std::vector<bool> can(static_cast<std::size_t>(line.size()) + 1, false);
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, line);
    for (qsizetype at = lines.toNextBoundary(); at > 0 && at < line.size();
         at = lines.toNextBoundary())
        can[static_cast<std::size_t>(at)] = true;
    auto keep = [&](qsizetype from, qsizetype to) { // no break inside [from, to)
        for (qsizetype i = std::max<qsizetype>(from + 1, 0); i < to; ++i)
            can[static_cast<std::size_t>(i)] = false;
    };
    // “name” as written, 「name」 as Traditional Chinese quotes it
    for (const auto& [opening, closing] : {std::pair{0x201C, 0x201D}, std::pair{0x300C, 0x300D}})
        for (qsizetype from = 0;;) {
            const qsizetype open = line.indexOf(QChar(opening), from);
            const qsizetype close = open < 0 ? -1 : line.indexOf(QChar(closing), open + 1);
            if (close < 0)
                break;
            if (close - open + 1 <= kShortName)
                keep(open, close + 1);
            else // a long one breaks where it must, but not right after its quote
                keep(open, std::min(open + 3, close));
            from = close + 1;
        }
    keep(line.size() - kKeptTogether, line.size());
    return can;
}

QString rightTrimmed(QString s) {
    while (!s.isEmpty() && s.back().isSpace())
        s.chop(1);
    return s;
}

// One line of a box's text cut into lines no wider than width: at the breaks
// allowed, and inside a word only where one word alone is wider.
void layLine(const QString& line, const QFontMetrics& fm, int width, QStringList& out) {
    if (line.isEmpty()) {
        out << QString();
        return;
    }
    const std::vector<bool> can = breaksAllowed(line);
    QTextBoundaryFinder chars(QTextBoundaryFinder::Grapheme, line);
    qsizetype start = 0;
    while (start < line.size()) {
        qsizetype best = -1;    // the last allowed break that fits
        qsizetype lastFit = -1; // the last character boundary that fits
        chars.setPosition(start);
        for (qsizetype at = chars.toNextBoundary(); at > 0; at = chars.toNextBoundary()) {
            if (lastFit > 0 &&
                fm.horizontalAdvance(rightTrimmed(line.mid(start, at - start))) > width)
                break;
            lastFit = at;
            if (at == line.size() || can[static_cast<std::size_t>(at)])
                best = at;
        }
        const qsizetype end = best > start ? best : lastFit;
        out << rightTrimmed(line.mid(start, end - start));
        start = end;
        while (start < line.size() && line.at(start).isSpace())
            ++start;
    }
}

// A box whose text is laid out in lines here, where Qt would break a short
// name or leave a lone character, and whose copy (Ctrl+C) and accessible
// text are the message itself, without those breaks.
class Box : public QMessageBox {
public:
    Box(QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
        QWidget* parent)
        : QMessageBox(icon, QStringLiteral("Namewright"), QString(), buttons, parent),
          m_text(text) {
        setTextFormat(Qt::PlainText); // a name is never markup
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        setText(laidOut(text, label ? label->fontMetrics() : fontMetrics(), boxTextWidth(parent)));
        setAccessibleDescription(text);
        if (label)
            label->setAccessibleName(text);
    }

protected:
    // Centred over its window, or at start-up over the screen where the
    // window opens, once its size is known and before it is mapped; Qt's own
    // centring guesses the window manager's frame and can be tens of pixels
    // off.
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        move(boxPlace(parentWidget(), frameSize()));
    }

    void keyPressEvent(QKeyEvent* e) override {
        if (e != QKeySequence::Copy) {
            QMessageBox::keyPressEvent(e);
            return;
        }
        // As Qt copies a box, with the message as it was given.
        const QString rule = QStringLiteral("---------------------------\n");
        QString copied =
            rule + windowTitle() + QLatin1Char('\n') + rule + m_text + QLatin1Char('\n') + rule;
        for (const QAbstractButton* b : buttons())
            copied += b->text() + QStringLiteral("   ");
        copied += QLatin1Char('\n') + rule;
        QGuiApplication::clipboard()->setText(copied);
    }

private:
    QString m_text;
};

} // namespace

QString laidOut(const QString& text, const QFontMetrics& fm, int width) {
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n')))
        layLine(line, fm, width, out);
    return out.join(QLatin1Char('\n'));
}

int boxTextWidth(const QWidget* parent) {
    // Qt wraps a box's text itself past half the screen (at most 500
    // pixels), the icon and the margins included, which take about 100.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int half = screen ? screen->availableGeometry().width() / 2 : 500;
    return std::max(160, std::min(half, 500) - 100);
}

QRect windowFrame(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect inside = window.geometry();
    return frame.contains(inside) ? frame : inside;
}

QPoint boxPlace(const QWidget* parent, QSize box) {
    if (parent && parent->window()->isVisible()) {
        const QRect w = windowFrame(*parent->window());
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
    Box box(QMessageBox::Information, text, QMessageBox::NoButton, parent);
    QPushButton* skip = box.addButton(zh("跳过"), QMessageBox::AcceptRole);
    skip->setObjectName(QStringLiteral("cmdSkip"));
    QPushButton* skipAll = box.addButton(zh("全部跳过"), QMessageBox::AcceptRole);
    skipAll->setObjectName(QStringLiteral("cmdSkipAll"));
    QPushButton* stop = box.addButton(zh("停止改名"), QMessageBox::RejectRole);
    stop->setObjectName(QStringLiteral("cmdStop"));
    box.setDefaultButton(skip);
    box.setEscapeButton(stop);
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
    Box box(QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    if (!yes.isEmpty())
        box.button(QMessageBox::Yes)->setText(yes);
    if (!no.isEmpty())
        box.button(QMessageBox::No)->setText(no);
    return box.exec() == QMessageBox::Yes;
}

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (hook()) {
        hook()(kind, text);
        return;
    }
    Box box(kind == MessageKind::Information ? QMessageBox::Information : QMessageBox::Warning,
            text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace nw::app
