#include "app/program.h"
#include "app/texts.h"

#include "app/appearance.h"
#include "app/command_line.h"
#include "app/form1.h"
#include "platform/places.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"

#include <QApplication>

#include <string>
#include <vector>

namespace nw::app {

int runNamewright(int& argc, char** argv, const std::function<void(QWidget&)>& beforeShow) {
    // Before QApplication, which needs a display: --help answers without
    // one, in the user's Chinese.
    installTranslations(messagesLocale());
    const StartRequest start = readCommandLine(std::vector<std::string>(argv + 1, argv + argc),
                                               workingFolder(), stdout, stderr);
    if (!start.run)
        return start.exitCode;
    QApplication app(argc, argv);
    // Docks match the window with its launcher and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.namewright.namewright"));
    applyAppearance(app);
    PosixFileSystem fs;
    Form1 form(fs, programFolder(), start.path, nullptr, start.alsoGiven);
    if (beforeShow)
        beforeShow(form);
    form.show();
    return app.exec();
}

} // namespace nw::app
