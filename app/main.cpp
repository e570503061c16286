#include "app/studioapp.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

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
    const int code = studio.run(arguments);
#ifndef GVZ_SANITIZED
    // A run without a window has written all it writes (files are committed, resources are never
    // written): ending here spares freeing millions of samples and chart points one by one, a
    // tenth of a large render. The sanitizer build tears down in full so that leaks show.
    if (studio.ranWithoutWindow()) {
        std::fflush(stdout);
        std::fflush(stderr);
        std::_Exit(code);
    }
#endif
    return code;
}
