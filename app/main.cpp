#include "app/studioapp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const QStringList arguments = StudioApp::argumentsOf(argc, argv);
    // The platform is chosen before QApplication exists: work that shows no window, and any run
    // on a machine without a display, draws off screen.
    const bool displayMissing = !StudioApp::displayAvailable();
    if (displayMissing || StudioApp::needsNoWindow(arguments))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
    std::vector<char*> qtArgv = StudioApp::qtArguments(argc, argv);
    int qtArgc = int(qtArgv.size()) - 1;
    QApplication application(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("gvz-studio"));
    QApplication::setOrganizationName(QStringLiteral("gvz"));
    QApplication::setApplicationVersion(QStringLiteral(GVZ_VERSION));
    StudioApp studio;
    studio.setDisplayMissing(displayMissing);
    return studio.run(arguments);
}
