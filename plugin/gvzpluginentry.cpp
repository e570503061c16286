// The two entry points of libgvzviewer.so, the only symbols it exports (see gvzviewer.map).
#include "plugin/gvzplugin.h"

GVZ_EXPORT_VIEWER_PLUGIN(QAStGvzPlugin)
