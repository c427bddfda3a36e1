// rzconverter: the desktop program. Files given on the command line (a file
// manager passes the files opened with the program) join the list.
#include "app/widgets/QXAppDelegate.h"
#include "app/widgets/QXShellServices.h"
#include "exporters/StandardExporters.h"
#include "platform/core/Numbers.h"

#include <QApplication>
#include <QFileInfo>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Qt has set the C library's locale from the environment; numbers
    // written and read by the converter keep the C form.
    rz::useCNumericLocale();
    QCoreApplication::setOrganizationName(QStringLiteral("rzconverter"));
    QCoreApplication::setApplicationName(QStringLiteral("rzconverter"));
    QCoreApplication::setApplicationVersion(QStringLiteral(RZ_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("rzconverter"));
    rz::registerStandardExporters();

    QStringList files;
    bool optionsEnded = false;
    for (const QString& argument : application.arguments().mid(1)) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.startsWith(QLatin1Char('-')))
            continue;
        files.append(QFileInfo(argument).absoluteFilePath());
    }

    rz::app::QXDesktopShellServices services;
    rz::app::QXAppDelegate delegate(services);
    delegate.applicationDidFinishLaunching();
    if (!files.isEmpty())
        delegate.application_openFiles(files);
    return QApplication::exec();
}
