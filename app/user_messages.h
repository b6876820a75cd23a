#pragma once
// Every message the program shows goes through here, so that tests can see
// and answer them without a blocking dialog.
#include <QRect>
#include <QString>

#include <functional>

class QFontMetrics;
class QWidget;
class QPoint;
class QSize;

namespace nw::app {

enum class MessageKind { Information, Warning };

void showMessage(QWidget* parent, MessageKind kind, const QString& text);

// The box for a new name that already exists: the information icon, and
// "跳过" (this entry), "全部跳过" (this and every later existing name, without
// a box) and "停止改名" (the pass stops here; Escape too).
enum class ExistsAnswer { Skip, SkipAll, Stop };
ExistsAnswer askAboutExistingName(QWidget* parent, const QString& text);

// For tests: what the next such boxes answer while a hook is set (after
// these, Skip).
void queueExistsAnswer(ExistsAnswer answer);

// A question with "是" and "否" ("否" by default, and Escape); true for "是".
// yes and no, where given, are the buttons' own words. While a hook is set,
// the question goes to it and the answer is the next queued one (after
// these, "否").
bool askYesNo(QWidget* parent, const QString& text, const QString& yes = {},
              const QString& no = {});
void queueYesNoAnswer(bool yes);

// A message as a box shows it: in lines no wider than width, never broken
// inside a short quoted name nor before a line's last few characters, and
// otherwise the text itself (no invisible characters are added). Ctrl+C and
// a screen reader get the message as given.
QString laidOut(const QString& text, const QFontMetrics& fm, int width);
// How wide a box's lines are over parent's screen.
int boxTextWidth(const QWidget* parent);

// A shown window's place with its window manager's frame. Where the frame is
// not known yet (Qt can measure a frame still being made, a pixel wide, as
// under openbox on a busy machine), the window itself.
QRect windowFrame(const QWidget& window);

// Where a box of that size opens for parent: Qt centres it over a parent
// that is on screen; over one not shown yet (a box at start-up), it is
// centred on the parent's screen, where the window will open.
QPoint boxPlace(const QWidget* parent, QSize box);

// While a hook is set, messages go to it instead of a dialog.
using MessageHook = std::function<void(MessageKind, const QString&)>;
void setMessageHook(MessageHook hook);

} // namespace nw::app
