#include "app/user_messages.h"

#include <QMessageBox>

namespace nw::app {
namespace {
MessageHook& hook() {
    static MessageHook h;
    return h;
}
} // namespace

void setMessageHook(MessageHook h) { hook() = std::move(h); }

void showMessage(QWidget* parent, MessageKind kind, const QString& text) {
    if (hook()) {
        hook()(kind, text);
        return;
    }
    QMessageBox box(kind == MessageKind::Information ? QMessageBox::Information
                                                     : QMessageBox::Warning,
                    QStringLiteral("Namewright"), text, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace nw::app
