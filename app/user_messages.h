#pragma once
// Every message the program shows goes through here, so that tests can see
// and answer them without a blocking dialog.
#include <QString>

#include <functional>

class QWidget;

namespace nw::app {

enum class MessageKind { Information, Warning };

void showMessage(QWidget* parent, MessageKind kind, const QString& text);

// While a hook is set, messages go to it instead of a dialog.
using MessageHook = std::function<void(MessageKind, const QString&)>;
void setMessageHook(MessageHook hook);

} // namespace nw::app
