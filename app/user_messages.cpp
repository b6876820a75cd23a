#include "app/user_messages.h"

#include <QMessageBox>
#include <QPushButton>

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
} // namespace

void queueExistsAnswer(ExistsAnswer answer) { queuedAnswers().push_back(answer); }

ExistsAnswer askAboutExistingName(QWidget* parent, const QString& text) {
    if (hook()) {
        hook()(MessageKind::Information, text);
        if (queuedAnswers().empty())
            return ExistsAnswer::Confirm;
        const ExistsAnswer a = queuedAnswers().front();
        queuedAnswers().pop_front();
        return a;
    }
    QMessageBox box(QMessageBox::Information, QStringLiteral("Namewright"), text, QMessageBox::Ok,
                    parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* skipAll = box.addButton(QStringLiteral("全部跳过"), QMessageBox::RejectRole);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
    return box.clickedButton() == skipAll ? ExistsAnswer::SkipAll : ExistsAnswer::Confirm;
}

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (hook()) {
        hook()(kind, text);
        return;
    }
    QMessageBox box(kind == MessageKind::Information ? QMessageBox::Information
                                                     : QMessageBox::Warning,
                    QStringLiteral("Namewright"), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // a name is never markup
    box.exec();
}

} // namespace nw::app
