#include "app/user_messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include <deque>

namespace nw::app {
namespace {
MessageHook& hook() {
    static MessageHook h;
    return h;
}
std::deque<ExistsAnswer>& queuedAnswers() {
    static std::deque<ExistsAnswer> q;
    return q;
}
// The text as a box shows it: the last few characters of each line are kept
// together (word joiners between them), so that a wrapped line never leaves
// a lone "夹。" on a line of its own.
QString unbroken(const QString& text) {
    constexpr int kKeptTogether = 4;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.size() <= kKeptTogether * 2)
            continue;
        for (int i = 1; i < kKeptTogether; ++i) {
            const qsizetype at = line.size() - i * 2 + 1;
            if (!line.at(at).isLowSurrogate()) // never inside a character
                line.insert(at, QChar(0x2060));
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

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
    box.exec();
    if (box.clickedButton() == skipAll)
        return ExistsAnswer::SkipAll;
    return box.clickedButton() == skip ? ExistsAnswer::Skip : ExistsAnswer::Stop;
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
    box.exec();
}

} // namespace nw::app
