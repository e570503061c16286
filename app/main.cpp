#include "app/studioapp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const QStringList arguments = StudioApp::argumentsOf(argc, argv);
    std::vector<char*> qtArgv = StudioApp::qtArguments(argc, argv);
    int qtArgc = int(qtArgv.size()) - 1;
    QApplication application(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("gvz-studio"));
    QApplication::setOrganizationName(QStringLiteral("gvz"));
    QApplication::setApplicationVersion(QStringLiteral(GVZ_VERSION));
    StudioApp studio;
    return studio.run(arguments);
}
