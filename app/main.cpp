#include "app/studioapp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const QStringList arguments = StudioApp::argumentsOf(argc, argv);
    const bool fallbackChosen = StudioApp::choosePlatform(arguments);
    // Qt sees the program name only: the studio's arguments (curve names among them) are never
    // taken for Qt's own options.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("gvz-studio"));
    QApplication::setOrganizationName(QStringLiteral("gvz"));
    QApplication::setApplicationVersion(QStringLiteral(GVZ_VERSION));
    StudioApp studio;
    studio.setDisplayMissing(StudioApp::fellBackToNoDisplay(fallbackChosen));
    return studio.run(arguments);
}
