// The entry points of a test plug-in library. WRONG_TEXT, NO_VERIFICATION and NO_INSTANTIATE build
// libraries that the studio must refuse.
#include "tests/studio/testviewerplugin.h"

#if !defined(WRONG_TEXT) && !defined(NO_VERIFICATION) && !defined(NO_INSTANTIATE)
GVZ_EXPORT_VIEWER_PLUGIN(TestViewerPlugin)
#else

#ifndef NO_VERIFICATION
extern "C" Q_DECL_EXPORT const char* qt_ucm_query_verification_data()
{
#ifdef WRONG_TEXT
    // The right text but for its last flag.
    return "pattern=QT_UCM_VERIFICATION_DATA\nversion=3.3.8\nflags=01\n"
           "buildkey=x86_64 Linux g++-4 full-config no-opengl";
#else
    return QAStViewerPluginVerificationData;
#endif
}
#endif

#ifndef NO_INSTANTIATE
extern "C" Q_DECL_EXPORT QUnknownInterface* ucm_instantiate()
{
    QUnknownInterface* iface = nullptr;
    (new TestViewerPlugin)->queryInterface(IID_QUnknown, &iface);
    return iface;
}
#endif

#endif
