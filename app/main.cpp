#include "app/appearance.h"
#include "app/form1.h"
#include "platform/posix_file_system.h"
#include "platform/program_folder.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    nw::app::applyAppearance(app);
    nw::PosixFileSystem fs;
    nw::app::Form1 form(fs, nw::programFolder());
    form.show();
    return app.exec();
}
