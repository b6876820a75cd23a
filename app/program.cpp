#include "app/program.h"

#include "app/appearance.h"
#include "app/form1.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"

#include <QApplication>

namespace nw::app {

int runNamewright(int& argc, char** argv, const std::function<void(QWidget&)>& beforeShow) {
    QApplication app(argc, argv);
    // Docks match the window with its launcher and icon by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.namewright.Namewright"));
    applyAppearance(app);
    PosixFileSystem fs;
    Form1 form(fs, programFolder());
    if (beforeShow)
        beforeShow(form);
    form.show();
    return app.exec();
}

} // namespace nw::app
